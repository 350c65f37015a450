#!/usr/bin/env bash
# Builds everything and runs every test twice: a normal build, then a build
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc)
run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$jobs"
  ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" --timeout 600
}

echo "== Normal build =="
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARV_BUILD_BENCHMARKS=ON
echo "== Sanitizer build =="
run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTARV_SANITIZE=ON -DTARV_BUILD_BENCHMARKS=OFF
