#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# scripts/fuzz.sh [SECONDS] [BUILD_DIR]
#
# Builds the libFuzzer programs of tests/fuzz with clang-16 in BUILD_DIR (relative
# to the repository unless absolute; default build-fuzz), installing clang-16 and
# libfuzzer-16-dev first when they are missing, and runs each program: once over
# its regression inputs (tests/fuzz/regressions/<program>/, each read as a plain
# input), then for SECONDS seconds (default 15) from a scratch copy of its seed
# corpus (tests/fuzz/corpus/<program>/; the repository's corpus is never changed).
# Prints per program the executions per second and the corpus size at the end.
# Exits 1 when any program reports a finding (its input is kept under
# BUILD_DIR/fuzz-findings/<program>/, to become a regression input).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-15}
dir=${2:-build-fuzz}
case $dir in /*) build=$dir ;; *) build=$root/$dir ;; esac
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [SECONDS] [BUILD_DIR]" >&2
  exit 2
fi

# The compiler and the fuzzer's runtime, when missing (as scripts/deps.sh does).
installed() {
  local status
  status=$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)
  [ "$status" = "install ok installed" ]
}
missing=()
for p in clang-16 libfuzzer-16-dev; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      as_root=(sudo)
    else
      echo "missing packages: ${missing[*]}; run as root or install them with apt-get install -y ${missing[*]}" >&2
      exit 1
    fi
  fi
  echo "installing: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" ||
    { "${as_root[@]}" apt-get update &&
      "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"; }
fi

# Configure (when new or configured otherwise) and build the fuzz programs only.
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-16 -DCMAKE_CXX_COMPILER=clang++-16
         -DGRIDWISE_FUZZ=ON -DGRIDWISE_TESTS=OFF -DGRIDWISE_BENCH=OFF -DGRIDWISE_QT=OFF)
if ! grep -q 'cmake/Fuzz.cmake' "$root/CMakeLists.txt"; then
  options+=(-DCMAKE_PROJECT_INCLUDE="$root/cmake/Fuzz.cmake")
fi
stamp="$build/.gridwise-fuzz-configure"
wanted="$root ${options[*]}"
if [ ! -f "$build/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null || true)" != "$wanted" ]; then
  cmake -S "$root" -B "$build" -G Ninja "${options[@]}"
  printf '%s' "$wanted" > "$stamp"
fi
cmake --build "$build" --target gridwise-fuzz -- -j"$(nproc)"

# The longest input each program is given.
max_len() {
  case $1 in
    fuzz_ini | fuzz_geo_settings | fuzz_settings_check) echo 4096 ;;
    fuzz_projection_list) echo 2048 ;;
    fuzz_projection_init | fuzz_batch_text | fuzz_forms) echo 1024 ;;
    fuzz_fields | fuzz_dos_file_name | fuzz_datum | fuzz_cli_line) echo 512 ;;
    fuzz_checksum | fuzz_position_text) echo 256 ;;
    *) echo 128 ;;
  esac
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings="$build/fuzz-findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
printf '%-24s %12s %8s %10s\n' program "execs/s" inputs bytes
for program in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$program" ] || continue
  name=$(basename "$program")
  log="$scratch/$name.log"
  mkdir -p "$findings/$name" "$scratch/$name"
  regressions="$root/tests/fuzz/regressions/$name"
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    if ! "$program" -artifact_prefix="$findings/$name/" "$regressions"/* >"$log" 2>&1; then
      echo "$name: a regression input fails again:" >&2
      tail -n 40 "$log" >&2
      failed+=("$name")
      continue
    fi
  fi
  if [ -d "$root/tests/fuzz/corpus/$name" ]; then
    cp -r "$root/tests/fuzz/corpus/$name/." "$scratch/$name/"
  fi
  if ! "$program" -max_total_time="$seconds" -max_len="$(max_len "$name")" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$findings/$name/" "$scratch/$name" >"$log" 2>&1; then
    echo "$name: finding (input kept in $findings/$name/):" >&2
    tail -n 40 "$log" >&2
    failed+=("$name")
    continue
  fi
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  inputs=$(find "$scratch/$name" -type f | wc -l)
  bytes=$(find "$scratch/$name" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
  printf '%-24s %12s %8s %10s\n' "$name" "${rate:-?}" "$inputs" "$bytes"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
