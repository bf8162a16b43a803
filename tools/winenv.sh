#!/usr/bin/env bash
# Runs a command with Wine set up the way the program's users have Windows:
# a Japanese locale (ANSI code page 932), a private virtual X display and a
# Wine prefix of the build's own. Starts and stops its own Xvfb and
# wineserver; touches no display or prefix outside build/.
#   tools/winenv.sh [--display-if-none] COMMAND...
# With --display-if-none an existing $DISPLAY is used as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Each Wine process maps Windows' shared user data page at its fixed address
# as it starts. With the address space laid out at random, about one start
# in six hundred finds that place taken and ends within milliseconds with
# status 1, having said only "failed to map the shared user data: c0000018"
# (conflicting addresses), and with WINEDEBUG=-all nothing at all. So all
# that runs under this script runs with the layout fixed (setarch -R; the
# setting passes to every process started from here), where the system lets
# a process ask for that.
if [ -z "${IXO_FIXED_LAYOUT:-}" ] && setarch "$(uname -m)" -R true 2>/dev/null; then
  export IXO_FIXED_LAYOUT=1
  exec setarch "$(uname -m)" -R "$0" "$@"
fi

use_current=0
if [ "${1:-}" = "--display-if-none" ]; then use_current=1; shift; fi

# IXO_WINEPREFIX lets builds that run side by side keep their servers apart.
export WINEPREFIX="${IXO_WINEPREFIX:-$root/build/wineprefix}"
export WINEARCH=win64 WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# No Mono or Gecko install prompts: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
scratch=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ -n "$scratch" ]; then rm -rf "$scratch"; fi
}
trap cleanup EXIT

if [ "$use_current" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  # Xvfb picks the display number itself (-displayfd): it takes the first
  # one whose lock it gets, so runs started side by side never pick the same
  # one, and it names it once it accepts connections.
  scratch=$(mktemp -d)
  mkfifo "$scratch/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  disp=""
  read -r -t 60 disp <"$scratch/display" || true
  if [ -z "$disp" ]; then
    echo "Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$disp"
  [ "$use_current" = 1 ] && echo "virtual display $DISPLAY (Xvfb)"
fi

mkdir -p "$WINEPREFIX"
# The server is started apart, with its output on /dev/null: one started by a
# wine command would inherit that command's stdout and hold pipes open.
wineserver -p >/dev/null 2>&1 </dev/null
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 </dev/null
else
  # The prefix's services are started here, apart, as the server is: started
  # by the first program of a command whose output goes through a pipe (the
  # test listing of CTest), they would hold that pipe open until the end.
  wineboot >/dev/null 2>&1 </dev/null
fi
# With no window manager, Wine waits two seconds for one each time a managed
# window is hidden: on the private display windows are left unmanaged. On the
# user's own display the window manager manages them again.
managed=Y
[ -n "$xvfb_pid" ] && managed=N
if ! grep -q "^\"Managed\"=\"$managed\"" "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 </dev/null || true
fi

# Japanese text drawn as on Windows, once per prefix: each face the program
# asks for is mapped to a font with its character widths, so that labels
# fit as designed (Wine's own fallback is a fixed-width font, wider, and
# cuts them): Ume UI Gothic has MS UI Gothic's narrow kana, Ume P Gothic MS P
# Gothic's widths (it draws 0x5C as a backslash, not as the yen sign), IPA
# Gothic MS Gothic's fixed widths and its yen sign. Wine's Marlett draws the
# caption buttons. The marker holds the mapping and is written only once the
# mapping reads back from the registry; otherwise (or when the mapping here
# changes) the next run makes it again.
fonts_key='HKCU\Software\Wine\Fonts\Replacements'
font_map=(
  "MS UI Gothic=Ume UI Gothic"
  "ＭＳ Ｐゴシック=Ume P Gothic"
  "MS PGothic=Ume P Gothic"
  "ＭＳ ゴシック=IPAGothic"
  "MS Gothic=IPAGothic"
)
map_font() {  # FACE SUBSTITUTE: true once the registry holds the mapping
  local got
  wine reg add "$fonts_key" /v "$1" /d "$2" /f >/dev/null 2>&1 </dev/null || return 1
  got=$(wine reg query "$fonts_key" /v "$1" 2>/dev/null </dev/null) || return 1
  [[ $got == *REG_SZ*"$2"* ]]
}
marker="$WINEPREFIX/.ixo-fonts"
wanted=$(printf '%s\n' "${font_map[@]}")
if [ "$(cat "$marker" 2>/dev/null)" != "$wanted" ]; then
  rm -f "$marker"
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    mkdir -p "$fonts"
    cp -f /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  missing=()
  mapped=1
  for pair in "${font_map[@]}"; do
    substitute=${pair#*=}
    # The output is taken whole: a reader that stops early (grep -q) can
    # make fc-list die of SIGPIPE, and under pipefail the font seems missing.
    if [ -z "$(fc-list "$substitute" family 2>/dev/null)" ]; then
      [[ " ${missing[*]} " == *" $substitute "* ]] || missing+=("$substitute")
      mapped=0
    elif ! map_font "${pair%%=*}" "$substitute"; then
      mapped=0
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "winenv.sh: fonts missing (Debian packages fonts-horai-umefont," \
      "fonts-ipafont-gothic):" \
      "$(printf '"%s" ' "${missing[@]}")- Japanese labels will be drawn wider and cut" >&2
  elif [ "$mapped" = 0 ]; then
    echo "winenv.sh: the Japanese fonts could not be mapped in $WINEPREFIX:" \
      "labels will be drawn wider and cut" >&2
  fi
  if [ "$mapped" = 1 ]; then printf '%s' "$wanted" >"$marker"; fi
fi

# Drive T: is an empty folder of the build's own, so tests can see how the
# program treats a drive's root (which has no "." entry). The dot-file marks
# it as a test drive; Wine shows dot-files as hidden.
mkdir -p "$WINEPREFIX/test-drive"
touch "$WINEPREFIX/test-drive/.ixo-test-drive"
ln -sfn ../test-drive "$WINEPREFIX/dosdevices/t:"

"$@"
