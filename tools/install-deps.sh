#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages.
# Idempotent: when every package and the ja_JP.UTF-8 locale are present it
# touches nothing and returns at once.
set -euo pipefail

packages=(
  build-essential cmake ninja-build make
  mingw-w64 g++-mingw-w64-x86-64-posix
  wine wine64
  xvfb xauth x11-utils xclip xdotool imagemagick
  locales fonts-noto-cjk fonts-wine fonts-horai-umefont fonts-ipafont-gothic
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm clang-format
  zip python3
)

# Outputs are taken whole, not piped into `grep -q`: grep leaving at the
# first match can kill the writer with SIGPIPE, which pipefail counts as a
# failure.
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null) || status=""
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: without ja_JP.UTF-8 it
# falls back to 1252 and every Shift-JIS byte would be mistranslated.
locales=$(locale -a 2>/dev/null) || locales=""
if ! grep -qix 'ja_JP\.utf-\?8' <<<"$locales"; then
  echo "generating locale ja_JP.UTF-8"
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
