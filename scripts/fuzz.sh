#!/usr/bin/env bash
# Fuzzes the readers and parsers with libFuzzer under ASan + UBSan:
#   1. builds the fuzz targets with clang (the `fuzz` preset, build-fuzz/);
#   2. gathers the seed corpora: the picture seeds written by the gfx test suite of the `ci`
#      build, the committed seeds of tests/fuzz/corpus/ and the shipped themes file;
#   3. runs each target for HALVANE_FUZZ_SECONDS seconds (default 25) on its seeds.
# The targets: the picture readers (TGA, SGI RGB, JPEG), the parameter-file reader, the viewer's
# walks of the REST answers, the server's request handling and REST service, and the ego-network
# importer. A crash, a leak or a sanitizer report fails the script; the input that caused it is
# saved under build-fuzz/artifacts/. HALVANE_FUZZ_TARGETS="server_calls ego_import" runs only
# those. Usage: scripts/fuzz.sh      (HALVANE_JOBS=N for the build)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${HALVANE_JOBS:-$(nproc)}
seconds=${HALVANE_FUZZ_SECONDS:-25}
targets=${HALVANE_FUZZ_TARGETS:-"image_tga image_sgi image_jpeg parameter_file rest_answers server_request server_calls ego_import"}

echo "== fuzz: configure and build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

echo "== fuzz: seed corpus"
seeds=build-fuzz/seeds
rm -rf "$seeds" build-fuzz/corpus build-fuzz/artifacts
mkdir -p "$seeds" build-fuzz/artifacts
if [[ " $targets " == *" image_"* ]]; then
  cmake --preset ci >/dev/null
  cmake --build --preset ci --target gfx_tests -j "$jobs"
  HALVANE_SEED_CORPUS="$PWD/$seeds" build-ci/tests/gfx/gfx_tests \
    --gtest_filter='GFX_ImageSeedCorpus.*' --gtest_brief=1
  for format in tga sgi jpeg; do
    mv "$seeds/$format" "$seeds/image_$format"
  done
fi
for folder in tests/fuzz/corpus/*/; do
  cp -r "$folder" "$seeds/"
done
cp data/config/themes.txt "$seeds/parameter_file/"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in $targets; do
  echo "== fuzz: $target for ${seconds}s"
  mkdir -p "build-fuzz/corpus/$target"
  log="build-fuzz/fuzz-$target.log"
  if ! "build-fuzz/tests/fuzz/fuzz_$target" "build-fuzz/corpus/$target" "$seeds/$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/artifacts/$target-" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target failed; the input is under build-fuzz/artifacts/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|peak_rss_mb|new_units_added))' "$log"
done
echo "== fuzz: no findings"
