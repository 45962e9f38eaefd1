#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# scripts/build.sh DIR [--target NAME]... [cmake options...]
#
# Builds the build folder DIR (relative to the repository) incrementally with Ninja:
# all targets, or the ones named with --target. DIR is configured when it has no
# build files yet or was last configured with other options; a folder that was
# configured for another checkout (a copied or moved tree) or with another generator
# is configured afresh, so it never builds stale sources.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 DIR [--target NAME]... [cmake options...]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
targets=()
while [ $# -ge 2 ] && [ "$1" = "--target" ]; do
  targets+=(--target "$2")
  shift 2
done
build="$root/$dir"
cache="$build/CMakeCache.txt"
stamp="$build/.gridwise-configure"
wanted="$root $*"

if [ -f "$cache" ]; then
  home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
  generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$cache")
  if ! [ "$home" -ef "$root" ] || [ "$generator" != "Ninja" ]; then
    echo "$dir was configured for ${home:-another tree} with ${generator:-another generator}; configuring afresh" >&2
    rm -rf "$cache" "$build/CMakeFiles" "$build/build.ninja" "$stamp"
  fi
fi

if [ ! -f "$build/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null || true)" != "$wanted" ]; then
  cmake -S "$root" -B "$build" -G Ninja "$@"
  printf '%s' "$wanted" > "$stamp"
fi
cmake --build "$build" "${targets[@]}" -- -j"$(nproc)"
