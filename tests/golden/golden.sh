#!/usr/bin/env bash
# Golden outputs: what velmora-decode shows for every real capture, kept beside this script as
# <capture>.<mode>.jsonl (one line per sentence, tick or track refresh, each holding only what
# changed since the line before) and reviewed as diffs.
#   golden.sh check DECODE CAPTURES STEM MODE   compares one output with its golden file
#   golden.sh complete CAPTURES                 every capture has its three golden files
#   golden.sh make DECODE CAPTURES              writes every golden file anew
# MODE is live, replay (the capture replayed as a record file) or track. Exit 77: skipped.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
modes=(live replay track)

decode() { # DECODE FILE MODE
    case "$3" in
    live) "$1" --changes "$2" ;;
    replay) "$1" --changes --replay "$2" ;;
    track) "$1" --changes --track "$2" ;;
    *) echo "unknown mode $3" >&2; return 2 ;;
    esac
}

# Names the first line that differs, with the sentence it belongs to, then the diff's start.
explain() { # GOLDEN ACTUAL
    local n
    n=$(cmp "$1" "$2" 2>/dev/null | sed -n 's/.* line \([0-9]*\).*/\1/p')
    if [ -z "$n" ]; then
        n=$(($(wc -l <"$1") < $(wc -l <"$2") ? $(wc -l <"$1") + 1 : $(wc -l <"$2") + 1))
    fi
    echo "first difference at line $n of $(basename "$1")"
    echo "  expected: $(sed -n "${n}p" "$1")"
    echo "  actual:   $(sed -n "${n}p" "$2")"
    diff -u "$1" "$2" | head -n 40
    echo "If the new output is right: make golden, and say why in the commit message."
}

check() { # DECODE CAPTURES STEM MODE
    local capture="$2/$3.log" golden="$here/$3.$4.jsonl" actual
    [ -f "$capture" ] || { echo "skipped: no capture $capture"; exit 77; }
    [ -f "$golden" ] || { echo "no golden file $golden: run make golden"; exit 1; }
    actual=$(mktemp)
    trap 'rm -f "$actual"' EXIT
    decode "$1" "$capture" "$4" >"$actual" 2>/dev/null || { echo "velmora-decode failed"; exit 1; }
    cmp -s "$golden" "$actual" && exit 0
    explain "$golden" "$actual"
    exit 1
}

complete() { # CAPTURES
    [ -d "$1" ] || { echo "skipped: no captures folder $1"; exit 77; }
    local missing=0 capture stem mode
    for capture in "$1"/*.log; do
        stem=$(basename "$capture" .log)
        for mode in "${modes[@]}"; do
            [ -f "$here/$stem.$mode.jsonl" ] || { echo "missing: $stem.$mode.jsonl"; missing=1; }
        done
    done
    [ $missing -eq 0 ] || echo "run make golden"
    exit $missing
}

make_all() { # DECODE CAPTURES
    [ -d "$2" ] || { echo "no captures folder $2" >&2; exit 1; }
    local capture stem mode
    for capture in "$2"/*.log; do
        stem=$(basename "$capture" .log)
        for mode in "${modes[@]}"; do
            decode "$1" "$capture" "$mode" >"$here/$stem.$mode.jsonl" 2>/dev/null ||
                { echo "velmora-decode failed on $capture ($mode)" >&2; exit 1; }
        done
    done
    git -C "$here" status --short -- . 2>/dev/null
}

case "${1:-}" in
check) check "$2" "$3" "$4" "$5" ;;
complete) complete "$2" ;;
make) make_all "$2" "$3" ;;
*) echo "usage: golden.sh check DECODE CAPTURES STEM MODE | complete CAPTURES | make DECODE CAPTURES" >&2; exit 2 ;;
esac
