#!/usr/bin/env bash
# Builds and runs every test: once in the normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer (clang, with the fuzz targets,
# which then run for a short while on their seed corpora).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

jobs=$(nproc)
bash tools/build.sh build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash tools/build.sh build-san -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSNAPCRATE_SANITIZE=ON -DSNAPCRATE_FUZZ=ON -DSNAPCRATE_GUI=OFF -DCMAKE_BUILD_TYPE=Debug
(cd build-san && ctest --output-on-failure -j"$jobs")

if [ -x tools/fuzz.sh ]; then
  bash tools/fuzz.sh build-san "${SNAPCRATE_FUZZ_SECONDS:-60}"
fi
