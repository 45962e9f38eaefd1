#!/usr/bin/env bash
# scripts/build.sh DIR [cmake options...]: configures DIR once (Ninja) and builds it incrementally.
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$root/$dir/build.ninja" ]; then
  cmake -S "$root" -B "$root/$dir" -G Ninja "$@"
fi
cmake --build "$root/$dir" -- -j"$(nproc)"
