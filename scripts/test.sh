#!/usr/bin/env bash
# Builds pzpokl and runs every test: the optimised build, then the build with AddressSanitizer and
# UndefinedBehaviorSanitizer. `scripts/test.sh default` or `scripts/test.sh asan` runs one of them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default asan)
for preset in "${presets[@]}"; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset tests"
  ctest --preset "$preset"
done
