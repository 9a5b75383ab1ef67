#!/usr/bin/env bash
# check-not-linked.sh PROGRAM LIBRARY...: fails when PROGRAM holds code of any LIBRARY, that is
# when a function the library defines (strongly: not an inline or template copy that any user
# of a header makes) is defined in the program too.
set -euo pipefail
program=$1
shift
defined() { nm --defined-only --extern-only "$@" 2>/dev/null | awk '$2 == "T" { print $3 }' | sort -u; }
status=0
for library in "$@"; do
    shared=$(comm -12 <(defined "$program") <(defined "$library"))
    if [ -n "$shared" ]; then
        echo "$(basename "$program") links code of $(basename "$library"):"
        c++filt <<<"$shared" | head -n 20
        status=1
    fi
done
exit "$status"
