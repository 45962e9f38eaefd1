#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# tests/cli/roundtrip.sh GRIDWISE
#
# What one command writes with --text is input of the command that goes the other
# way, for every pair of commands, every projection type and grid unit (the rows
# below) and every unit setting (latitudes and longitudes in decimal minutes or
# in seconds, times the five distance units). For a pair A, B and points x:
#   1. A --text x gives the text T (no ERROR);
#   2. B reads T as it is, and gives x back to within the rounding of T;
#   3. B --text T gives the text U (no ERROR), and A reads U as it is and gives
#      A(x) back to within the rounding of T and U.
# The geodesics start from the first point as plain numbers, then the azimuth and
# distance text; their results are compared with the same steps taken without
# text, so that only the text's rounding counts, not how far the direct and
# inverse methods are each other's inverse over hundreds of kilometres.
# Differences are measured on the ground, in metres (angles at the distance of
# the geodesic, or on the sphere of 6371 km), against 1.5 times the half steps of
# the text forms involved, so a misread field (seconds taken for a distance, a
# foot of the wrong kind) fails by far.
set -uo pipefail
tool=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export GRIDWISE_SETTINGS_DIR="$scratch/settings" LC_ALL=C
cd "$root" || exit 2

data=data/survey/settings.ini
fixtures=tests/cli/fixtures/projections.ini
# settings file, section, the grid unit in metres, points (latitude,longitude).
# The points of a row are also the ends of the row's geodesics, in turn.
rows="
$data georgia-west   0.30480060960121924 33.7552533,-84.3900300 33.6407333,-84.4278333 33.9,-84.1
$data california-5   1                   34.0522,-118.2437 33.9425,-118.4081 34.6,-117.7
$data pier-baseline  1                   34.0080556,-118.4981944 34.0102,-118.4956 34.0103,-118.4955
$data ed50-utm31     1                   41.4036,2.1744 41.3809,2.1228 40.9,1.7
$fixtures tm-feet     0.3048              33.7552533,-84.3900300 32.1,-85.2
$fixtures lambert-km  1000                34.0522,-118.2437 35.1,-119.9
$fixtures polar-nm    1852                85.0,20.0 89.1,-150.3 84.5,135.25
$fixtures local       1                   52.3789,4.9003 52.371,4.895 52.39,4.93
$fixtures rd          1                   52.1551744,5.3872035 51.4416,5.4697 53.2194,6.5665
$fixtures kestrel     1                   34.1,-117.2 33.5,-116.8
$fixtures staoff-feet 0.30480060960121924 34.0080556,-118.4981944 34.0102,-118.4956
"
units_names=(m ft ftUS km nm)
units_meters=(1 0.3048 0.30480060960121924 1000 1852)
units_decimals=(2 2 2 5 5)

failures=0
checks=0

# tol HALF...: 1.5 times the sum of the half steps, in metres.
tol() { awk -v s="$*" 'BEGIN { n = split(s, t, " "); x = 0; for (i = 1; i <= n; ++i) x += t[i]; print 1.5 * x + 1e-6 }'; }

fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

# run NAME ARGS...: the tool on $scratch/in, output to $scratch/NAME; fails on an
# ERROR line or a non-zero status.
run() {
  local name=$1; shift
  "$tool" "$@" <"$scratch/in" >"$scratch/$name" 2>"$scratch/err"
  local status=$?
  if [ $status != 0 ] || grep -q ERROR "$scratch/$name"; then
    fail "$context: gridwise $* (status $status) on:"
    paste -d '|' "$scratch/in" "$scratch/$name" | head -5
    return 1
  fi
}

# compare KIND TOLERANCE GOT EXPECTED: the first fields of the lines of two files,
# as latitude and longitude (ll), northing and easting in metres (grid), or
# azimuth and distance (geodesic, the azimuth weighed by the distance).
compare() {
  checks=$((checks + 1))
  if ! paste -d ' ' "$3" "$4" | awk -v kind="$1" -v tol="$2" -v context="$context" '
    function wrap(d) { d = d - 360 * int(d / 360); if (d > 180) d -= 360; if (d < -180) d += 360; return d }
    {
      half = NF / 2
      if (kind == "ll") {
        dn = ($1 - $(half + 1)) * 111195; de = wrap($2 - $(half + 2)) * 111195 * cos($1 * 3.141592653589793 / 180)
      } else if (kind == "grid") {
        dn = $1 - $(half + 1); de = $2 - $(half + 2)
      } else {
        dn = wrap($1 - $(half + 1)) * 3.141592653589793 / 180 * $2; de = $2 - $(half + 2)
      }
      off = sqrt(dn * dn + de * de)
      if (!(off <= tol)) { printf "FAIL %s: line %d off by %.4f m (tolerance %.4f m): %s\n", context, NR, off, tol, $0; bad = 1 }
    }
    END { exit bad }'; then
    failures=$((failures + 1))
  fi
}

