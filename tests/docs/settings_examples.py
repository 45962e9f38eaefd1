#!/usr/bin/python3
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""The worked examples of docs/settings.md, run as a reader would run them.

Every ```ini block of the page is a section of one settings file (written as
settings.ini into a scratch folder, where the commands run). Each section that
sets GeodesyType must load: `gridwise describe` reads it, and the type code at
the start of the initialisation string it prints is the section's. Every
```console block holds a gridwise command and a peer's command (cs2cs or cct of
PROJ, or a GeographicLib tool) on the same input, each followed by the output the
page shows, and a comment line "... within N m" with the tolerance:

- the gridwise output must be the page's, character for character (on the
  one-point code path, GRIDWISE_SIMD=scalar, the same on every processor);
- the peer's output must agree with the page's within the tolerance (another
  PROJ version may differ in its last digits);
- the first numbers of the two outputs (as many as gridwise writes) must agree
  within the tolerance.

Every projection type has an example, and every section is used by one. The
entries of the projlist2.ini example (a ```text block of [PROJECTIONS]) end with
the initialisation string that `gridwise describe` prints for the section of the
same specific name.

    tests/docs/settings_examples.py GRIDWISE [PAGE]
    tests/docs/settings_examples.py GRIDWISE [PAGE] --show   (print what the commands give)
"""

import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent.parent
TYPES = {0, 1, 3, 4, 5, 6, 7}
PEERS = ("cs2cs", "cct", "GeoConvert", "GeodSolve", "TransverseMercatorProj")


def numbers(text):
    return [float(v) for v in re.findall(r"[-+]?\d+(?:\.\d*)?(?:[eE][-+]?\d+)?", text)]


def init_line(out):
    """The initialisation string describe prints: the line before its settings section."""
    lines = out.splitlines() if out else []
    for i in range(len(lines) - 1, 1, -1):
        if lines[i].startswith("[") and lines[i - 1] == "":
            return lines[i - 2]
    return lines[-1] if lines else ""


def run(command, tool, folder):
    shell = re.sub(r"(^|\|\s*)gridwise\b", lambda m: m.group(1) + tool, command)
    env = dict(os.environ, GRIDWISE_SIMD="scalar", LC_ALL="C", GRIDWISE_SETTINGS_DIR=str(folder / "config"))
    done = subprocess.run(["bash", "-c", "set -o pipefail; " + shell], cwd=folder, env=env, capture_output=True,
                          text=True, timeout=120)
    return done.returncode, done.stdout.rstrip("\n"), done.stderr


def examples(page):
    """(commands with their expected output, tolerance) per console block."""
    found = []
    for block in re.findall(r"```console\n(.*?)```", page, re.S):
        commands, tolerance = [], None
        for line in block.splitlines():
            if line.startswith("$ "):
                commands.append([line[2:], []])
            elif line.startswith("#"):
                m = re.search(r"within ([0-9.]+) m\b", line)
                if m:
                    tolerance = float(m.group(1))
            elif commands:
                commands[-1][1].append(line)
        found.append(([(c, "\n".join(out)) for c, out in commands], tolerance))
    return found


def main():
    args = [a for a in sys.argv[1:] if a != "--show"]
    show = "--show" in sys.argv[1:]
    if not args:
        sys.exit(__doc__)
    tool = str(Path(args[0]).resolve())
    page_path = Path(args[1]) if len(args) > 1 else ROOT / "docs" / "settings.md"
    page = page_path.read_text(encoding="utf-8")
    failures = []

    ini = re.findall(r"```ini\n(.*?)```", page, re.S)
    sections = {}
    for block in ini:
        for name, body in re.findall(r"^\[([^\]]+)\]\n(.*?)(?=^\[|\Z)", block, re.S | re.M):
            if name.lower() in (s.lower() for s in sections):
                failures.append("section [%s] is on the page twice" % name)
            sections[name] = body
    with tempfile.TemporaryDirectory(prefix="gridwise-settings-doc-") as scratch:
        folder = Path(scratch)
        (folder / "settings.ini").write_text("\n".join(ini), encoding="utf-8")

        types = set()
        for name, body in sections.items():
            m = re.search(r"^GeodesyType=(\d+)$", body, re.M)
            if not m:
                continue
            types.add(int(m.group(1)))
            code, out, err = run("gridwise describe --settings settings.ini --section '%s'" % name, tool, folder)
            last = init_line(out)
            if code != 0 or not last.startswith(m.group(1) + ","):
                failures.append("describe [%s]: exit %d, initialisation string %r, %s" % (name, code, last, err.strip()))
        if not TYPES <= types:
            failures.append("no example of the types %s" % sorted(TYPES - types))

        used = set()
        for commands, tolerance in examples(page):
            ours = [(c, e) for c, e in commands if re.search(r"(^|\|\s*)gridwise\b", c)]
            peers = [(c, e) for c, e in commands if any(re.search(r"(^|\|\s*)%s\b" % p, c) for p in PEERS)]
            if not ours or not peers or tolerance is None:
                failures.append("example without a gridwise command, a peer or a tolerance: %s" % commands)
                continue
            results = {}
            for command, expected in commands:
                code, out, err = run(command, tool, folder)
                results[command] = out
                if show:
                    print("$ %s\n%s" % (command, out))
                if code != 0:
                    failures.append("%s: exit status %d: %s" % (command, code, err.strip()))
                elif (command, expected) in ours:
                    used.update(re.findall(r"--section\s+'?([^'\s]+)", command))
                    if out != expected:
                        failures.append("%s:\n  the page shows %r\n  the tool writes %r" % (command, expected, out))
                else:
                    got, want = numbers(out), numbers(expected)
                    if len(got) != len(want) or any(abs(a - b) > tolerance for a, b in zip(got, want)):
                        failures.append("%s:\n  the page shows %r\n  the peer writes %r" % (command, expected, out))
            a, b = numbers(results[ours[0][0]]), numbers(results[peers[0][0]])
            if len(b) < len(a) or any(abs(x - y) > tolerance for x, y in zip(a, b)):
                failures.append("%s and %s differ by more than %g m: %s / %s" % (
                    ours[0][0], peers[0][0], tolerance, a, b[:len(a)]))
        for block in re.findall(r"```text\n(\[PROJECTIONS\]\n.*?)```", page, re.S):
            entries = re.findall(r"^Proj\d+=(.*)$", block, re.M)
            count = re.search(r"^NumberProjections=(\d+)$", block, re.M)
            if not entries or not count or int(count.group(1)) != len(entries):
                failures.append("the projection list example has %d entries and NumberProjections %s" % (
                    len(entries), count.group(1) if count else "missing"))
            for entry in entries:
                fields = entry.split(",")
                specific, init = fields[1], ",".join(fields[13:])
                name = next((n for n, body in sections.items()
                             if re.search(r"^specific=%s$" % re.escape(specific), body, re.M)), None)
                if name is None:
                    failures.append("projection list entry %r: no section with that specific name" % specific)
                    continue
                _, out, _ = run("gridwise describe --settings settings.ini --section '%s'" % name, tool, folder)
                if init_line(out) != init:
                    failures.append("projection list entry %r: %r, describe gives %r" % (
                        specific, init, init_line(out)))

        unused = {n for n, body in sections.items() if "GeodesyType=" in body} - used
        if unused:
            failures.append("sections without a conversion: %s" % sorted(unused))

    for f in failures:
        print("FAIL " + f)
    print("%d sections, %d examples, %d failures" % (len(sections), len(examples(page)), len(failures)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
