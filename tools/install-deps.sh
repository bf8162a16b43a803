#!/usr/bin/env bash
# Installs, from Debian's packages, what one command of the Makefile needs,
# and generates the ja_JP.UTF-8 and en_US.UTF-8 locales.
#   tools/install-deps.sh [test|run|bench|fuzz|dist|screenshots|all]   (default: test)
# `make test` installs only what the build and the tests use; the other
# commands add their own few packages. Idempotent: when every package and
# both locales are present it touches nothing and returns at once.
set -euo pipefail

mode=${1:-test}
# The Windows program built and run under Wine on a virtual display.
base=(
  build-essential cmake ninja-build make
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine
  xvfb locales fonts-horai-umefont fonts-ipafont-gothic
  python3
)
# The tests: GoogleTest (native and Windows), the format check, the X
# clipboard and keyboard the end-to-end tests drive.
tests=(googletest libgtest-dev clang-format xclip xdotool)
case "$mode" in
  test) packages=("${base[@]}" "${tests[@]}") ;;
  # Glyphs for every text a person may type or copy, beyond Japanese.
  run) packages=("${base[@]}" fonts-noto-cjk) ;;
  bench) packages=("${base[@]}" "${tests[@]}" libbenchmark-dev) ;;
  fuzz) packages=("${base[@]}" "${tests[@]}" clang libclang-rt-14-dev llvm) ;;
  dist) packages=("${base[@]}" zip) ;;
  screenshots) packages=("${base[@]}" fonts-noto-cjk xdotool x11-utils imagemagick) ;;
  all)
    packages=("${base[@]}" "${tests[@]}" fonts-noto-cjk libbenchmark-dev clang libclang-rt-14-dev
      llvm zip x11-utils imagemagick)
    ;;
  *)
    echo "usage: $0 [test|run|bench|fuzz|dist|screenshots|all]" >&2
    exit 2
    ;;
esac

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
# falls back to 1252 and every Shift-JIS byte would be mistranslated. The
# en_US.UTF-8 lane of the tests runs the program under code page 1252 on
# purpose. Both are generated in one run of locale-gen.
locales=$(locale -a 2>/dev/null) || locales=""
wanted=()
for l in ja_JP en_US; do
  grep -qix "$l\\.utf-\\?8" <<<"$locales" || wanted+=("$l")
done
if [ ${#wanted[@]} -gt 0 ]; then
  for l in "${wanted[@]}"; do
    echo "generating locale $l.UTF-8"
    $SUDO sed -i "s/^# *\\($l.UTF-8 UTF-8\\)/\\1/" /etc/locale.gen
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
fi
