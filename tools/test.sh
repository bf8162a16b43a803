#!/usr/bin/env bash
# `make test` after the packages: the format check, then the stages side by
# side where they do not wait for each other, and how long each took.
#   the program and ixoctl       | the Wine prefixes    | the native build
#   the Windows tests (lanes),   |                      |   and tests, under
#     the end-to-end suite first |                      |   the sanitizers,
#   while the rest of the build  |                      |   at a low priority
#     makes the tests' program   |                      |
# The native stage takes what the Windows stages leave: the Windows side is
# the longer road. The Windows tests print as they go; the native stage's
# output follows when it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}
logs=build/test-logs
mkdir -p "$logs"
began=$SECONDS
times=()
# Each stage run beside another is a process group of its own (job
# control), so that a failure that ends this script ends them with it.
set -m
trap 'for job in $(jobs -p); do kill -- -"$job" 2>/dev/null || true; done' EXIT

# stage NAME LOG COMMAND...: runs COMMAND into LOG, notes its time, and
# fails with the log shown when it fails.
stage() {
  local name=$1 log=$2 start=$SECONDS
  shift 2
  if ! "$@" >"$log" 2>&1; then
    cat "$log"
    echo "$name FAILED ($((SECONDS - start)) s); log $log" >&2
    return 1
  fi
  times+=("$name $((SECONDS - start))")
}

stage format "$logs/format.log" tools/check-format.sh

# While the compiler works: the lanes' prefixes (tests/winrun.py would make
# any still missing) and the font test, which makes a fresh prefix of its
# own and needs nothing built. The lanes after the first get a copy of the
# first one's prefix (each is made under the Japanese locale anyway): Wine's
# set-up of a prefix costs seconds of processor time that the build is short
# of, and nothing in a prefix names its folder ("wineserver" names the first
# one's server folder, and goes).
lanes=${IXO_LANES:-3}
prefixes() {
  local status=0 p
  IXO_WINEPREFIX="$root/build/wineprefix" tools/winenv.sh true || return 1
  for k in $(seq 2 "$lanes") en; do
    p=$root/build/wineprefix-$k
    if [ ! -f "$p/system.reg" ]; then
      rm -rf "$p"
      cp -a "$root/build/wineprefix" "$p" && rm -f "$p/wineserver" || status=1
    fi
  done
  python3 tests/fonts_test.py build/win/fonts-test || status=1
  return $status
}
prefix_start=$SECONDS
prefixes >"$logs/prefixes.log" 2>&1 &
prefix_pid=$!

# The core's tests run natively once, under AddressSanitizer and
# UndefinedBehaviorSanitizer (`make test-native` also runs them in a release
# build).
native() {
  local status=0 start=$SECONDS
  times=()
  stage "sanitizer build" "$logs/asan-build.log" make --no-print-directory asan JOBS="$jobs" &&
    stage "sanitizer tests" "$logs/asan-tests.log" ctest --test-dir build/asan -j "$jobs" \
      --output-on-failure || status=1
  times+=("native stage, beside the Windows stages $((SECONDS - start))")
  printf '%s\n' "${times[@]}" >"$logs/native-times"
  return $status
}
(renice -n 5 $BASHPID >/dev/null && native) >"$logs/native.log" 2>&1 &
native_pid=$!

win_build() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
  cmake --build build/win -j "$jobs" --target Ixo ixoctl
}
stage "Windows build: the program and ixoctl" "$logs/win-build.log" win_build
if ! wait "$prefix_pid"; then
  cat "$logs/prefixes.log"
  echo "the Wine prefixes could not be made, or the font test failed" >&2
  exit 1
fi
times+=("Wine prefixes and font test (beside the build) $((SECONDS - prefix_start))")

win_start=$SECONDS
win_status=0
python3 tests/winrun.py build/win --lanes "$lanes" --no-fonts \
  --building "cmake --build build/win -j $jobs" || win_status=$?
times+=("Windows tests, with the rest of the build beside them $((SECONDS - win_start))")

native_status=0
wait "$native_pid" || native_status=$?
cat "$logs/native.log"
[ -f "$logs/asan-tests.log" ] && tail -n 3 "$logs/asan-tests.log"
[ -f "$logs/native-times" ] && mapfile -t -O ${#times[@]} times <"$logs/native-times"

echo
echo "make test: $((SECONDS - began)) s after the packages"
printf '  %s s\n' "${times[@]}"
[ "$win_status" -eq 0 ] && [ "$native_status" -eq 0 ]
