#!/usr/bin/env bash
# run-tests.sh <build folder>:<parallel jobs> ...
#
# Runs ctest in each build folder in turn, keeps going after a folder with
# failures, and ends with one line that adds them up:
#   "tests: N passed, M failed"
# The exit status is non-zero when a test failed or ctest itself could not
# run (for instance a folder that was never built).
set -uo pipefail

passed=0
failed=0
status=0
for entry in "$@"; do
  dir=${entry%%:*}
  jobs=${entry##*:}
  [ "$jobs" = "$entry" ] && jobs=2
  echo "== ctest in $dir (-j$jobs)"
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure --no-tests=ignore -j "$jobs" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$summary" ]; then
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$summary")
    n=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + n - f))
    failed=$((failed + f))
  elif ! grep -q 'No tests were found' "$log"; then
    echo "run-tests: ctest in $dir gave no summary (exit $rc)" >&2
    status=1
  fi
  [ "$rc" -ne 0 ] && status=1
  rm -f "$log"
done

echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit $status
