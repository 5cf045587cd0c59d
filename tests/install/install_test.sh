#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: exactly the program's files land in the usual
# places, the desktop entry is valid and names the installed program and icon, and the
# installed tool runs.
#
#   install_test.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/vantorpad
bin/vantorpadctl
share/applications/vantorpad.desktop
share/icons/hicolor/scalable/apps/vantorpad.svg
share/vantorpad/help/index.html"
actual="$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
if [ "$actual" != "$expected" ]; then
    echo "install tree differs; expected:" >&2
    printf '%s\n' "$expected" >&2
    echo "got:" >&2
    printf '%s\n' "$actual" >&2
    exit 1
fi

entry="$prefix/share/applications/vantorpad.desktop"
desktop-file-validate "$entry"
field() { sed -n "s/^$1=//p" "$entry"; }
# The launcher starts the installed program and finds the installed icon.
program="$(field Exec | cut -d' ' -f1)"
[ -x "$prefix/bin/$program" ] || { echo "Exec names '$program', not installed" >&2; exit 1; }
[ -f "$prefix/share/icons/hicolor/scalable/apps/$(field Icon).svg" ] ||
    { echo "no icon named $(field Icon)" >&2; exit 1; }

# The installed tool works on its own (no build tree behind it).
work="$prefix/run"
mkdir "$work"
printf '\x93\xfa\x96\x7b\n' >"$work/sjis.txt"
"$prefix/bin/vantorpadctl" convert --to-euc "$work/sjis.txt" "$work/euc.txt"
[ "$(od -An -tx1 "$work/euc.txt" | tr -d ' \n')" = "c6fccbdc0a" ] ||
    { echo "the installed vantorpadctl did not convert" >&2; exit 1; }
echo "install ok"
