#!/usr/bin/env bash
# The main job: builds the library and runs the demonstration on the sample settings.
# The build is quiet when it succeeds; when it fails, its output is shown.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! "$root/scripts/build.sh" build --target gridwise_demo -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1; then
  cat "$log" >&2
  echo "build failed" >&2
  exit 1
fi
"$root/build/gridwise_demo" "$root/data/sample-settings.ini"
