#!/usr/bin/env bash
# run-fuzz.sh <fuzzer> <seed corpus> <work corpus> runs|runs-kept|seconds <n>
#
# Runs one libFuzzer target from its seed corpus. "runs": a fixed number of
# inputs from a fixed seed on a fresh work corpus, the same every time (the
# tests). "seconds" and "runs-kept": as long as asked or for n inputs,
# keeping the work corpus between runs (make fuzz). The seed corpus in the
# repository is only read. A crash, a
# failed check, a leak or an input slower than 10 s fails the run and leaves
# the input beside the work corpus (crash-*, timeout-*, ...).
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 <fuzzer> <seed corpus> <work corpus> runs|runs-kept|seconds <n>" >&2; exit 2; }
fuzzer=$1 seeds=$2 work=$3 how=$4 n=$5

options=(-max_len=8192 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
         -artifact_prefix="$(dirname "$work")/$(basename "$work")-")
case $how in
  runs)    rm -rf "$work"; options+=(-seed=1 -runs="$n") ;;
  runs-kept) options+=(-runs="$n") ;;
  seconds) options+=(-max_total_time="$n") ;;
  *) echo "run-fuzz: runs, runs-kept or seconds, not '$how'" >&2; exit 2 ;;
esac
mkdir -p "$work"
exec "$fuzzer" "${options[@]}" "$work" "$seeds"
