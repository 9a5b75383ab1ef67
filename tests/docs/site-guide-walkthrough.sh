#!/usr/bin/env bash
# The site guide's worked example as a new installer would follow it: the files and commands of
# docs/site-guide.md in a fresh folder, the composition it shows, and a fire from the simulator
# reaching the journal of the workstation started on that folder.
# Usage: site-guide-walkthrough.sh KIRVAN-TOOL KIRVAN-SIM KIRVANMONITORP
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
guide="$top/docs/site-guide.md"
work=$(mktemp -d)
simulator=
trap '[ -n "$simulator" ] && kill "$simulator" 2>/dev/null; rm -rf "$work"' EXIT
site="$work/school"
mkdir -p "$site" "$work/bin"
ln -s "$1" "$work/bin/kirvan-tool"

# The block after a line "```KIND ARGUMENT" up to the closing fence, as UTF-8 text.
block() {
    awk -v want="$1" '$0 == "```" { inside = 0 } inside { print } $0 == "```" want { inside = 1 }' "$guide"
}
windows1251() { iconv -f UTF-8 -t CP1251 | sed 's/$/\r/'; }

grep -o '^```file .*' "$guide" | cut -c9- | while IFS= read -r name; do
    mkdir -p "$(dirname "$site/$name")"
    block "file $name" | windows1251 >"$site/$name"
done
block "sh walkthrough" | sed "s|/srv/kirvan/school|$site|g" | PATH="$work/bin:$PATH" bash -euo pipefail

if ! diff <(block composition) <(iconv -f CP1251 -t UTF-8 "$site/kirvanmonitorp.cnf" | tr -d '\r'); then
    echo "the composition differs from the guide's" >&2
    exit 1
fi

printf 'wait 4\nfire 1 И02-01\n' >"$work/script.txt"
"$2" --dir "$site" --com 1 --script "$work/script.txt" </dev/null >"$work/sim.log" 2>&1 &
simulator=$!
for _ in $(seq 100); do
    [ -L "$site/ports/COM1" ] && break
    sleep 0.1
done
QT_QPA_PLATFORM=offscreen "$3" --dir "$site" --quit-after 10 >"$work/workstation.log" 2>&1
fire=$(iconv -f CP1251 -t UTF-8 "$site/KirvanMonitorP.txt" | grep -c 'ПОЖАР: КОРПУС Второй этаж Кабинет химии' || true)
if [ "$fire" != 1 ]; then
    echo "the fire did not reach the journal once:" >&2
    iconv -f CP1251 -t UTF-8 "$site/KirvanMonitorP.txt" >&2
    cat "$work/workstation.log" "$work/sim.log" >&2
    exit 1
fi
