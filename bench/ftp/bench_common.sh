# What the transfer comparisons share, sourced by compare.sh and compare_sftp.sh: the tool check,
# a work directory that is cleaned up, the files to move, and the timing.
#
# After sourcing: $work is the work directory; server_pid, once set, is killed at the end.

# need_tools SCRIPT TOOL...: stops with a message when a tool is missing.
need_tools() {
    local script=$1
    shift
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "$script: $tool not found (build with -DVANTORPAD_BENCH=ON or pass its path)" >&2
            exit 1
        fi
    done
}

# Server files and downloaded copies live in /dev/shm when it exists, so that the disk's
# write-back does not decide the race.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    work=$(mktemp -d /dev/shm/ftp-bench.XXXXXX)
else
    work=$(mktemp -d)
fi
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# make_files ROOT LOCAL SIZE_MB: ROOT/big.bin of SIZE_MB, ROOT/small.bin of 20 MB, and
# LOCAL/up.bin (a copy of big.bin) to upload.
make_files() {
    mkdir -p "$1" "$2"
    head -c $(($3 * 1024 * 1024)) /dev/urandom >"$1/big.bin"
    head -c $((20 * 1024 * 1024)) /dev/urandom >"$1/small.bin"
    cp "$1/big.bin" "$2/up.bin"
}

median() {
    printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END{print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'
}

# timed COMMAND: its wall time in seconds; its peak memory (KB) goes to $work/rss
timed() {
    local t0 t1
    t0=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
    t1=$(date +%s%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", (b-a)/1e9}'
}
