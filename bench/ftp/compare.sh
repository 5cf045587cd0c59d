#!/usr/bin/env bash
# Times CFtpClient (through bench_ftp) against the curl command on the same local FTP server
# (pyftpdlib on 127.0.0.1): download and upload of a 200 MB file, and the listing of a
# directory of 20,000 entries (ours parsed and put in the list order, curl's raw). Prints the
# median of RUNS for each, our throughput as a share of curl's, and the peak memory of our
# downloads of a small and the large file.
#
#   bench/ftp/compare.sh [path/to/bench_ftp]
#
# Environment: SIZE_MB (default 200), ENTRIES (default 20000), RUNS (default 9; listings run
# three times as often). On a machine shared with builds, "nice -n -10" steadies the figures.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bench=${1:-${BENCH_FTP:-$here/../../build/bench/ftp/bench_ftp}}
size_mb=${SIZE_MB:-200}
entries=${ENTRIES:-20000}
runs=${RUNS:-9}
python=/usr/bin/python3
user=bench
pass=bench-pass

source "$here/bench_common.sh"
need_tools compare.sh "$bench" curl /usr/bin/time
out=$work/local
make_files "$work/root" "$out" "$size_mb"
mkdir -p "$work/root/many"
(cd "$work/root/many" && seq -f "entry%06g.txt" 1 "$entries" | xargs touch)

# The server ends when its stdin closes: keep a pipe open to it for the run.
exec 3> >("$python" "$here/../../tests/support/ftp_server.py" --root "$work/root" \
    --user "$user" --password "$pass" >"$work/port" 2>/dev/null)
for _ in $(seq 100); do
    grep -q PORT "$work/port" 2>/dev/null && break
    sleep 0.1
done
port=$(awk '/PORT/{print $2}' "$work/port")
[ -n "$port" ] || { echo "compare.sh: the FTP server did not start" >&2; exit 1; }
url=ftp://127.0.0.1:$port

# pair OURS... -- THEIRS...: runs both commands RUNS times, alternating so that both see the
# same state of the machine, and prints the median seconds of each: "ours theirs". Medians,
# because a shared machine makes single runs swing by a third either way.
pair() {
    local ours=() theirs=() seen=0
    for arg in "$@"; do
        if [ "$arg" = -- ]; then seen=1; elif [ $seen = 0 ]; then ours+=("$arg"); else theirs+=("$arg"); fi
    done
    local o=() t=()
    for _ in $(seq "$runs"); do
        o+=("$(timed "${ours[@]}")")
        t+=("$(timed "${theirs[@]}")")
    done
    echo "$(median "${o[@]}") $(median "${t[@]}")"
}

read -r ours_get curl_get < <(pair "$bench" get "$port" "$user" "$pass" big.bin "$out/got.bin" -- \
    curl -s -u "$user:$pass" -o "$out/curl.bin" "$url/big.bin")
cmp -s "$work/root/big.bin" "$out/got.bin" || { echo "download differs" >&2; exit 1; }
read -r ours_put curl_put < <(pair "$bench" put "$port" "$user" "$pass" "$out/up.bin" up.bin -- \
    curl -s -u "$user:$pass" -T "$out/up.bin" "$url/up-curl.bin")
cmp -s "$work/root/up.bin" "$out/up.bin" || { echo "upload differs" >&2; exit 1; }
# Listings are short: more runs give a steadier median.
runs=$((runs * 3))
read -r ours_mlsd curl_mlsd < <(pair "$bench" ls "$port" "$user" "$pass" /many -- \
    curl -s -u "$user:$pass" -X MLSD "$url/many/")
read -r ours_list curl_list < <(pair "$bench" lsraw "$port" "$user" "$pass" /many -- \
    curl -s -u "$user:$pass" "$url/many/")

timed "$bench" get "$port" "$user" "$pass" small.bin "$out/small.bin" >/dev/null
rss_small=$(cat "$work/rss")
timed "$bench" get "$port" "$user" "$pass" big.bin "$out/got.bin" >/dev/null
rss_big=$(cat "$work/rss")
mb=$size_mb
printf '%-34s %10s %10s %8s %s\n' "" ours curl ratio target
awk -v o="$ours_get" -v c="$curl_get" -v mb="$mb" 'BEGIN{
    printf "%-34s %7.0f MB/s %5.0f MB/s %7.2f  >= 0.90\n", "download " mb " MB", mb/o, mb/c, c/o }'
awk -v o="$ours_put" -v c="$curl_put" -v mb="$mb" 'BEGIN{
    printf "%-34s %7.0f MB/s %5.0f MB/s %7.2f  >= 0.90\n", "upload " mb " MB", mb/o, mb/c, c/o }'
awk -v o="$ours_mlsd" -v c="$curl_mlsd" -v n="$entries" 'BEGIN{
    printf "%-34s %8.3f s %8.3f s %7.2f  <= 1.20 (time ratio)\n", "list " n " entries, MLSD", o, c, o/c }'
awk -v o="$ours_list" -v c="$curl_list" -v n="$entries" 'BEGIN{
    printf "%-34s %8.3f s %8.3f s %7.2f  <= 1.20 (time ratio)\n", "list " n " entries, LIST", o, c, o/c }'
printf 'peak memory of our download: %s KB for 20 MB, %s KB for %s MB (must not grow)\n' \
    "$rss_small" "$rss_big" "$mb"
