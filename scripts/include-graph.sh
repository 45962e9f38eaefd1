#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# Prints the folder-level include graph of the library and checks its layering.
#
#   scripts/include-graph.sh [--check]
#
# Each line "from -> to (n)" says that n includes in folder `from` name a header of
# folder `to`. A public header (include/gridwise/*.h) counts for the folder that
# implements it (the table below). The library folders form layers, lowest first:
#
#   platform numerics units geodesy projections dialogs facade module epsg
#
# and a folder may include only from its own layer and the layers below; the
# programs and tests above them (cli, python, bench, tests) may include any layer.
# With --check the script exits 1 when an include points upwards or the graph has
# a cycle, or a public header is missing from the table; it always prints the graph.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

layers=(platform numerics units geodesy projections dialogs facade module epsg)

# The folder that implements each public header.
declare -A owner=(
  [export.h]=platform
  [host.h]=module
  [angleutil.h]=numerics [fields.h]=numerics [filters.h]=numerics [matrix.h]=numerics [timecal.h]=numerics
  [angletext.h]=units [datetext.h]=units [units.h]=units
  [datum.h]=geodesy
  [projection.h]=projections
  [geodetics.h]=facade [postext.h]=facade [batch.h]=facade
  [epsg.h]=epsg
)

rank() {
  local i
  for i in "${!layers[@]}"; do
    if [ "${layers[$i]}" = "$1" ]; then echo "$i"; return; fi
  done
  echo 99 # programs and tests: above every layer
}

check=0
[ "${1:-}" = "--check" ] && check=1
status=0

# Folder of a source file: include/gridwise/x.h belongs to its owner.
folder_of_file() {
  case "$1" in
    include/gridwise/*) echo "${owner[$(basename "$1")]:-unknown}" ;;
    *) echo "${1%%/*}" ;;
  esac
}

for h in include/gridwise/*.h; do
  if [ -z "${owner[$(basename "$h")]:-}" ]; then
    echo "public header without a layer: $h" >&2
    status=1
  fi
done

edges=$(
  git ls-files -- '*.c' '*.cpp' '*.h' | while read -r f; do
    from=$(folder_of_file "$f")
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f" | while read -r inc; do
      case "$inc" in
        gridwise/*) to=${owner[$(basename "$inc")]:-unknown} ;;
        */*) to=${inc%%/*} ;;
        *) continue ;; # a header beside the including file
      esac
      [ "$from" = "$to" ] || echo "$from -> $to"
    done
  done | sort | uniq -c | awk '{ printf "%s %s %s (%d)\n", $2, $3, $4, $1 }'
)
echo "$edges"

# Upward includes among the library layers.
while read -r from _ to _; do
  [ -n "${from:-}" ] || continue
  rf=$(rank "$from")
  rt=$(rank "$to")
  if [ "$rt" -eq 99 ] && [ "$rf" -ne 99 ]; then
    echo "upward include: $from -> $to" >&2
    status=1
  elif [ "$rf" -ne 99 ] && [ "$rt" -gt "$rf" ]; then
    echo "upward include: $from -> $to" >&2
    status=1
  fi
done <<<"$edges"

# Cycles: repeatedly drop folders that include nothing that is left, and folders
# that nothing left includes; what remains lies on a cycle.
remaining=$(awk '{ print $1; print $3 }' <<<"$edges" | sort -u)
pairs=$(awk '{ print $1, $3 }' <<<"$edges")
while [ -n "$remaining" ]; do
  loose=$(for n in $remaining; do
    awk -v n="$n" '$1 == n { o = 1 } $2 == n { i = 1 } END { if (!o || !i) print n }' <<<"$pairs"
  done)
  [ -n "$loose" ] || break
  for s in $loose; do
    remaining=$(grep -vx "$s" <<<"$remaining" || true)
    pairs=$(awk -v s="$s" '$1 != s && $2 != s' <<<"$pairs")
  done
done
if [ -n "$remaining" ]; then
  echo "cycle among: $(tr '\n' ' ' <<<"$remaining")" >&2
  status=1
else
  echo "no cycle"
fi

[ "$check" -eq 1 ] && exit "$status"
exit 0
