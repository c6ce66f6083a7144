#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Krelix needs.
# Quiet when everything is already there; uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake g++ make pkg-config ccache
    qt6-base-dev qt6-image-formats-plugins libgl-dev
    libboost-dev libboost-thread-dev
    libcrypto++-dev
    libmsgpack-cxx-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libdeflate-dev libxxhash-dev zlib1g-dev
    libsqlite3-dev
    clang libclang-rt-14-dev clang-format
    xvfb xauth
    desktop-file-utils appstream
    dpkg-dev file groff-base man-db
    python3 time
    btrfs-progs
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
