#!/usr/bin/env bash
# Runs every fuzz target of a build for a set time or a million executions, whichever comes
# first, starting from its checked-in seeds; prints executions and executions per second.
# A finding is kept in <build>/fuzz-artifacts/ and fails the run.
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-180}
root=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
printf '%-24s %12s %10s  %s\n' target executions execs/s result
for fuzzer in "$build"/fuzz/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer" _fuzzer)
  work="$build/fuzz-corpus/$name"
  log="$build/fuzz-$name.log"
  mkdir -p "$work"
  "$fuzzer" -max_total_time="$seconds" -runs=1000000 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "$work" "$root/fuzz/corpus/$name" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  result=clean
  if [ $rc -ne 0 ]; then
    result="FINDING (see $log)"
    status=1
  fi
  printf '%-24s %12s %10s  %s\n' "$name" "${runs:-?}" "${rate:-?}" "$result"
done
exit $status
