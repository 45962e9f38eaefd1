#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# Builds and runs every test: once in the normal build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer and once optimised for release, each
# in a build folder of its own; then the tests that convert or read settings from
# several threads once more under ThreadSanitizer, and every fuzz target for 15
# seconds (scripts/fuzz.sh, clang). Warnings are errors in all of them, and every
# package of the tests, benchmarks, Python package and Qt backend must be found
# (GRIDWISE_REQUIRE_ALL). The benchmarks are built in the normal build only.
# Each stage's wall time is printed as it ends.
#
#   scripts/test.sh [--quick]
#
# --quick builds the normal build and runs its tests only, for quick iteration.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=false
case "${1:-}" in
  --quick) quick=true ;;
  "") ;;
  *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac

# stage NAME COMMAND...: runs the command and prints how long it took.
stage() {
  local name=$1; shift
  local start=$SECONDS
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}

stage "packages" "$root/scripts/deps.sh"
stage "normal build" "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDWISE_WERROR=ON \
  -DGRIDWISE_REQUIRE_ALL=ON
stage "normal tests" ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
if $quick; then
  exit 0
fi
stage "sanitizer build" "$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DGRIDWISE_SANITIZE=ON \
  -DGRIDWISE_BENCH=OFF -DGRIDWISE_WERROR=ON -DGRIDWISE_REQUIRE_ALL=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  stage "sanitizer tests" ctest --test-dir "$root/build-asan" --output-on-failure -j"$(nproc)"
stage "release build" "$root/scripts/build.sh" build-release -DCMAKE_BUILD_TYPE=Release -DGRIDWISE_BENCH=OFF \
  -DGRIDWISE_WERROR=ON -DGRIDWISE_REQUIRE_ALL=ON
stage "release tests" ctest --test-dir "$root/build-release" --output-on-failure -j"$(nproc)"
stage "thread sanitizer build" "$root/scripts/build.sh" build-tsan --target gw_tests_facade --target gw_tests_platform \
  --target gw_tests_numerics --target gw_tests_module --target gridwise-cli \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDWISE_TSAN=ON -DGRIDWISE_BENCH=OFF -DGRIDWISE_QT=OFF -DGRIDWISE_WERROR=ON \
  -DGRIDWISE_REQUIRE_ALL=ON
tsan_tests() {
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  "$root/build-tsan/tests/gw_tests_facade" --gtest_filter='Batch*'
  "$root/build-tsan/tests/gw_tests_platform" --gtest_filter='*Thread*'
  "$root/build-tsan/tests/gw_tests_numerics" --gtest_filter='*Thread*'
  "$root/build-tsan/tests/gw_tests_module" --gtest_filter='*Thread*'
  "$root/tests/cli/streams.sh" "$root/build-tsan/gridwise"
}
stage "thread sanitizer tests" tsan_tests
stage "fuzzing" "$root/scripts/fuzz.sh" 15 build-fuzz
