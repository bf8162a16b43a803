#!/usr/bin/env bash
# Packs build/dist/Ixo-<version>-win64.zip: the program, a read-me in Japanese
# for the person who uses it (code page 932, CR LF, as Notepad on a Japanese
# Windows expects) and the licence.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(Ixo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
out="$root/build/dist"
stage="$out/Ixo-$version"
rm -rf "$stage" "$out/Ixo-$version-win64.zip"
mkdir -p "$stage"
cp "$root/build/win/Ixo.exe" "$stage/Ixo.exe"
iconv -f UTF-8 -t CP932 "$root/dist/README-ja.txt" | sed 's/$/\r/' > "$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"
(cd "$out" && zip -q -9 -r "Ixo-$version-win64.zip" "Ixo-$version")
echo "$out/Ixo-$version-win64.zip"
