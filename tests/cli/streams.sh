#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# tests/cli/streams.sh GRIDWISE
#
# The gridwise tool on inputs that golden files cannot hold: many lines through
# several threads (the output must equal the one-thread output, line for line),
# hostile bytes (garbage, NUL bytes, lines far beyond the line limit, a last line
# without its line break), files instead of the standard streams, and another
# process locale. Every run must end within its time limit with one output line
# per input line and an exit status of 0 or 1, never a crash.
set -uo pipefail
tool=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export GRIDWISE_SETTINGS_DIR="$scratch/settings"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Input lines of a file (a last line without its line break counts).
lines_of() { awk 'END { print NR }' "$1"; }

# run NAME EXPECTED-STATUS ARGS... (standard input from $in): checks the status,
# that no signal ended the tool and that it wrote one line per input line.
run() {
  local name=$1 expected=$2
  shift 2
  timeout 120 "$tool" "$@" <"$in" >"$scratch/out" 2>"$scratch/err"
  local status=$?
  if [ "$status" != "$expected" ]; then
    fail "$name: exit status $status, expected $expected"
    head -5 "$scratch/err"
  fi
  local want got
  want=$(lines_of "$in")
  got=$(lines_of "$scratch/out")
  [ "$want" = "$got" ] || fail "$name: $got output lines for $want input lines"
}

# Many points, some bad, through one and through three threads.
in=$scratch/points.txt
awk 'BEGIN { srand(11); for (i = 0; i < 30000; i++) {
  if (i % 997 == 0) print "# block " i;
  else if (i % 1009 == 0) print "bad line " i;
  else printf "%.9f %.9f %.9f %.9f p%d\n", 30 + 15 * rand(), -120 + 6 * rand(), 30 + 15 * rand(), -120 + 6 * rand(), i } }' >"$in"
for command in geo2grid inverse; do
  run "$command -j 1" 1 "$command" -j 1
  cp "$scratch/out" "$scratch/one"
  run "$command -j 3" 1 "$command" -j 3
  cmp -s "$scratch/one" "$scratch/out" || fail "$command: three threads wrote other lines than one"
done
# The same through --input-file and --output-file.
"$tool" inverse --input-file "$in" --output-file "$scratch/file-out" --quiet
cmp -s "$scratch/one" "$scratch/file-out" || fail "inverse: --input-file/--output-file differ from the standard streams"

# The input file named as the output file is refused before anything is written.
cp "$in" "$scratch/same.txt"
"$tool" geo2grid --input-file "$scratch/same.txt" --output-file "$scratch/same.txt" 2>/dev/null
status=$?
[ "$status" = 2 ] || fail "the input file as the output file: exit status $status, expected 2"
cmp -s "$in" "$scratch/same.txt" || fail "the input file as the output file: the input was changed"

# A settings file that is a FIFO is refused at once, not waited on.
mkfifo "$scratch/settings.fifo"
timeout 20 "$tool" geo2grid --settings "$scratch/settings.fifo" --section geodesy </dev/null 2>/dev/null
status=$?
[ "$status" = 2 ] || fail "a FIFO as the settings file: exit status $status, expected 2"

# Another process locale changes nothing.
for locale in de_DE.UTF-8 fr_FR.UTF-8 C.UTF-8; do
  LC_ALL=$locale "$tool" inverse <"$in" >"$scratch/locale-out" 2>/dev/null
  cmp -s "$scratch/one" "$scratch/locale-out" || fail "inverse: LC_ALL=$locale changes the output"
done

# Garbage: random bytes, NUL bytes included, cut into lines at random.
in=$scratch/garbage.bin
RANDOM=42
for ((i = 0; i < 20000; i++)); do printf "\\x$(printf %02x $((RANDOM % 256)))"; done >"$in"
run "random bytes" 1 geo2grid
run "random bytes, text forms" 1 grid2geo --text -j 2

# NUL bytes inside an otherwise good line, and a good line after it.
in=$scratch/nul.txt
printf '34 -117 a\0b\n34 -117\n' >"$in"
run "NUL byte" 1 geo2grid
grep -q '^ERROR: ' "$scratch/out" || fail "NUL byte: no ERROR line"
[ "$(sed -n 2p "$scratch/out")" = "3762155.972 500000.000" ] || fail "NUL byte: the good line after it was not converted"

# Lines beyond the limit (70 000 bytes and 1 MB) between good lines; a last line
# without its line break.
in=$scratch/long.txt
{
  echo "34 -117 first"
  head -c 70000 /dev/zero | tr '\0' 'x'
  echo
  printf '34 -117 '
  head -c 1048576 /dev/zero | tr '\0' '7'
  echo
  printf '34 -117 last, without a line break'
} >"$in"
run "long lines" 1 geo2grid
[ "$(sed -n 2p "$scratch/out")" = "ERROR: line longer than 65536 bytes" ] || fail "long lines: no ERROR for the 70 000-byte line"
[ "$(sed -n 3p "$scratch/out")" = "ERROR: line longer than 65536 bytes" ] || fail "long lines: no ERROR for the 1 MB line"
[ "$(sed -n 4p "$scratch/out")" = "3762155.972 500000.000 last, without a line break" ] ||
  fail "long lines: the last line without a line break was lost"

# Only line breaks and carriage returns.
in=$scratch/breaks.txt
printf '\r\n\r\n\n\r\r\n' >"$in"
run "line breaks only" 1 geo2grid

echo "$failures failed"
[ $failures = 0 ]
