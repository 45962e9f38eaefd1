#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# The main job: builds everything (installing the packages that are missing) and
# converts the sample survey points of data/survey/ with the gridwise tool: WGS 84
# positions of a few marks to the grids of four projects (a Transverse Mercator in
# US survey feet, a Lambert zone, a station/offset baseline, UTM on ED50 with a
# datum shift), printed as a table in the library's own text forms, then a
# geodesic between two marks. The build is quiet when it succeeds; when it fails,
# its output is shown.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "building (the first build takes a few minutes)..."
if ! "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1; then
  cat "$log" >&2
  echo "build failed" >&2
  exit 1
fi

gridwise="$root/build/gridwise"
data="$root/data/survey"
settings="$data/settings.ini"

# project section, points file, what the grid columns hold
projects=(
  "georgia-west atlanta Northing Easting"
  "california-5 los-angeles Northing Easting"
  "pier-baseline pier Station Offset"
  "ed50-utm31 barcelona Northing Easting"
)

echo
echo "Survey marks converted from WGS 84 to each project's grid with"
echo "  gridwise wgs2grid --text --settings data/survey/settings.ini --section SECTION"
for p in "${projects[@]}"; do
  read -r section points north east <<<"$p"
  description=$("$gridwise" describe --settings "$settings" --section "$section")
  echo
  echo "$(sed -n 1p <<<"$description") [$section], $(sed -n 7p <<<"$description" | sed 's/:/: /')"
  printf '  %-20s %-15s %-16s %-17s %s\n' "Mark" "Latitude" "Longitude" "$north" "$east"
  # Each output line holds the two grid values and the mark's name; the input
  # line beside it holds the latitude and longitude text.
  paste -d '|' <(grep -v '^#' "$data/$points.txt") \
               <("$gridwise" wgs2grid --text --settings "$settings" --section "$section" \
                     --input-file "$data/$points.txt" | grep -v '^#') |
    awk -F'|' '{
      n = split($1, a, " "); m = split($2, b, " ");
      printf "  %-20s %s %s %s  %s %s %s  %-17s %s\n", b[3], a[1], a[2], a[3], a[4], a[5], a[6], b[1], b[2]
    }'
done

echo
echo "Geodesic from Five Points to the airport control mark (NAD83, distance in"
echo "US survey feet, azimuth in degrees, minutes and seconds):"
echo "  echo 'N33 45 18.912 W084 23 24.108 N33 38 26.640 W084 25 40.200' |"
echo "    gridwise inverse --text --settings data/survey/settings.ini --section georgia-west"
echo -n "  "
echo 'N33 45 18.912 W084 23 24.108 N33 38 26.640 W084 25 40.200' |
  "$gridwise" inverse --text --settings "$settings" --section georgia-west

cat <<'EOF'

Next, try:
  echo '34 -117' | build/gridwise geo2grid          # UTM zone 11 on WGS 84, in metres
  build/gridwise grid2geo --help                     # every command has --help with an example
EOF
