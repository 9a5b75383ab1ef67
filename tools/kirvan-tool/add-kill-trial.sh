#!/bin/bash
# Kills `kirvan-tool system add` at random moments and retries it: every run must leave the
# composition either without the system or with the whole of it, and the retry exactly one node.
# The node is written last; an address entry a kill left without its node must be gone after the
# next start of the workstation, which is started for each such run.
# Usage: add-kill-trial.sh KIRVAN-TOOL KIRVANMONITORP [RUNS] [LONGEST-DELAY-MS]
set -eu
tool=$(readlink -f "$1")
workstation=$(readlink -f "$2")
runs=${3:-400}
longest=${4:-400}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# A large system in Windows-1251: 256 zones, nine devices of 480 detectors each.
template=$work/template
mkdir "$template"
{
    printf '[Настройки]\r\nCOM-порт=1\r\n[АДРЕС]\r\n00=\r\n01=\r\n02=\r\n03=\r\n'
} | iconv -f UTF-8 -t CP1251 > "$template/KirvanMonitorP.ini"
{
    printf '[СИСТЕМА]\r\nАДС=1\r\n[ЗОНА]\r\n'
    for z in $(seq 1 256); do printf '%d=Зона склада %d\r\n' "$z" "$z"; done
    printf '[ПРИБОРЫ]\r\n'
    for d in $(seq 1 8); do printf 'ППКП%d=ЕСТЬ\r\n' "$d"; done
} | iconv -f UTF-8 -t CP1251 > "$template/Склад.cnf"
for d in $(seq 0 8); do
    awk -v d="$d" 'BEGIN { for (l = 1; l <= 8; ++l) for (n = 1; n <= 60; ++n)
        printf "[И%d%d-%02d]\r\nЗОНА=Зона склада %d\r\nТЕКСТ=Датчик %d\r\n", d, l, n, (l * 60 + n) % 256 + 1, n }' \
        | iconv -f UTF-8 -t CP1251 > "$template/Склад.tb$d"
done

add() { "$tool" system add "$1/Склад.cnf" 1 --dir "$1" > /dev/null 2> "$work/err"; }

complete=$work/complete
cp -r "$template" "$complete"
add "$complete" || { cat "$work/err" >&2; exit 1; }
expected=$(cat "$complete/kirvanmonitorp.cnf")

# The address entry of the settings, in UTF-8.
entry() { iconv -f CP1251 -t UTF-8 "$1/KirvanMonitorP.ini" | tr -d '\r' | sed -n 's/^01=//p'; }

no_trace=0
whole=0
half_after_kill=0
entry_without_node=0
entry_after_start=0
half_after_retry=0
killed=0
for run in $(seq 1 "$runs"); do
    site=$work/site
    rm -rf "$site"
    cp -r "$template" "$site"
    delay=$((RANDOM % longest))
    "$tool" system add "$site/Склад.cnf" 1 --dir "$site" > /dev/null 2>&1 & pid=$!
    sleep "$(printf '0.%03d' "$delay")"
    if kill -KILL "$pid" 2> /dev/null; then killed=$((killed + 1)); fi
    wait "$pid" 2> /dev/null || true
    composition=$(cat "$site/kirvanmonitorp.cnf" 2> /dev/null || true)
    if [ "$composition" = "$expected" ] && [ -n "$(entry "$site")" ]; then
        whole=$((whole + 1))
    elif [ -n "$composition" ]; then
        half_after_kill=$((half_after_kill + 1))
    elif [ -z "$(entry "$site")" ]; then
        no_trace=$((no_trace + 1))
    else
        # The address taken, the node not yet written: nothing is polled; the next start lets go of it.
        entry_without_node=$((entry_without_node + 1))
        "$workstation" --dir "$site" --quit-after 0 > /dev/null 2>&1 || true
        if [ -n "$(entry "$site")" ] \
            || ! iconv -f CP1251 -t UTF-8 "$site/KirvanMonitorP.txt" | grep -q "АДРЕС 01 ОСВОБОЖДЕН"; then
            entry_after_start=$((entry_after_start + 1))
        fi
    fi
    add "$site" || cat "$work/err" >&2
    if [ "$(cat "$site/kirvanmonitorp.cnf")" != "$expected" ] || ! entry "$site" | grep -q "Склад.cnf"; then
        half_after_retry=$((half_after_retry + 1))
    fi
done
echo "runs: $runs, killed before the end: $killed; after the kill: no trace $no_trace, whole system $whole," \
     "half systems $half_after_kill, address entries without a node $entry_without_node" \
     "(still there after the next start: $entry_after_start); not one whole system after the retry: $half_after_retry"