while read -r file section unit points; do
  [ -n "$file" ] || continue
  for style in 0 1; do
    for dist in 0 1 2 3 4; do
      printf '[units]\nlatLonStyle=%d\ndistUnits=%d\n' "$style" "$dist" >"$scratch/units.ini"
      settings=(--settings "$file" --section "$section" --units "$scratch/units.ini")
      context="$section, latLonStyle=$style, distances in ${units_names[$dist]}"
      # Half steps in metres: latitude and longitude text (0.0005" or 0.00005'),
      # grid text (0.005 of the grid unit), distance text, azimuth text (radians).
      ll_half=$([ $style = 1 ] && echo 0.0155 || echo 0.0927)
      grid_half=$(awk -v u="$unit" 'BEGIN { print 0.005 * u }')
      dist_half=$(awk -v u="${units_meters[$dist]}" -v d="${units_decimals[$dist]}" 'BEGIN { print 0.5 * u / 10 ^ d }')
      az_half=$([ $style = 1 ] && echo 2.43e-9 || echo 1.46e-8)

      # Positions: geo2grid/grid2geo, wgs2grid/grid2wgs, wgs2working/working2wgs.
      tr ' ' '\n' <<<"$points" | tr ',' ' ' >"$scratch/points"
      for pair in geo2grid:grid2geo wgs2grid:grid2wgs wgs2working:working2wgs; do
        a=${pair%%:*}; b=${pair##*:}
        cp "$scratch/points" "$scratch/in"
        run text "$a" --text "${settings[@]}" || continue
        run plain "$a" -p 6 "${settings[@]}" || continue
        cp "$scratch/text" "$scratch/in"
        run back "$b" -p 6 "${settings[@]}" || continue
        run backtext "$b" --text "${settings[@]}" || continue
        cp "$scratch/backtext" "$scratch/in"
        run again "$a" -p 6 "${settings[@]}" || continue
        if [ "$a" = wgs2working ]; then
          compare ll "$(tol $ll_half)" "$scratch/back" "$scratch/points"
          compare ll "$(tol $ll_half $ll_half)" "$scratch/again" "$scratch/plain"
        else
          compare ll "$(tol $grid_half)" "$scratch/back" "$scratch/points"
          compare grid "$(tol $grid_half $ll_half)" "$scratch/again" "$scratch/plain"
        fi
      done

      # Geodesics between the points in turn: inverse/direct both ways. The start
      # point goes before the azimuth and distance text.
      awk 'NR > 1 { print prev, $0 } { prev = $0 }' "$scratch/points" >"$scratch/ends"
      [ -s "$scratch/ends" ] || continue
      awk '{ print $1, $2 }' "$scratch/ends" >"$scratch/starts"
      awk '{ print $3, $4 }' "$scratch/ends" >"$scratch/finish"
      cp "$scratch/ends" "$scratch/in"
      run text inverse --text "${settings[@]}" || continue
      run plain inverse -p 6 "${settings[@]}" || continue
      longest=$(awk 'BEGIN { m = 0 } $2 > m { m = $2 } END { print m }' "$scratch/plain")
      az_m=$(awk -v a="$az_half" -v d="$longest" 'BEGIN { print a * d }')
      # The references go through the same methods without text, so what the
      # methods themselves leave of a round trip is not counted.
      paste -d ' ' "$scratch/starts" "$scratch/plain" >"$scratch/in"
      run refback direct -p 6 "${settings[@]}" || continue
      paste -d ' ' "$scratch/starts" "$scratch/text" >"$scratch/in"
      run back direct -p 6 "${settings[@]}" || continue
      run backtext direct --text "${settings[@]}" || continue
      compare ll "$(tol $dist_half $az_m)" "$scratch/back" "$scratch/refback"
      paste -d ' ' "$scratch/starts" "$scratch/back" >"$scratch/in"
      run refagain inverse -p 6 "${settings[@]}" || continue
      paste -d ' ' "$scratch/starts" "$scratch/backtext" >"$scratch/in"
      run again inverse -p 6 "${settings[@]}" || continue
      compare geodesic "$(tol $ll_half)" "$scratch/again" "$scratch/refagain"
    done
  done
done <<<"$rows"

echo "$checks round-trip checks, $failures failed"
[ $failures = 0 ] && [ $checks -gt 0 ]
