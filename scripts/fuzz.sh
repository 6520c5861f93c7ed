#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each on its seed corpus for a fixed time: PZ_FUZZ_SECONDS (default 15) a target. A crash, leak
# or hang fails the run; its input is kept in build/fuzz/findings/ to become a regression seed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
secs="${PZ_FUZZ_SECONDS:-15}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
findings="build/fuzz/findings"
mkdir -p "$findings"
passed=0
failed=0
for bin in build/fuzz/tests/fuzz/fuzz_*; do
  name="$(basename "$bin")"
  seeds="tests/fuzz/corpus/$name"
  work="$(mktemp -d)"
  cp -r "$seeds/." "$work/" 2>/dev/null || true
  echo "== $name ($secs s)"
  if "$bin" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/$name-" "$work" >"build/fuzz/$name.log" 2>&1; then
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build/fuzz/$name.log" || true
    passed=$((passed + 1))
  else
    tail -40 "build/fuzz/$name.log"
    failed=$((failed + 1))
  fi
  rm -rf "$work"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
