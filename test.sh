#!/usr/bin/env bash
# Installs what is missing, builds everything into build/ and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
# Ninja for a new build directory; one made earlier keeps the generator it was made with.
generator=(-G Ninja)
[ -f build/CMakeCache.txt ] && generator=()
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)"
