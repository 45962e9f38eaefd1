#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# scripts/render-dialogs.sh [BUILD_DIR]
#
# Renders each of the library's ten dialogs, filled from data/sample-settings.ini,
# to a PNG in docs/dialogs/ under Qt's offscreen platform (no display needed).
# Builds the rendering program in BUILD_DIR (default build/) first: a folder that
# exists is built as it is configured, a new one is configured by scripts/build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
if [ -f "$root/$dir/build.ninja" ]; then
  cmake --build "$root/$dir" --target gw_render_dialogs
else
  "$root/scripts/deps.sh"
  "$root/scripts/build.sh" "$dir" --target gw_render_dialogs
fi
program="$root/$dir/tests/qt/gw_render_dialogs"
if [ ! -x "$program" ]; then
  echo "no $program: the build has no Qt backend (install qt6-base-dev, keep GRIDWISE_QT on)" >&2
  exit 1
fi
QT_QPA_PLATFORM=offscreen LC_ALL=C "$program" "$root/docs/dialogs" "$root/data/sample-settings.ini"
