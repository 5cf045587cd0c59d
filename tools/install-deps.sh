#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; quick when all are there.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
          libcurl4-openssl-dev libssl-dev libgtest-dev libbenchmark-dev python3-pyftpdlib
          fonts-ipafont-gothic qt6-translations-l10n curl libqt6svg6 desktop-file-utils
          dpkg-dev libxcb1-dev vsftpd openssl python3-asyncssh
          ninja-build mold libqscintilla2-qt6-dev libssh-dev openssh-server openssh-client
          libdtl-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
