#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the editor.
#   ./run.sh            start the editor in the current directory's settings
#   ./run.sh --demo     start a local demo FTP server and the editor set up to use it
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/install-deps.sh"
generator=(-G Ninja)
[ -f "$here/build/CMakeCache.txt" ] && generator=()
cmake -S "$here" -B "$here/build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target vantorpad vantorpadctl

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run it under a virtual one, e.g. 'xvfb-run -a $0 $*'." >&2
    exit 1
fi

if [ "${1:-}" = "--demo" ] || { [ ! -f Vantorpad.ini ] && [ -x "$here/tools/demo.sh" ] && [ -t 0 ] &&
    read -r -p "No Vantorpad.ini here. Try the demo FTP server? [y/N] " answer &&
    [ "${answer:-}" = y ]; }; then
    exec "$here/tools/demo.sh" "$here/build/src/vantorpad"
fi
exec "$here/build/src/vantorpad" "$@"
