#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# Command-line speed of the gridwise tool beside PROJ and GeographicLib, on the same
# generated files in one run.
#
#     bench/cli-speed.sh [BUILD_DIR]          (default: build-release)
#
# Environment: RUNS (runs per program, default 3), POINTS (lines per file, default
# 1000000).
#
# What it does:
#   - installs what is missing (Debian packages, as root or through sudo): hyperfine,
#     proj-bin (cs2cs, geod), geographiclib-tools (TransverseMercatorProj, GeodSolve);
#     python3 when there is none;
#   - configures BUILD_DIR when it is new (Release, Ninja) and builds the targets
#     gridwise-cli (the executable BUILD_DIR/gridwise) and cli_floor
#     (BUILD_DIR/bench/cli_floor). A build folder configured without the benchmarks
#     (GRIDWISE_BENCH=OFF) is left as it is; cli_floor is then compiled on its own
#     with the same compiler and -O3 into the scratch folder;
#   - writes, into a scratch folder removed at exit, POINTS lines of each input with
#     a fixed seed: "lat lon" in decimal degrees with 8 decimals (latitudes 30..45,
#     longitudes -120..-114, UTM zone 11), and "lat1 lon1 lat2 lon2" pairs, once
#     anywhere on the globe (uniform over the sphere) and once 0..7 degrees apart;
#   - times each program with hyperfine (RUNS runs, the input already in the page
#     cache), pinned to core 0 with taskset except the -j 2 runs of our tool:
#       geo2grid (UTM zone 11 on WGS 84):
#         gridwise geo2grid --input-file IN --output-file OUT --quiet   (-j 1 and -j 2)
#         cs2cs -f %.3f EPSG:4326 EPSG:32611                 (lat lon in, E N z out)
#         TransverseMercatorProj -s -l -117 -k 0.9996 -p 3   (Krueger series)
#         TransverseMercatorProj -l -117 -k 0.9996 -p 3      (its default, the exact mapping)
#         cli_floor 2 IN OUT                                 (parse and print only)
#       inverse (WGS 84), on each pair file:
#         gridwise inverse --input-file IN --output-file OUT --quiet    (-j 1 and -j 2)
#         geod -I +ellps=WGS84 -f %.8f -F %.3f               (az12 az21 distance)
#         GeodSolve -i -p 3                                  (azi1 azi2 s12)
#         cli_floor 4 IN OUT 8,3
#     Every program reads the input file and writes an output file;
#   - checks the first 1000 lines of our output against cs2cs (northing and easting
#     within 1 mm) and GeodSolve (distance within 1 mm, azimuth within 1e-6 degrees,
#     or half a unit in the last place when ours prints fewer decimals), checks that
#     -j 2 writes the same file as -j 1, and cross-checks the peers against each other;
#   - prints a table per job: seconds (best and median of the runs), points per
#     second (from the best run) and the ratios cs2cs/ours, geod/ours,
#     GeographicLib/ours, ours/floor and the -j 2 speed-up over -j 1 on one core.
#
# The machine may be shared: the best run is the least disturbed one, the median
# shows the spread. Until the gridwise executable exists, our rows read "gridwise not
# built" and the peers and the floor are still timed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build-release}
case $build in /*) ;; *) build=$root/$build ;; esac
runs=${RUNS:-3}
points=${POINTS:-1000000}

say() { printf '%s\n' "$*" >&2; }

# --- what is missing ----------------------------------------------------------------

as_root=()
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1; then as_root=(sudo); fi
can_install() { [ "$(id -u)" -eq 0 ] || [ ${#as_root[@]} -gt 0 ]; }

missing=()
need() { command -v "$1" >/dev/null 2>&1 || missing+=("$2"); }
need hyperfine hyperfine
need cs2cs proj-bin
need TransverseMercatorProj geographiclib-tools
need python3 python3
need taskset util-linux
if [ ${#missing[@]} -gt 0 ]; then
  if can_install; then
    say "installing: ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" >&2 ||
      { "${as_root[@]}" apt-get update >&2 &&
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" >&2; } ||
      say "could not install ${missing[*]}; going on without them"
  else
    say "missing: ${missing[*]} (run as root, or apt-get install -y ${missing[*]}); going on without them"
  fi
fi
command -v hyperfine >/dev/null 2>&1 || { say "hyperfine is needed"; exit 1; }
command -v python3 >/dev/null 2>&1 || { say "python3 is needed"; exit 1; }
pin=()
command -v taskset >/dev/null 2>&1 && pin=(taskset -c 0)

# --- build --------------------------------------------------------------------------

if [ ! -f "$build/CMakeCache.txt" ]; then
  "$root/scripts/deps.sh" >&2
  say "configuring $build"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
fi
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" | head -n1; }
build_type=$(cache_value CMAKE_BUILD_TYPE)
[ "$build_type" = Release ] || say "note: $build is a '${build_type:-default}' build, not Release"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/gridwise-cli-speed.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

ours_note=""
if cmake --build "$build" -j2 --target gridwise-cli >"$scratch/build-cli.log" 2>&1 && [ -x "$build/gridwise" ]; then
  ours=$build/gridwise
else
  ours=""
  if grep -q "unknown target" "$scratch/build-cli.log"; then
    ours_note="gridwise not built: no gridwise-cli target in this checkout"
  else
    ours_note="gridwise not built: its build failed (log above)"
    tail -n 20 "$scratch/build-cli.log" >&2
  fi
fi

if cmake --build "$build" -j2 --target cli_floor >"$scratch/build-floor.log" 2>&1 && [ -x "$build/bench/cli_floor" ]; then
  floor=$build/bench/cli_floor
else
  # A folder configured without the benchmarks has no cli_floor target (and the
  # target links the library, so a library that does not build stops it too); the
  # program itself depends on nothing of ours, so compile it here rather than
  # reconfigure the folder.
  if grep -q "unknown target" "$scratch/build-floor.log"; then
    why="$build has no cli_floor target"
  else
    why="the cli_floor target did not build in $build"
  fi
  cxx=$(cache_value CMAKE_CXX_COMPILER)
  floor=$scratch/cli_floor
  "${cxx:-c++}" -std=c++20 -O3 -DNDEBUG -o "$floor" "$root/bench/cli_floor.cpp"
  say "note: $why; compiled bench/cli_floor.cpp with -O3 on its own"
fi

# --- inputs -------------------------------------------------------------------------

say "writing $points lines per input file"
python3 - "$scratch" "$points" <<'EOF'
import math, random, sys
folder, n = sys.argv[1], int(sys.argv[2])
u = random.Random(20261210).random

def write(name, lines):
    with open(folder + '/' + name, 'w') as f:
        f.write('\n'.join(lines))
        f.write('\n')

# UTM zone 11: within 3 degrees of the central meridian -117.
write('points.txt', ['%.8f %.8f' % (30 + 15 * u(), -120 + 6 * u()) for _ in range(n)])

# Anywhere, uniform over the sphere.
def lat():
    return math.degrees(math.asin(2 * u() - 1))
write('pairs-global.txt', ['%.8f %.8f %.8f %.8f' % (lat(), 360 * u() - 180, lat(), 360 * u() - 180)
                           for _ in range(n)])

# Up to 5 degrees apart in latitude and in longitude.
def near():
    lat1, lon1 = 120 * u() - 60, 360 * u() - 180
    lon2 = (lon1 + 10 * u() - 5 + 180) % 360 - 180
    return '%.8f %.8f %.8f %.8f' % (lat1, lon1, lat1 + 10 * u() - 5, lon2)
write('pairs-near.txt', [near() for _ in range(n)])
EOF

# --- timing -------------------------------------------------------------------------

results=$scratch/results.tsv # job, label, best, median ("-" and a note when not run)
: >"$results"

# time_it JOB LABEL PINNED COMMAND
time_it() {
  local job=$1 label=$2 pinned=$3 cmd=$4 json=$scratch/run.json
  local runner=()
  [ "$pinned" = yes ] && runner=("${pin[@]}")
  printf '  %-44s' "$label" >&2
  if "${runner[@]}" hyperfine --runs "$runs" --style none --export-json "$json" "$cmd" >"$scratch/hyperfine.log" 2>&1; then
    python3 - "$json" "$job" "$label" >>"$results" <<'EOF'
import json, sys
r = json.load(open(sys.argv[1]))['results'][0]
print('%s\t%s\t%.4f\t%.4f' % (sys.argv[2], sys.argv[3], min(r['times']), r['median']))
EOF
    tail -n1 "$results" | awk -F'\t' '{ printf "best %.3f s, median %.3f s\n", $3, $4 }' >&2
  else
    printf '%s\t%s\t-\tfailed\n' "$job" "$label" >>"$results"
    say "failed:"
    sed 's/^/    /' "$scratch/hyperfine.log" >&2
  fi
}

not_run() { printf '%s\t%s\t-\t%s\n' "$1" "$2" "$3" >>"$results"; }

have() { command -v "$1" >/dev/null 2>&1; }

s=$scratch
say "timing, $runs runs each, one core (core 0) unless -j 2:"

say "geo2grid, $points points"
if [ -n "$ours" ]; then
  time_it geo2grid "gridwise geo2grid" yes "$ours geo2grid --input-file $s/points.txt --output-file $s/ours-tm.txt --quiet"
  time_it geo2grid "gridwise geo2grid -j 2" no "$ours geo2grid -j 2 --input-file $s/points.txt --output-file $s/ours-tm-j2.txt --quiet"
else
  not_run geo2grid "gridwise geo2grid" "not built"
fi
if have cs2cs; then
  time_it geo2grid "cs2cs" yes "cs2cs -f %.3f EPSG:4326 EPSG:32611 < $s/points.txt > $s/cs2cs.txt"
else
  not_run geo2grid "cs2cs" "not installed"
fi
if have TransverseMercatorProj; then
  time_it geo2grid "TransverseMercatorProj -s" yes \
    "TransverseMercatorProj -s -l -117 -k 0.9996 -p 3 --input-file $s/points.txt --output-file $s/tmproj.txt"
  time_it geo2grid "TransverseMercatorProj (exact)" yes \
    "TransverseMercatorProj -l -117 -k 0.9996 -p 3 --input-file $s/points.txt --output-file $s/tmproj-exact.txt"
else
  not_run geo2grid "TransverseMercatorProj -s" "not installed"
fi
time_it geo2grid "cli_floor 2" yes "$floor 2 $s/points.txt $s/floor-tm.txt"

for set in global near; do
  job=inverse-$set
  say "inverse, $points pairs ($set)"
  if [ -n "$ours" ]; then
    time_it $job "gridwise inverse" yes "$ours inverse --input-file $s/pairs-$set.txt --output-file $s/ours-$set.txt --quiet"
    time_it $job "gridwise inverse -j 2" no "$ours inverse -j 2 --input-file $s/pairs-$set.txt --output-file $s/ours-$set-j2.txt --quiet"
  else
    not_run $job "gridwise inverse" "not built"
  fi
  if have geod; then
    time_it $job "geod -I" yes "geod -I +ellps=WGS84 -f %.8f -F %.3f < $s/pairs-$set.txt > $s/geod-$set.txt"
  else
    not_run $job "geod -I" "not installed"
  fi
  if have GeodSolve; then
    time_it $job "GeodSolve -i" yes "GeodSolve -i -p 3 --input-file $s/pairs-$set.txt --output-file $s/geodsolve-$set.txt"
  else
    not_run $job "GeodSolve -i" "not installed"
  fi
  time_it $job "cli_floor 4" yes "$floor 4 $s/pairs-$set.txt $s/floor-$set.txt 8,3"
done

# --- agreement ----------------------------------------------------------------------

checks=$scratch/checks.txt
: >"$checks"
check() { printf '  %-44s %s\n' "$1" "$2" >>"$checks"; }

# compare_grid A B COLS: northing and easting of the first 1000 lines of A and B, each
# given as "n e" column numbers (COLS = "nA eA nB eB"); tolerance 1 mm. Prints
# "agree" or the worst difference.
compare_grid() {
  paste -d '|' <(head -n 1000 "$1") <(head -n 1000 "$2") | awk -F'|' -v cols="$3" -v off="$4" '
    BEGIN { split(cols, c, " ") }
    {
      na = split($1, a, /[ \t,]+/); nb = split($2, b, /[ \t,]+/)
      if (a[1] == "") { for (i = 1; i < na; i++) a[i] = a[i + 1]; na-- }
      if (b[1] == "") { for (i = 1; i < nb; i++) b[i] = b[i + 1]; nb-- }
      if (na < 2 || nb < 2 || a[c[1]] !~ /^-?[0-9]/ || b[c[3]] !~ /^-?[0-9]/) { bad++; if (!badline) badline = NR; next }
      dn = a[c[1]] - b[c[3]]; de = a[c[2]] - (b[c[4]] + off)
      if (dn < 0) dn = -dn; if (de < 0) de = -de
      if (dn > worst) { worst = dn; where = NR " (northing)" }
      if (de > worst) { worst = de; where = NR " (easting)" }
      n++
    }
    END {
      if (n == 0) { print "no lines to compare"; exit }
      msg = (worst <= 0.0010001) ? "agree within 1 mm (" n " lines)" : sprintf("worst difference %.4f m on line %s", worst, where)
      if (bad) msg = msg sprintf("; %d lines not numbers (first: line %d)", bad, badline)
      print msg
    }'
}

# compare_inverse A B "azA distA azB distB": azimuths modulo 360 within 1e-6 degrees
# (or half a unit in A's last decimal when A prints fewer), distances within 1 mm.
compare_inverse() {
  paste -d '|' <(head -n 1000 "$1") <(head -n 1000 "$2") | awk -F'|' -v cols="$3" '
    function decimals(s) { return index(s, ".") ? length(s) - index(s, ".") : 0 }
    BEGIN { split(cols, c, " ") }
    {
      na = split($1, a, /[ \t,]+/); nb = split($2, b, /[ \t,]+/)
      if (a[1] == "") { for (i = 1; i < na; i++) a[i] = a[i + 1]; na-- }
      if (b[1] == "") { for (i = 1; i < nb; i++) b[i] = b[i + 1]; nb-- }
      if (na < 2 || nb < 3 || a[c[1]] !~ /^-?[0-9]/ || b[c[3]] !~ /^-?[0-9]/) { bad++; if (!badline) badline = NR; next }
      tol = 1e-6; d = decimals(a[c[1]]); if (0.5 * 10 ^ -d > tol) tol = 0.5 * 10 ^ -d
      if (tol > aztol) aztol = tol
      daz = a[c[1]] - b[c[3]]; if (daz < 0) daz = -daz; daz = daz - 360 * int(daz / 360); if (daz > 180) daz = 360 - daz
      ds = a[c[2]] - b[c[4]]; if (ds < 0) ds = -ds
      if (daz > tol * 1.0001 && daz > worstaz) { worstaz = daz; whereaz = NR }
      if (ds > 0.0010001 && ds > worstds) { worstds = ds; whereds = NR }
      n++
    }
    END {
      if (n == 0) { print "no lines to compare"; exit }
      if (!worstaz && !worstds) msg = sprintf("agree within 1 mm and %g deg (%d lines)", aztol, n)
      else {
        msg = ""
        if (worstaz) msg = sprintf("worst azimuth difference %.3g deg on line %d", worstaz, whereaz)
        if (worstds) msg = msg (msg ? "; " : "") sprintf("worst distance difference %.4f m on line %d", worstds, whereds)
      }
      if (bad) msg = msg sprintf("; %d lines not numbers (first: line %d)", bad, badline)
      print msg
    }'
}

same_file() {
  if [ -f "$1" ] && [ -f "$2" ]; then
    if cmp -s "$1" "$2"; then echo "identical"; else echo "DIFFERENT: $(cmp "$1" "$2" 2>&1 | head -n1)"; fi
  else
    echo "not run"
  fi
}

both() { [ -f "$1" ] && [ -f "$2" ]; }
line_count() {
  if [ -f "$1" ]; then
    local n
    n=$(wc -l <"$1")
    if [ "$n" -eq "$points" ]; then echo "$n lines, one per input line"; else echo "WRONG: $n lines for $points input lines"; fi
  else
    echo "not run"
  fi
}
if [ -n "$ours" ]; then
  if both "$s/ours-tm.txt" "$s/cs2cs.txt"; then
    check "gridwise geo2grid vs cs2cs" "$(compare_grid "$s/ours-tm.txt" "$s/cs2cs.txt" "1 2 2 1" 0)"
  fi
  check "gridwise geo2grid output" "$(line_count "$s/ours-tm.txt")"
  check "gridwise geo2grid -j 2 vs -j 1" "$(same_file "$s/ours-tm.txt" "$s/ours-tm-j2.txt")"
  for set in global near; do
    if both "$s/ours-$set.txt" "$s/geodsolve-$set.txt"; then
      check "gridwise inverse vs GeodSolve ($set)" \
        "$(compare_inverse "$s/ours-$set.txt" "$s/geodsolve-$set.txt" "1 2 1 3")"
    fi
    check "gridwise inverse output ($set)" "$(line_count "$s/ours-$set.txt")"
    check "gridwise inverse -j 2 vs -j 1 ($set)" "$(same_file "$s/ours-$set.txt" "$s/ours-$set-j2.txt")"
  done
fi
# The peers against each other: a wrong flag shows here, not as a fast time.
if both "$s/cs2cs.txt" "$s/tmproj.txt"; then
  check "cs2cs vs TransverseMercatorProj -s" "$(compare_grid "$s/tmproj.txt" "$s/cs2cs.txt" "2 1 2 1" -500000)"
fi
for set in global near; do
  if both "$s/geod-$set.txt" "$s/geodsolve-$set.txt"; then
    check "geod -I vs GeodSolve -i ($set)" "$(compare_inverse "$s/geod-$set.txt" "$s/geodsolve-$set.txt" "1 3 1 3")"
  fi
done

# --- table --------------------------------------------------------------------------

echo
echo "Command-line speed, $points lines per file, $runs runs each (best / median seconds)"
echo "build: $build (${build_type:-no build type}); $(nproc) cores; $(uname -m); load average now $(cut -d' ' -f1-3 /proc/loadavg)"
if [ -n "$ours_note" ]; then echo "$ours_note"; fi
awk -F'\t' -v n="$points" '
  function ratio(a, b) { return (a in best && b in best && best[b] > 0) ? sprintf("%.2f", best[a] / best[b]) : "-" }
  {
    job = $1; label = $2
    if (!(job in seen)) { seen[job] = 1; jobs[++njobs] = job }
    row[job, ++rows[job]] = label
    if ($3 == "-") note[job, label] = $4
    else { best[job, label] = $3; median[job, label] = $4 }
  }
  END {
    for (j = 1; j <= njobs; j++) {
      job = jobs[j]
      printf "\n%s\n", job
      printf "  %-32s %9s %9s %14s\n", "program", "best s", "median s", "points/s"
      for (r = 1; r <= rows[job]; r++) {
        label = row[job, r]
        if ((job, label) in best)
          printf "  %-32s %9.3f %9.3f %14.0f\n", label, best[job, label], median[job, label], n / best[job, label]
        else
          printf "  %-32s %s\n", label, note[job, label]
      }
      if (job == "geo2grid") {
        ours = "gridwise geo2grid"; floor = "cli_floor 2"
        printf "  cs2cs/ours %s   GeographicLib/ours %s (exact %s)   ours/floor %s   -j 2 speed-up %s\n",
          ratio(job SUBSEP "cs2cs", job SUBSEP ours),
          ratio(job SUBSEP "TransverseMercatorProj -s", job SUBSEP ours),
          ratio(job SUBSEP "TransverseMercatorProj (exact)", job SUBSEP ours),
          ratio(job SUBSEP ours, job SUBSEP floor),
          ratio(job SUBSEP ours, job SUBSEP ours " -j 2")
      } else {
        ours = "gridwise inverse"; floor = "cli_floor 4"
        printf "  geod/ours %s   GeographicLib/ours %s   ours/floor %s   -j 2 speed-up %s\n",
          ratio(job SUBSEP "geod -I", job SUBSEP ours),
          ratio(job SUBSEP "GeodSolve -i", job SUBSEP ours),
          ratio(job SUBSEP ours, job SUBSEP floor),
          ratio(job SUBSEP ours, job SUBSEP ours " -j 2")
      }
    }
  }' "$results"
echo
echo "agreement (first 1000 lines):"
cat "$checks"
