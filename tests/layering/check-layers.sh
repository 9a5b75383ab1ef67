#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers are the subsystem list
# of the root CMakeLists.txt, lowest first; a folder may include its own headers and those of the
# layers before it.
set -euo pipefail
top=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
read -r -a layers < <(sed -n 's/^foreach(subsystem \(.*\))$/\1/p' "$top/CMakeLists.txt")
((${#layers[@]} > 0)) || { echo "no layer list in $top/CMakeLists.txt" >&2; exit 2; }
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
for layer in "${layers[@]}"; do
    [ -d "$top/$layer" ] || continue
    while IFS=: read -r file line included; do
        target=${included%%/*}
        [ -n "${rank[$target]+set}" ] || continue
        if ((rank[$target] > rank[$layer])); then
            echo "${file#"$top"/}:$line: $layer/ includes $included of the higher layer $target/"
            status=1
        fi
    done < <(grep -rnoE --include='*.h' --include='*.cpp' '^#include "[^"]+"' "$top/$layer" | sed 's/#include "\(.*\)"$/\1/')
done
exit "$status"
