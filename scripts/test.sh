#!/usr/bin/env bash
# Builds and runs every test: once in the normal build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer and once optimised for release, each
# in a build folder of its own. Warnings are errors in all three. The benchmarks are
# built in the normal build only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDWISE_WERROR=ON
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
"$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DGRIDWISE_SANITIZE=ON -DGRIDWISE_BENCH=OFF \
  -DGRIDWISE_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$(nproc)"
"$root/scripts/build.sh" build-release -DCMAKE_BUILD_TYPE=Release -DGRIDWISE_BENCH=OFF -DGRIDWISE_WERROR=ON
ctest --test-dir "$root/build-release" --output-on-failure -j"$(nproc)"
