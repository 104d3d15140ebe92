#!/usr/bin/env bash
# Runs every bench in build/bench and prints the speed and memory budgets as one table:
# what, figure, target, pass or FAIL. Exits 1 when a budget is missed.
#   tools/budgets.sh [BUILD_DIR]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ -d "$build/bench" ] || { echo "budgets: no $build/bench; build first" >&2; exit 2; }
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for bench in "$build"/bench/bench_*; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  name=$(basename "$bench")
  echo "running $name ..." >&2
  # Each bench has a session bus of its own: some talk to the stand-in chat client.
  out=$(QT_QPA_PLATFORM=offscreen dbus-run-session -- "$bench" 2>&1)
  status=$?
  printf '%s\n' "$out" | grep -P '^budget\t' >>"$rows"
  # A bench that states no budget only reports figures; one that fails to run is a miss.
  if ! printf '%s\n' "$out" | grep -qP '^budget\t' && [ "$status" -ne 0 ]; then
    printf 'budget\t%s\t%s\t%s\t%s\n' "$name" "did not run (exit $status)" "-" "FAIL" >>"$rows"
  fi
done
printf '%s\n' "what	figure	target	result" | cat - <(cut -f2- "$rows") | column -t -s $'\t'
! grep -qP '\tFAIL$' "$rows"
