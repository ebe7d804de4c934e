#!/usr/bin/env bash
# Installs what building, playing and testing Kreiselsturm needs on Debian 12.
# Skips apt-get entirely when everything is already there. Packages named as arguments are
# installed instead of that list (scripts/build-web.sh names what the browser build needs).
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-ttf-dev libgif-dev libjpeg62-turbo-dev libcurl4-openssl-dev
  # Signed updates: libsodium verifies, minisign signs (tools/sign-update.sh and the tests).
  libsodium-dev minisign
  libgtest-dev libbenchmark-dev libcpp-httplib-dev
  libx11-dev
  clang-14 libclang-rt-14-dev llvm-14
  xvfb xauth xdotool x11-apps x11-utils x11-xserver-utils imagemagick openbox python3 python3-pil
  desktop-file-utils libglib2.0-bin
  # The Windows program: cross compiler, the libraries' source packages and build tools, Wine.
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev ninja-build nasm wine
  # libsodium's source tarball has no configure script: autoreconf makes it.
  autoconf automake libtool
)

[ $# -eq 0 ] || PACKAGES=("$@")
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
