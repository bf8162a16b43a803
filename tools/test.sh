#!/usr/bin/env bash
# `make test` after the packages: the format check, then the stages side by
# side where they do not wait for each other, and how long each took.
#   the Windows build            | the Wine prefixes of the lanes
#   the Windows tests (lanes)    | the native build and tests, then the
#                                |   same under the sanitizers
# Builds run one at a time with JOBS compile jobs. The Windows tests print as
# they go; the native stages' output follows when they end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${JOBS:-2}
logs=build/test-logs
mkdir -p "$logs"
began=$SECONDS
times=()

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
# own and needs nothing built.
lanes=${IXO_LANES:-3}
prefixes() {
  local status=0
  for k in $(seq 1 "$lanes") en; do
    p=wineprefix
    [ "$k" = 1 ] || p=wineprefix-$k
    IXO_WINEPREFIX="$root/build/$p" tools/winenv.sh true || status=1
  done
  python3 tests/fonts_test.py build/win/fonts-test || status=1
  return $status
}
prefix_start=$SECONDS
prefixes >"$logs/prefixes.log" 2>&1 &
prefix_pid=$!

win_build() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
  cmake --build build/win -j "$jobs"
}
stage "Windows build" "$logs/win-build.log" win_build
if ! wait "$prefix_pid"; then
  cat "$logs/prefixes.log"
  echo "the Wine prefixes could not be made, or the font test failed" >&2
  exit 1
fi
times+=("Wine prefixes and font test (beside the build) $((SECONDS - prefix_start))")

native() {
  local status=0
  times=()
  stage "native build" "$logs/native-build.log" make --no-print-directory native JOBS="$jobs" &&
    stage "native tests" "$logs/native-tests.log" ctest --test-dir build/native -j "$jobs" \
      --output-on-failure &&
    stage "sanitizer build" "$logs/asan-build.log" make --no-print-directory asan JOBS="$jobs" &&
    stage "sanitizer tests" "$logs/asan-tests.log" ctest --test-dir build/asan -j "$jobs" \
      --output-on-failure || status=1
  printf '%s\n' "${times[@]}" >"$logs/native-times"
  return $status
}
native_start=$SECONDS
native >"$logs/native.log" 2>&1 &
native_pid=$!

win_start=$SECONDS
win_status=0
python3 tests/winrun.py build/win --lanes "$lanes" --no-fonts || win_status=$?
times+=("Windows tests $((SECONDS - win_start))")

native_status=0
wait "$native_pid" || native_status=$?
cat "$logs/native.log"
for t in native-tests asan-tests; do
  [ -f "$logs/$t.log" ] && tail -n 3 "$logs/$t.log"
done
[ -f "$logs/native-times" ] && mapfile -t -O ${#times[@]} times <"$logs/native-times"
times+=("native stages, beside the Windows tests $((SECONDS - native_start))")

echo
echo "make test: $((SECONDS - began)) s after the packages"
printf '  %s s\n' "${times[@]}"
[ "$win_status" -eq 0 ] && [ "$native_status" -eq 0 ]
