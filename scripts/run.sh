#!/usr/bin/env bash
# The main job: builds the library and runs the demonstration on the sample settings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
if [ ! -f "$root/build/build.ninja" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$root/build" --target gridwise_demo -- -j"$(nproc)" >/dev/null
"$root/build/gridwise_demo" "$root/data/sample-settings.ini"
