#!/usr/bin/env bash
# The build's two figures, on a clean clone of the committed HEAD:
#  1. `./test.sh` from a clean clone (install check, configure, clean build, every test), with no
#     compiler cache: what a newcomer, CI and a fresh machine pay. Target: under 6 minutes.
#  2. how many compile units a build compiles again after settings/ServerProfile.h is touched,
#     out of all of them.
#     Target: under a quarter.
#   bench/build/build-figures.sh [--no-tests]   (--no-tests: time the build only)
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
git clone -q "$repo" "$work/clone"
cd "$work/clone"
export CCACHE_DISABLE=1

start=$(date +%s)
if [ "${1:-}" = "--no-tests" ]; then
    ./tools/install-deps.sh
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORPAD_BENCH=ON >/dev/null
    cmake --build build -j"$(nproc)" >/dev/null
    what="clean build"
else
    ./test.sh >"$work/test.log" 2>&1 || { tail -30 "$work/test.log"; exit 1; }
    what="./test.sh (clean build and all tests)"
fi
seconds=$(($(date +%s) - start))
printf '%s on %d cores: %d min %02d s (target: under 6 min)\n' "$what" "$(nproc)" \
    $((seconds / 60)) $((seconds % 60))

# A real build, not a dry run: moc's units are listed by a dry run whenever a header changes,
# but compiled again only when moc's output changed.
total=$(ninja -C build -t targets all | grep -c ': CXX_COMPILER' || true)
touch src/settings/ServerProfile.h
rebuilt=$(ninja -C build | grep -c ' Building CXX object ' || true)
awk -v r="$rebuilt" -v t="$total" 'BEGIN {
    printf "touching settings/ServerProfile.h rebuilds %d of %d compile units (%.1f%%; target: under 25%%)\n", r, t, 100 * r / t }'
