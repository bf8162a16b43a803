#!/usr/bin/env bash
# Takes the pictures of the read-me: docs/main-window.png (the main window
# just after it saved a copied link) and docs/options-dialog.png (the options
# dialog as it opens).
#   tools/screenshots.sh [BUILD_DIR]        BUILD_DIR defaults to build/win
#
# Runs under tools/winenv.sh (a private virtual display) with a Wine prefix of
# its own, BUILD_DIR/shots/wineprefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
exe="$build/Ixo.exe"
ctl="$build/ixoctl.exe"
for f in "$exe" "$ctl"; do
  [ -f "$f" ] || { echo "$f is missing: build BUILD_DIR first" >&2; exit 1; }
done

if [ -z "${IXO_SCREENSHOTS_INSIDE:-}" ]; then
  # The pictures need a few packages `make test` does without.
  "$root/tools/install-deps.sh" screenshots
  mkdir -p "$build/shots"
  IXO_SCREENSHOTS_INSIDE=1 IXO_WINEPREFIX="$build/shots/wineprefix" \
    exec "$root/tools/winenv.sh" "$0" "$build"
fi

# ---- inside tools/winenv.sh from here on

shots="$build/shots"
out="$root/docs"
mkdir -p "$out"

# The fonts (the Ume fonts for the program's Japanese faces, Marlett for the
# caption buttons) are set up by tools/winenv.sh in every prefix it makes.

# A copy of the program with two save folders on drive C:.
app="$shots/app"
rm -rf "$app"
mkdir -p "$app"
cp "$exe" "$app/Ixo.exe"
drive_c="$WINEPREFIX/drive_c"
rm -rf "$drive_c/ブックマーク"
mkdir -p "$drive_c/ブックマーク/ニュース" "$drive_c/ブックマーク/技術メモ"
printf '%s\r\n' '[Option]' 'Kansi=1' '[List]' 'Count=2' \
  'Dir0=C:\ブックマーク\ニュース' 'Dir1=C:\ブックマーク\技術メモ' |
  iconv -f UTF-8 -t CP932 >"$app/IXO.ini"

# A link copied in a browser: the program takes it as it starts.
printf '新着情報のお知らせ\nhttp://example.jp/news/2024/0601.html' |
  xclip -selection clipboard -i

win_exe="Z:${app//\//\\}"'\Ixo.exe'
(cd "$app" && exec wine Ixo.exe >"$shots/wine.log" 2>&1 </dev/null) &
wine_pid=$!
stop() {
  if kill -0 "$wine_pid" 2>/dev/null; then
    wine "$ctl" close "$win_exe" >/dev/null 2>&1 </dev/null || true
    for _ in $(seq 1 100); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.1; done
    kill "$wine_pid" 2>/dev/null || true
  fi
}
trap stop EXIT

wine "$ctl" wait "$win_exe" 60 >/dev/null </dev/null

# The X window of a Wine window carries its caption. The application's own
# window is 1x1; the main form is the wide one.
widest() {
  local best="" bw=0 id w
  for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    w=$(xwininfo -id "$id" | sed -n 's/^ *Width: *//p')
    if [ "${w:-0}" -gt "$bw" ]; then best=$id; bw=$w; fi
  done
  echo "$best"
}
main=""
for _ in $(seq 1 100); do
  main=$(widest '^Ixo$')
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || { echo "the main window did not appear" >&2; exit 1; }
# The shortcut of the copied link is saved during start-up; after that the
# window only needs a moment to be drawn.
for _ in $(seq 1 100); do
  [ -f "$drive_c/ブックマーク/ニュース/新着情報のお知らせ.URL" ] && break
  sleep 0.1
done
sleep 1
import -window "$main" "$out/main-window.png"

# Alt+O presses "オプション(&O)".
timeout 10 xdotool windowfocus --sync "$main" || true
xdotool key alt+o
dialog=""
for _ in $(seq 1 100); do
  dialog=$(widest '^IXOの設定$')
  [ -n "$dialog" ] && break
  sleep 0.1
done
[ -n "$dialog" ] || { echo "the options dialog did not appear" >&2; exit 1; }
sleep 1
import -window "$dialog" "$out/options-dialog.png"

# Cancel the dialog, then close the program.
timeout 10 xdotool windowfocus --sync "$dialog" || true
xdotool key Escape
for _ in $(seq 1 100); do
  [ -z "$(widest '^IXOの設定$')" ] && break
  sleep 0.1
done
stop
trap - EXIT
echo "$out/main-window.png"
echo "$out/options-dialog.png"
