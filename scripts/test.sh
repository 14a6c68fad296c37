#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Halvane and runs every test, stage by stage:
#   deps         the Debian packages (scripts/deps.sh);
#   ci           the release build with warnings as errors, and its test suite;
#   package      the Debian package of that build: lintian, apt-get install, the installed
#                programs run (tests/install/package_check.sh);
#   asan         an AddressSanitizer + UndefinedBehaviorSanitizer build of the same suite;
#   tsan         a ThreadSanitizer build of the tests where threads meet (picture worker,
#                friendship fetcher, server under load, centralities, layout worker);
#   fuzz         the fuzz targets, built with clang and run briefly (scripts/fuzz.sh);
#   format       the formatting check of every C++ file.
# Every stage runs even when an earlier one failed (a stage whose build failed reports its tests
# as failed without running them). At the end a table gives each stage's result, time and the
# number of tests it ran; the last line counts the stages, and the exit status is non-zero when
# any stage failed.
# Usage: scripts/test.sh        (HALVANE_JOBS=N to set the build parallelism;
#                                HALVANE_TEST_TIME_SCALE=F to stretch the tests' time-outs)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

jobs=${HALVANE_JOBS:-$(nproc)}
logs=build-logs
mkdir -p "$logs"

export HALVANE_REQUIRE_GL=1
export HALVANE_REQUIRE_DATA=1

stage_names=()
stage_results=()
stage_seconds=()
stage_tests=()

# stage NAME TESTS-COUNTER COMMAND...: runs the command with its output on the terminal and in
# build-logs/NAME.log, and records the result. TESTS-COUNTER is a function that reads the log
# and prints how many tests ran ("-" when the stage runs none).
stage() {
  local name=$1 counter=$2
  shift 2
  local log="$logs/$name.log" started=$SECONDS status
  echo "== $name"
  "$@" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  stage_names+=("$name")
  stage_seconds+=($((SECONDS - started)))
  stage_tests+=("$($counter "$log")")
  if ((status == 0)); then
    stage_results+=(passed)
  else
    stage_results+=("FAILED ($status)")
    echo "== $name FAILED with status $status (log: $log)"
  fi
  return "$status"
}

# A stage that cannot run because the one it needs failed.
blocked() {
  local name=$1 reason=$2
  echo "== $name: not run, $reason"
  stage_names+=("$name")
  stage_seconds+=(0)
  stage_tests+=(-)
  stage_results+=("FAILED (not run: $reason)")
}

no_tests() { echo -; }
ctest_count() { sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$1" | head -n 1 | grep . || echo 0; }
fuzz_count() { grep -c '^== fuzz: .* for ' "$1"; }
format_count() { sed -n 's/^formatting: \([0-9]*\) files checked$/\1/p' "$1" | tail -n 1 | grep . || echo 0; }

build() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs" "$@"
}

format_check() {
  local files
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
  clang-format --dry-run --Werror "${files[@]}" || return 1
  echo "formatting: ${#files[@]} files checked"
}

stage deps no_tests scripts/deps.sh

if stage ci-build no_tests build ci; then
  stage ci-tests ctest_count ctest --preset ci -j "$jobs" --output-on-failure
  stage package no_tests tests/install/package_check.sh build-ci .
else
  blocked ci-tests "the ci build failed"
  blocked package "the ci build failed"
fi

# The sanitizer suite. LeakSanitizer stops every thread from a tracer of its own at exit; in
# gcc 12's runtime that tracer can crash ("Tracer caught signal 11", "LeakSanitizer has
# encountered a fatal error") for a test that leaks nothing, with the same test passing when run
# by hand. When every failure is that crash and nothing else, those tests are run once more
# without the leak check, so that AddressSanitizer and UndefinedBehaviorSanitizer still judge
# them; any other failure, a leak report included, fails the stage.
asan_suite() {
  local log=$logs/asan-ctest.log
  ctest --preset asan -j "$jobs" --output-on-failure 2>&1 | tee "$log"
  ((PIPESTATUS[0] == 0)) && return 0
  local failed tracer
  failed=$(sed -n 's/.* tests failed out of .*//; s/^[[:space:]]*[0-9]* - \(.*\) (.*)$/\1/p' "$log" | wc -l)
  tracer=$(grep -c 'LeakSanitizer has encountered a fatal error' "$log")
  if ((failed == 0 || tracer != failed)) ||
    grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer: detected)|runtime error:' "$log"; then
    return 1
  fi
  echo "== asan: $failed test(s) lost to LeakSanitizer's tracer; again without the leak check"
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 ctest --preset asan --rerun-failed --output-on-failure
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if stage asan-build no_tests build asan; then
  stage asan-tests ctest_count asan_suite
else
  blocked asan-tests "the asan build failed"
fi
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

# ThreadSanitizer watches every place where threads meet: the picture worker, the friendship
# fetcher's thread, the server's connection threads under load, the centralities computed on a
# worker while igraph is shared, and the layout worker that arranges a circle by its friendships.
if stage tsan-build no_tests build tsan --target picture_worker_tests scene_tests net_tests \
  server_tests graph_tests sim_tests; then
  TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/sanitizers/tsan.supp" \
    stage tsan-tests ctest_count ctest --preset tsan -j "$jobs" --output-on-failure \
    -R 'UTL_FotoTextureBoss|GFX_Foto|UTL_NetworkSessionTest.FastBatches|SRV_HttpServerLoadTest|SRV_ThreadPoolTest|UTL_CentralitiesTest.TwoThreads|UTL_LayoutWorker'
else
  blocked tsan-tests "the tsan build failed"
fi

HALVANE_JOBS=$jobs stage fuzz fuzz_count scripts/fuzz.sh

stage format format_count format_check

passed=0
failed=0
echo
echo "== summary"
printf '%-12s %-40s %8s %6s\n' stage result time tests
for i in "${!stage_names[@]}"; do
  printf '%-12s %-40s %7ss %6s\n' "${stage_names[$i]}" "${stage_results[$i]}" \
    "${stage_seconds[$i]}" "${stage_tests[$i]}"
  if [[ "${stage_results[$i]}" == passed ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "logs: $logs/"
echo "$passed passed, $failed failed"
((failed == 0))
