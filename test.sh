#!/usr/bin/env bash
# Installs what is missing, builds everything into build/ (the benchmarks too) and runs every
# test headless.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
# Ninja for a new build directory; one made earlier keeps the generator it was made with.
generator=(-G Ninja)
[ -f build/CMakeCache.txt ] && generator=()
# The benchmarks are built too, not run: a benchmark that no longer builds measures nothing.
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORPAD_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)"
