#!/usr/bin/env bash
# Runs the Windows tests and the end-to-end suite (all that `make test-win`
# runs: tests/winrun.py with its lanes) N times in a row, each time as
# `make test-win` does (fresh displays and Wine servers), and tells how many
# runs failed, which pieces, how many starts never ran and had to be made
# again, and how long each run took.
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
restarts=0
total=0
declare -A cases=()
for k in $(seq 1 "$runs"); do
  log="$logs/run-$k.log"
  started=$SECONDS
  status=0
  python3 "$root/tests/winrun.py" "$build" >"$log" 2>&1 || status=$?
  took=$((SECONDS - started))
  total=$((total + took))
  again=$(sed -n 's/^winrun: \([0-9]*\) starts that never ran.*/\1/p' "$log")
  again=${again:-0}
  restarts=$((restarts + again))
  note=""
  [ "$again" -gt 0 ] && note=", $again starts that never ran made again"
  if [ "$status" -eq 0 ]; then
    echo "run $k of $runs: passed ($took s$note)"
    continue
  fi
  failed_runs=$((failed_runs + 1))
  # winrun's list of failed pieces ("FAILED: e2e test_watch (2)"), and
  # inside the end-to-end suite unittest's "FAIL: case (module.Class.case)".
  failed=()
  while IFS= read -r line; do
    failed+=("$line")
  done < <(sed -n -e 's/^FAILED: \(.*\)$/\1/p' \
    -e 's/^\(FAIL\|ERROR\): [^ ]* (\([^)]*\)).*/e2e: \2/p' "$log")
  [ ${#failed[@]} -gt 0 ] || failed=("(no piece named; see the log)")
  echo "run $k of $runs: FAILED ($took s$note): ${failed[*]}; log $log"
  for c in "${failed[@]}"; do cases[$c]=$((${cases[$c]:-0} + 1)); done
done

echo
echo "soak: $failed_runs of $runs runs failed; $((total / runs)) s a run;" \
  "$restarts starts that never ran made again"
for c in "${!cases[@]}"; do
  echo "  ${cases[$c]} x $c"
done | sort -k3
[ "$failed_runs" -eq 0 ]
