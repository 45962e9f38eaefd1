#!/usr/bin/env bash
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
# tests/cli/golden.sh GRIDWISE CASE-FILE...
#
# Runs the gridwise tool on golden cases and compares what it writes with what the
# case expects, byte for byte. A case file holds sections, each opened by a line
# "--- NAME":
#   --- args      the arguments, one line (word-split; files are named relative
#                 to the repository's root)
#   --- input     standard input (optional; the text up to the next section)
#   --- output    the expected standard output
#   --- stderr    the expected standard error (optional: unchecked when absent)
#   --- status    the expected exit status (optional: 0 when absent)
# Several cases may share a file: a line "=== NAME" starts the next case.
# The tool runs in the repository's root with LC_ALL=C, and with an empty
# settings folder, so nothing of the machine's own settings leaks in.
set -uo pipefail
tool=$1; shift
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export GRIDWISE_SETTINGS_DIR="$scratch/settings"
failures=0
cases=0

run_case() {
  local name=$1 dir=$2
  cases=$((cases + 1))
  local args
  args=$(cat "$dir/args")
  local status_expected=0
  [ -f "$dir/status" ] && status_expected=$(tr -d ' \n' <"$dir/status")
  [ -f "$dir/input" ] || : >"$dir/input"
  # shellcheck disable=SC2086
  (cd "$root" && LC_ALL=C "$tool" $args <"$dir/input" >"$dir/got-out" 2>"$dir/got-err")
  local status=$?
  local ok=1
  if ! cmp -s "$dir/output" "$dir/got-out"; then
    echo "FAIL $name: standard output differs (expected, got):"
    diff "$dir/output" "$dir/got-out" | head -40
    ok=0
  fi
  if [ -f "$dir/stderr" ] && ! cmp -s "$dir/stderr" "$dir/got-err"; then
    echo "FAIL $name: standard error differs (expected, got):"
    diff "$dir/stderr" "$dir/got-err" | head -20
    ok=0
  fi
  if [ "$status" != "$status_expected" ]; then
    echo "FAIL $name: exit status $status, expected $status_expected"
    ok=0
  fi
  [ $ok = 1 ] || failures=$((failures + 1))
}

for file in "$@"; do
  n=0
  # Split the file into one folder per case and one file per section.
  awk -v out="$scratch/case" '
    /^=== / { n++; name[n] = substr($0, 5); section = ""; next }
    /^--- / { section = substr($0, 5); if (n == 0) n = 1; f = out "-" n "/" section;
              system("mkdir -p " out "-" n); printf "" > f; next }
    section != "" { print > (out "-" n "/" section) }
    END { for (i = 1; i <= n; i++) print i "\t" (name[i] == "" ? "case " i : name[i]) > (out ".names") }
  ' "$file"
  while IFS=$'\t' read -r i name; do
    run_case "$(basename "$file"): $name" "$scratch/case-$i"
  done <"$scratch/case.names"
  rm -rf "$scratch"/case-* "$scratch/case.names"
done
echo "$cases golden cases, $failures failed"
[ $failures = 0 ]
