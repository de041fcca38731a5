#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Trawlbox needs.
# Fast and quiet when everything is already there; uses sudo when not run as root.
set -euo pipefail

packages=(
  make cmake ninja-build g++ pkg-config clang-format clang-tidy clang libclang-rt-14-dev zlib1g-dev
  shellcheck
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libcurl4-openssl-dev
  libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev curl
  nginx at-spi2-core dbus
  fonts-ipafont-gothic
  xvfb xauth xdotool xclip
  desktop-file-utils appstream dpkg-dev file
  g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine util-linux nsis
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
