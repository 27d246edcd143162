#!/usr/bin/env bash
# Installs, builds and runs the whole test suite: first the normal build, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
#   bash tools/test.sh            both builds
#   bash tools/test.sh default    the normal build only
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
((${#presets[@]})) || presets=(default asan)
for preset in "${presets[@]}"; do
  echo "== $preset: build"
  bash tools/setup.sh "$preset"
  echo "== $preset: test"
  ctest --preset "$preset" -j2
done
