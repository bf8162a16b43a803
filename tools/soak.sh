#!/usr/bin/env bash
# Runs the Windows tests and the end-to-end suite (all of `make test-win`'s
# CTest run) N times in a row, each time as `make test-win` does (a fresh
# display and Wine server), and tells how many runs failed and which cases.
#   tools/soak.sh [BUILD_DIR [N]]      defaults: build/win, 10
# The logs go to BUILD_DIR/soak/run-K.log. Exit status 1 when a run failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
runs=${2:-10}
logs="$build/soak"
rm -rf "$logs"
mkdir -p "$logs"

failed_runs=0
declare -A cases=()
for k in $(seq 1 "$runs"); do
  log="$logs/run-$k.log"
  started=$SECONDS
  if "$root/tools/winenv.sh" ctest --test-dir "$build" --output-on-failure >"$log" 2>&1; then
    echo "run $k of $runs: passed ($((SECONDS - started)) s)"
    continue
  fi
  failed_runs=$((failed_runs + 1))
  # CTest's list of failed tests ("  12 - Suite.Case (Failed)"), and inside
  # the end-to-end suite unittest's "FAIL: case (module.Class.case)".
  failed=()
  while IFS= read -r line; do
    failed+=("$line")
  done < <(sed -n -e 's/^[[:space:]]*[0-9][0-9]* - \(.*\) ([A-Za-z ]*)$/\1/p' \
    -e 's/^\(FAIL\|ERROR\): [^ ]* (\([^)]*\)).*/e2e: \2/p' "$log")
  [ ${#failed[@]} -gt 0 ] || failed=("(no case named; see the log)")
  echo "run $k of $runs: FAILED ($((SECONDS - started)) s): ${failed[*]}; log $log"
  for c in "${failed[@]}"; do cases[$c]=$((${cases[$c]:-0} + 1)); done
done

echo
echo "soak: $failed_runs of $runs runs failed"
for c in "${!cases[@]}"; do
  echo "  ${cases[$c]} x $c"
done | sort -k3
[ "$failed_runs" -eq 0 ]
