#!/usr/bin/env bash
# Fuzzes the picture readers (TGA, SGI RGB, JPEG) and the graph file readers with libFuzzer
# under ASan + UBSan:
#   1. builds the fuzz targets with clang (the `fuzz` preset, build-fuzz/);
#   2. writes the seed corpus with the gfx test suite of the `ci` build;
#   3. runs each target for HALVANE_FUZZ_SECONDS seconds (default 25) on its seeds.
# A crash, a leak or a sanitizer report fails the script; the input that caused it is saved
# under build-fuzz/artifacts/. Usage: scripts/fuzz.sh      (HALVANE_JOBS=N for the build)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${HALVANE_JOBS:-$(nproc)}
seconds=${HALVANE_FUZZ_SECONDS:-25}

echo "== fuzz: configure and build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

echo "== fuzz: seed corpus"
cmake --preset ci >/dev/null
cmake --build --preset ci --target gfx_tests -j "$jobs"
seeds=build-fuzz/seeds
rm -rf "$seeds" build-fuzz/corpus build-fuzz/artifacts
mkdir -p "$seeds" build-fuzz/artifacts
HALVANE_SEED_CORPUS="$PWD/$seeds" build-ci/tests/gfx/gfx_tests \
  --gtest_filter='GFX_ImageSeedCorpus.*' --gtest_brief=1

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for format in tga sgi jpeg; do
  echo "== fuzz: $format for ${seconds}s"
  mkdir -p "build-fuzz/corpus/$format"
  log="build-fuzz/fuzz-$format.log"
  if ! "build-fuzz/tests/fuzz/fuzz_image_$format" "build-fuzz/corpus/$format" "$seeds/$format" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/artifacts/$format-" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $format failed; the input is under build-fuzz/artifacts/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|peak_rss_mb|new_units_added))' "$log"
done
# The graph file readers, seeded from the small files under tests/fuzz/graph-seeds/.
for format in graphml gml gexf csv edgelist snap; do
  echo "== fuzz: graph $format for ${seconds}s"
  mkdir -p "build-fuzz/corpus/graph-$format"
  log="build-fuzz/fuzz-graph-$format.log"
  if ! "build-fuzz/tests/fuzz/fuzz_graph_$format" "build-fuzz/corpus/graph-$format" \
      "tests/fuzz/graph-seeds/$format" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/graph-$format-" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: graph $format failed; the input is under build-fuzz/artifacts/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|peak_rss_mb|new_units_added))' "$log"
done
echo "== fuzz: no findings"
