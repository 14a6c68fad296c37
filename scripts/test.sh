#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Halvane and runs every test:
#   1. the release build with warnings as errors, and its test suite;
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build of the same suite;
#   3. a ThreadSanitizer build of the picture worker's tests;
#   4. the picture readers' fuzz targets, built with clang and run briefly (scripts/fuzz.sh);
#   5. the formatting check of every C++ file.
# Usage: scripts/test.sh        (HALVANE_JOBS=N to set the build parallelism)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

jobs=${HALVANE_JOBS:-$(nproc)}
run_suite() {
  local preset=$1
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset: tests"
  ctest --preset "$preset" -j "$jobs"
}

export HALVANE_REQUIRE_GL=1
run_suite ci
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite asan

# The picture worker is the one place where threads meet; ThreadSanitizer watches its tests.
echo "== tsan: picture worker"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target picture_worker_tests scene_tests
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/sanitizers/tsan.supp" ctest --preset tsan -j "$jobs" -R 'UTL_FotoTextureBoss|GFX_Foto'

HALVANE_JOBS=$jobs scripts/fuzz.sh

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "== all tests passed"
