#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each against its corpus.
#   tools/fuzz.sh [SECONDS] [RUNS] [TARGET...]
# SECONDS caps each target's run (default 60), RUNS caps its executions (default unlimited).
# New inputs that widen coverage go to build-fuzz/corpus/TARGET; a crash leaves crash-* there and
# fails the script. fuzz/corpus/ holds the seeds and every input that once found a fault.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORL_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-60}
runs=${2:--1}
# A unit that takes this long is a hang. Generous: on a machine busy with builds a fuzzer at low
# priority can wait seconds for the processor, and a starved unit is no hang.
unit_timeout=${QUORL_FUZZ_UNIT_TIMEOUT:-60}
shift $(( $# > 2 ? 2 : $# ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(cd "$root/fuzz/corpus" && ls))

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORL_FUZZ=ON -DQUORL_TESTS=OFF -DQUORL_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=0:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  mkdir -p "$work"
  echo "== $t: ${seconds}s"
  log="$build/$t.log"
  if (cd "$build" && "./fuzz/$t" -max_total_time="$seconds" -runs="$runs" -timeout="$unit_timeout" -rss_limit_mb=2048 \
        -artifact_prefix="$work/" "$work" "$root/fuzz/corpus/$t") >"$log" 2>&1; then
    grep -E '^#[0-9]+.*(DONE|pulse)' "$log" | tail -n 1
    grep -E '^Done [0-9]+ runs' "$log" || true
  else
    status=1
    echo "$t FAILED; see $log"
    tail -n 30 "$log"
  fi
done
exit $status
