#!/usr/bin/env bash
# Fails when a section or key of the settings file that the code reads is missing from
# docs/settings.md: every section and key constant of a `namespace settings` block (and of the
# control modules' `namespace controlmodule`) must stand there in backticks.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
reference="$top/docs/settings.md"
missing=0
while IFS= read -r name; do
    if ! grep -qF "\`$name\`" "$reference"; then
        echo "docs/settings.md does not describe the settings name \"$name\"" >&2
        missing=1
    fi
done < <(find "$top" -path "$top/build" -prune -o -name '*.h' -print0 | xargs -0 awk '
    /^namespace (kirvan::)?(settings|controlmodule) \{/ { inside = 1; next }
    inside && /^\} \/\/ namespace/ { inside = 0 }
    inside && /constexpr QStringView (section|key|controlModulePrefix)[A-Za-z]* = u"/ {
        sub(/.* = u"/, ""); sub(/";.*/, ""); sub(/ $/, ""); print
    }' | sort -u)
exit "$missing"
