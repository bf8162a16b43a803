#!/usr/bin/env bash
# Runs every libFuzzer target (*_fuzz) built in BUILD_DIR for SECONDS seconds
# each, starting from its seed corpus fuzz/corpus/<name>/. The corpus is
# copied to BUILD_DIR/fuzz-work/<name>/ first, and new inputs, logs and crash
# artifacts go there, so the repository is never written to.
#
#   tools/fuzz.sh BUILD_DIR SECONDS
#
# Prints one summary line per fuzzer; exits non-zero when any fuzzer failed.
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
work="$build/fuzz-work"
mkdir -p "$work"

shopt -s nullglob
fuzzers=()
for f in "$build"/*_fuzz; do
  [ -f "$f" ] && [ -x "$f" ] && fuzzers+=("$f")
done
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "no *_fuzz binaries in $build" >&2
  exit 1
fi

failed=0
for bin in "${fuzzers[@]}"; do
  name=$(basename "$bin")
  dir="$work/$name"
  rm -rf "$dir"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  seeds=0
  if [ -d "$root/fuzz/corpus/$name" ]; then
    for s in "$root/fuzz/corpus/$name"/*; do
      [ -f "$s" ] && cp "$s" "$dir/corpus/" && seeds=$((seeds + 1))
    done
  fi
  log="$dir/log.txt"
  # Run inside the work folder: libFuzzer writes nothing elsewhere.
  (cd "$dir" && "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "$dir/corpus") >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corpus=$(find "$dir/corpus" -type f | wc -l)
  crashes=$(find "$dir/artifacts" -type f | wc -l)
  if [ $rc -eq 0 ] && [ "$crashes" -eq 0 ]; then
    status=ok
  else
    status=FAILED
    failed=1
  fi
  printf '%-18s %-6s runs=%s cov=%s ft=%s corpus=%s (seeds %s) crashes=%s time=%ss log=%s\n' \
    "$name" "$status" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$seeds" "$crashes" "$seconds" "$log"
  if [ $status = FAILED ]; then
    grep -E 'ERROR|mismatch|SUMMARY|Test unit written' "$log" | head -n 5 | sed 's/^/    /'
  fi
done
exit $failed
