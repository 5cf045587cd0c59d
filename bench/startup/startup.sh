#!/usr/bin/env bash
# Time from starting vantorpad to its main window shown, median of several runs, under a virtual
# display. VANTORPAD_QUIT_WHEN_SHOWN makes the program print the wall-clock time (ns) at which
# the main window was shown and leave at once.
#   bench/startup/startup.sh [path/to/vantorpad] [runs]
set -euo pipefail
bin="${1:-build/src/vantorpad}"
runs="${2:-11}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '[Env]\r\nPcDir=%s\r\nTranDir=%s\r\n' "$work" "$work" >"$work/Vantorpad.ini"
bin="$(realpath "$bin")"
cd "$work"
measure() {
    for _ in $(seq "$runs"); do
        t0=$(date +%s%N)
        shown=$(VANTORPAD_QUIT_WHEN_SHOWN=1 "$bin" 2>&1 | sed -n 's/^shown at \([0-9]*\)$/\1/p')
        echo "($shown - $t0) / 1000000" | bc -l
    done | sort -n | awk '{a[NR]=$1} END {printf "start-up to main window shown: median %.1f ms of %d runs (target: under 300 ms)\n", a[int((NR+1)/2)], NR}'
}
if [ -z "${DISPLAY:-}" ]; then
    Xvfb :97 -screen 0 1280x1024x24 >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb; rm -rf "$work"' EXIT
    export DISPLAY=:97
    sleep 1
fi
measure
