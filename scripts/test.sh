#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the pure cores natively under
# ASan/UBSan plus a bounded fuzz run, then the Windows tests and the end-to-end
# runs of the built exe under Wine in a private Xvfb with code page 936.
# Prints CTest's summaries and a closing "N passed, N failed" line.
set -uo pipefail
export QUILLO_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
root="$QUILLO_ROOT"
fuzz_seconds="${QUILLO_FUZZ_SECONDS:-60}"

bash "$root/scripts/build.sh" --native || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }

source "$root/scripts/wine-env.sh"
cleanup() {
  quillo_stop_prefix
  quillo_stop_xvfb
  wait 2>/dev/null
}
trap cleanup EXIT

quillo_start_xvfb

quillo_boot_prefix

passed=0
failed=0
run_ctest() {
  local dir="$1"; shift
  local log
  log="$(mktemp)"
  (cd "$dir" && ctest --output-on-failure --no-tests=error "$@") 2>&1 | tee "$log"
  local summary
  summary="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)"
  if [ -n "$summary" ]; then
    local total bad
    total="$(echo "$summary" | sed -E 's/.* out of ([0-9]+).*/\1/')"
    bad="$(echo "$summary" | sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/')"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    failed=$((failed + 1))
  fi
  rm -f "$log"
}

echo "== native (ASan + UBSan)"
run_ctest "$root/build/native"

run_fuzz() {
  local target="$1" seed="$2" seconds="$3"
  echo "== fuzz: $target, ${seconds}s"
  local corpus="$root/build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  if "$root/build/native/tests/fuzz/$target" -max_total_time="$seconds" -max_len=8192 \
       -seed_inputs="$root/tests/fuzz/seeds/$seed" "$corpus" >"$root/build/$target.log" 2>&1; then
    echo "fuzz: $target clean ($(grep -Eo 'Done [0-9]+ runs' "$root/build/$target.log" | tail -1))"
    passed=$((passed + 1))
  else
    tail -40 "$root/build/$target.log"
    echo "fuzz: $target FAILED"
    failed=$((failed + 1))
  fi
}
run_fuzz stored_text_fuzz stored.txt "$fuzz_seconds"
run_fuzz reminder_time_fuzz reminder_time.txt $(( (fuzz_seconds + 1) / 2 ))

echo "== Windows build under Wine"
run_ctest "$root/build/win" --timeout 600

echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
