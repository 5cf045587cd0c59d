#!/usr/bin/env bash
# Times Shift_JIS <-> EUC-JP conversion of one 50 MB Japanese text file: vantorpadctl convert
# against nkf and iconv, both directions. Prints MB/s (best of RUNS) and our speed as a multiple
# of the faster other tool.
#
#   bench/encoding/compare.sh [path/to/vantorpadctl]
#
# Environment: SIZE_MB (default 50), RUNS (default 3), WORK (scratch directory, default a new
# temporary one, removed at the end).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
ctl=${1:-${VANTORPADCTL:-$here/../../build/src/ctl/vantorpadctl}}
size_mb=${SIZE_MB:-50}
runs=${RUNS:-3}
python=/usr/bin/python3
[ -x "$python" ] || python=python3

for tool in "$ctl" nkf iconv; do
    if ! command -v "$tool" >/dev/null; then
        echo "compare.sh: $tool not found (build vantorpadctl or pass its path)" >&2
        exit 1
    fi
done

if [ -n "${WORK:-}" ]; then
    work=$WORK
    mkdir -p "$work"
else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi

sjis=$work/text.sjis
euc=$work/text.euc
"$python" "$here/make_sjis_text.py" "$sjis" "$size_mb"
# Every tool converts back from the same EUC-JP file (LF line ends, as a server keeps it).
tr -d '\r' <"$sjis" | iconv -f SHIFT_JIS -t EUC-JP >"$euc"

# calc EXPRESSION: floating-point arithmetic and comparisons (1 or 0).
calc() { awk "BEGIN { print ($1) }"; }

# best_seconds OUTPUT INPUT COMMAND...: runs COMMAND with stdin INPUT, stdout OUTPUT; prints the
# shortest wall time in seconds.
best_seconds() {
    local output=$1 input=$2
    shift 2
    local best="" start end t
    for _ in $(seq "$runs"); do
        start=$(date +%s.%N)
        "$@" <"$input" >"$output"
        end=$(date +%s.%N)
        t=$(calc "$end - $start")
        if [ -z "$best" ] || [ "$(calc "$t < $best")" = 1 ]; then
            best=$t
        fi
    done
    echo "$best"
}

ours() { "$ctl" convert "$1" "$2" "$3"; }

declare -A seconds
seconds[ours_euc]=$(best_seconds /dev/null /dev/null ours --to-euc "$sjis" "$work/ours.euc")
seconds[nkf_euc]=$(best_seconds "$work/nkf.euc" "$sjis" nkf -x -S -e)
seconds[iconv_euc]=$(best_seconds "$work/iconv.euc" "$sjis" iconv -f SHIFT_JIS -t EUC-JP)
seconds[ours_sjis]=$(best_seconds /dev/null /dev/null ours --to-sjis "$euc" "$work/ours.sjis")
seconds[nkf_sjis]=$(best_seconds "$work/nkf.sjis" "$euc" nkf -x -E -s)
seconds[iconv_sjis]=$(best_seconds "$work/iconv.sjis" "$euc" iconv -f EUC-JP -t SHIFT_JIS)

# Our output must be the real thing: the EUC-JP file is what iconv makes of the text without
# CRs, and converting it back restores the original exactly.
cmp -s "$work/ours.euc" "$euc" || { echo "compare.sh: our EUC-JP output differs" >&2; exit 1; }
cmp -s "$work/ours.sjis" "$sjis" || { echo "compare.sh: our Shift_JIS output differs" >&2; exit 1; }

input_mb() { calc "$(stat -c %s "$1") / 1048576"; }
sjis_mb=$(input_mb "$sjis")
euc_mb=$(input_mb "$euc")

report() { # direction, input MB
    local dir=$1 mb=$2 ours_rate nkf_rate iconv_rate fastest
    ours_rate=$(calc "$mb / ${seconds[ours_$dir]}")
    nkf_rate=$(calc "$mb / ${seconds[nkf_$dir]}")
    iconv_rate=$(calc "$mb / ${seconds[iconv_$dir]}")
    fastest=$nkf_rate
    if [ "$(calc "$iconv_rate > $nkf_rate")" = 1 ]; then fastest=$iconv_rate; fi
    printf '%-14s %10.1f %10.1f %10.1f %8.2fx\n' "$3" "$ours_rate" "$nkf_rate" "$iconv_rate" \
        "$(calc "$ours_rate / $fastest")"
}

printf 'Shift_JIS file: %.1f MB, EUC-JP file: %.1f MB, best of %s runs\n' "$sjis_mb" "$euc_mb" \
    "$runs"
printf '%-14s %10s %10s %10s %9s\n' direction "ours MB/s" "nkf MB/s" "iconv MB/s" "vs best"
report euc "$sjis_mb" "SJIS -> EUC"
report sjis "$euc_mb" "EUC -> SJIS"
