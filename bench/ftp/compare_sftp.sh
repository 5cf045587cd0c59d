#!/usr/bin/env bash
# Times SFTP through SftpSession (bench_sftp) against OpenSSH's own sftp command on the same
# sshd (started here on 127.0.0.1 with a configuration, host key and client key of its own):
# download and upload of a 200 MB file. Prints the median of RUNS for each, our throughput as a
# share of sftp's, and the peak memory of our downloads of a small and the large file.
#
#   bench/ftp/compare_sftp.sh [path/to/bench_sftp]
#
# Environment: SIZE_MB (default 200), RUNS (default 5).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bench=${1:-${BENCH_SFTP:-$here/../../build/bench/ftp/bench_sftp}}
size_mb=${SIZE_MB:-200}
runs=${RUNS:-5}

source "$here/bench_common.sh"
need_tools compare_sftp.sh "$bench" sftp /usr/sbin/sshd ssh-keygen /usr/bin/time
user=$(id -un)
make_files "$work/root" "$work/local" "$size_mb"
mkdir -p "$work/ssh"
chmod 700 "$work/ssh"
ssh-keygen -q -t ed25519 -N '' -f "$work/host"
ssh-keygen -q -t ed25519 -N '' -f "$work/ssh/id_ed25519"
cp "$work/ssh/id_ed25519.pub" "$work/authorized_keys"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/sshd_config" <<CONFIG
ListenAddress 127.0.0.1
Port $port
HostKey $work/host
PidFile none
AuthorizedKeysFile $work/authorized_keys
StrictModes no
UsePAM no
PermitRootLogin yes
PasswordAuthentication no
KbdInteractiveAuthentication no
LogLevel ERROR
Subsystem sftp internal-sftp -d $work/root
CONFIG
[ "$(id -u)" = 0 ] && mkdir -p /run/sshd
/usr/sbin/sshd -D -e -f "$work/sshd_config" 2>"$work/sshd.log" &
server_pid=$!
for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done
echo "[127.0.0.1]:$port $(cut -d' ' -f1,2 "$work/host.pub")" >"$work/ssh/known_hosts"
ssh_opts=(-q -P "$port" -i "$work/ssh/id_ed25519" -o "UserKnownHostsFile=$work/ssh/known_hosts"
          -o BatchMode=yes -F /dev/null)

# Both tools run alternately, so that both see the same state of the machine.
pair() {
    local ours_cmd=$1 theirs_batch=$2 o=() t=()
    for _ in $(seq "$runs"); do
        o+=("$(timed bash -c "$ours_cmd")")
        t+=("$(timed sftp "${ssh_opts[@]}" -b "$theirs_batch" "$user@127.0.0.1")")
    done
    echo "$(median "${o[@]}") $(median "${t[@]}")"
}

echo "get big.bin $work/local/sftp.bin" >"$work/get.batch"
echo "put $work/local/up.bin up-sftp.bin" >"$work/put.batch"
ours="$bench"
read -r ours_get sftp_get < <(pair "'$ours' get $port $user '$work/ssh/id_ed25519' '$work/ssh' big.bin '$work/local/got.bin'" "$work/get.batch")
cmp -s "$work/root/big.bin" "$work/local/got.bin" || { echo "download differs" >&2; exit 1; }
read -r ours_put sftp_put < <(pair "'$ours' put $port $user '$work/ssh/id_ed25519' '$work/ssh' '$work/local/up.bin' up.bin" "$work/put.batch")
cmp -s "$work/root/up.bin" "$work/local/up.bin" || { echo "upload differs" >&2; exit 1; }

timed "$bench" get "$port" "$user" "$work/ssh/id_ed25519" "$work/ssh" small.bin "$work/local/small.bin" >/dev/null
rss_small=$(cat "$work/rss")
timed "$bench" get "$port" "$user" "$work/ssh/id_ed25519" "$work/ssh" big.bin "$work/local/got.bin" >/dev/null
rss_big=$(cat "$work/rss")
printf '%-26s %10s %10s %8s %s\n' "" ours sftp ratio target
awk -v o="$ours_get" -v c="$sftp_get" -v mb="$size_mb" 'BEGIN{
    printf "%-26s %5.0f MB/s %5.0f MB/s %7.2f  >= 0.90\n", "SFTP download " mb " MB", mb/o, mb/c, c/o }'
awk -v o="$ours_put" -v c="$sftp_put" -v mb="$size_mb" 'BEGIN{
    printf "%-26s %5.0f MB/s %5.0f MB/s %7.2f  >= 0.90\n", "SFTP upload " mb " MB", mb/o, mb/c, c/o }'
printf 'peak memory of our download: %s KB for 20 MB, %s KB for %s MB (must not grow)\n' \
    "$rss_small" "$rss_big" "$size_mb"
