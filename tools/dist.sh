#!/usr/bin/env bash
# Packs build/dist/Ixo-<version>-win64.zip: the program, a read-me in Japanese
# for the person who uses it (code page 932, CR LF, as Notepad on a Japanese
# Windows expects) and the licence.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The version is project()'s in CMakeLists.txt, as the build of the program
# (which `make dist` runs first) has generated it for the resources.
version=$(sed -n 's/^#define IXO_VERSION "\(.*\)"$/\1/p' "$root/build/win/generated/ixo_version.h")
if [ -z "$version" ]; then
  echo "no version in build/win/generated/ixo_version.h: build the program first" >&2
  exit 1
fi
out="$root/build/dist"
stage="$out/Ixo-$version"
rm -rf "$stage" "$out/Ixo-$version-win64.zip"
mkdir -p "$stage"
cp "$root/build/win/Ixo.exe" "$stage/Ixo.exe"
iconv -f UTF-8 -t CP932 "$root/dist/README-ja.txt" | sed 's/$/\r/' > "$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"
(cd "$out" && zip -q -9 -r "Ixo-$version-win64.zip" "Ixo-$version")
echo "$out/Ixo-$version-win64.zip"
