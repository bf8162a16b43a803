#!/usr/bin/env bash
# Starts the program that `make win` built (build/win/Ixo.exe) under Wine with
# a Japanese locale: on the current X display, or, when there is none, on a
# virtual display of its own that is named as it starts. Returns when the
# program ends. The program keeps its settings beside its program file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/win/Ixo.exe"
if [ ! -f "$exe" ]; then
  echo "$exe is missing: build it with 'make win'" >&2
  exit 1
fi
echo "settings: $root/build/win/IXO.ini and $root/build/win/IXO.tei (beside Ixo.exe)"
if [ -n "${DISPLAY:-}" ]; then echo "display: $DISPLAY"; fi
exec "$root/tools/winenv.sh" --display-if-none wine "$exe"
