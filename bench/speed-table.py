#!/usr/bin/python3
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Every speed goal of the library in one table, measured in one run.

    /usr/bin/python3 bench/speed-table.py [--build build] [--release build-release]
                                          [--points N] [--quick]

Runs, one after the other on this machine:
  - bench/bench_batch (10 M points per conversion, CPU time, ours / peer) for the
    polar stereographic reverse and the geodesic inverse and direct, with its
    count of lines the direct kernel hands to the one-point function, and its two
    threads on the halves of one array against one thread;
  - bench/bench_tm and bench/bench_projections for the one-point reverse
    conversions a host calls per point (Transverse Mercator against PROJ's
    tmerc +approx, Lambert against lcc, polar stereographic against stere);
  - bench/cli-speed.sh for the tool on 1 M lines of geo2grid and inverse against
    the read/write floor, one thread and -j 2;
  - bench/python-speed.py for two Python threads against one.
It then prints one line per goal: what is measured, the goal, the figure and
whether it is met, with the load average before and after the run (the figures
mean most on an idle machine). --quick runs fewer points and repetitions (for a
look, not for a note). Pieces whose programs are missing are reported as not run.
"""

import argparse
import os
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[1]


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def run(cmd, env=None, timeout=3600):
    """The standard output of cmd (and its standard error appended), or None."""
    try:
        r = subprocess.run(cmd, capture_output=True, text=True, timeout=timeout,
                           env=dict(os.environ, **(env or {})))
    except (OSError, subprocess.TimeoutExpired) as e:
        print(f"  {cmd[0]}: {e}", file=sys.stderr)
        return None
    if r.returncode != 0:
        print(f"  {' '.join(map(str, cmd))}: exit {r.returncode}\n{r.stderr[-2000:]}", file=sys.stderr)
        return None
    return r.stdout + "\n" + r.stderr


def ratios(text):
    """The ratio table of a benchmark program: {(ours, peer): ratio}."""
    table = {}
    if text is None:
        return table
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0].startswith(("BM_", "Ours_")):
            try:
                table[(parts[0], parts[1])] = float(parts[2])
            except ValueError:
                pass
    return table


def find(table, ours, peer):
    for (a, b), v in table.items():
        if a.startswith(ours) and b.startswith(peer):
            return v
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default="build", help="build folder with the benchmarks (default build)")
    ap.add_argument("--release", default="build-release", help="build folder for the tool (default build-release)")
    ap.add_argument("--points", type=int, default=1000000, help="lines of the tool's inputs (default 1000000)")
    ap.add_argument("--quick", action="store_true", help="fewer repetitions, fewer points")
    args = ap.parse_args()
    build = (ROOT / args.build).resolve()
    release = (ROOT / args.release).resolve()
    before = load()
    print(f"load average before: {before}", file=sys.stderr)

    targets = ["bench_batch", "bench_tm", "bench_projections", "gridwise-python"]
    subprocess.run(["cmake", "--build", str(build), "-j2", "--target", *targets], check=False,
                   stdout=subprocess.DEVNULL)
    reps = ["--benchmark_repetitions=1"] if args.quick else ["--benchmark_repetitions=3",
                                                            "--benchmark_report_aggregates_only=true"]
    rows = []

    # The batch kernels, 10 M points each.
    batch = run([str(build / "bench" / "bench_batch"),
                 "--benchmark_filter=polar_inv|geodesic_inverse|geodesic_direct|tm_inv"])
    b = ratios(batch)
    rows.append(("batch polar stereographic reverse / PROJ stere", "<= 0.30", find(b, "Ours_polar_inv", "PROJ_polar_inv")))
    rows.append(("batch geodesic inverse / GeographicLib", "<= 0.10",
                 find(b, "Ours_geodesic_inverse", "GeographicLib_geodesic_inverse")))
    rows.append(("batch geodesic direct / GeographicLib", "<= 0.10",
                 find(b, "Ours_geodesic_direct", "GeographicLib_geodesic_direct")))
    share = None
    if batch:
        # The fidelity table: tier, lines, problem, two worst differences, lanes
        # redone by the one-point function (of 10 M), ...; the best tier is last.
        for line in batch.splitlines():
            parts = line.split()
            if len(parts) == 8 and parts[1] == "global" and parts[2] == "direct" and parts[5].isdigit():
                share = int(parts[5]) / 1e7
    rows.append(("direct: share of global lines redone one-point", "<= 0.05", share))
    threads = None
    if batch:
        m = re.search(r"speed-up ([0-9.]+)", batch)
        threads = float(m.group(1)) if m else None
    rows.append(("batch API: two threads / one (speed-up)", ">= 1.80", threads))

    # The one-point reverse conversions.
    tm = ratios(run([str(build / "bench" / "bench_tm"), "--benchmark_filter=Gridwise_gridToGeo|tmerc_approx_inv",
                     "--benchmark_min_time=0.5", *reps]))
    rows.append(("one-point TM reverse / PROJ tmerc +approx", "<= 1.00",
                 find(tm, "BM_Gridwise_gridToGeo", "BM_PROJ_tmerc_approx_inv")))
    pr = ratios(run([str(build / "bench" / "bench_projections"),
                     "--benchmark_filter=Lambert_gridToGeo|PolarStereo_gridToGeo|lcc_inv|stere_inv",
                     "--benchmark_min_time=0.5", *reps]))
    rows.append(("one-point Lambert reverse / PROJ lcc", "<= 1.00", find(pr, "BM_Lambert_gridToGeo", "BM_PROJ_lcc_inv")))
    rows.append(("one-point polar reverse / PROJ stere", "<= 1.00",
                 find(pr, "BM_PolarStereo_gridToGeo", "BM_PROJ_stere_inv")))

    # The tool.
    points = 200000 if args.quick else args.points
    cli = run([str(ROOT / "bench" / "cli-speed.sh"), str(release)],
              env={"POINTS": str(points), "RUNS": "2" if args.quick else "5"})
    floor = {}
    speedup = {}
    if cli:
        job = None
        for line in cli.splitlines():
            if line and not line.startswith(" "):
                job = line.strip()
            m = re.search(r"ours/floor ([0-9.-]+)\s+-j 2 speed-up ([0-9.-]+)", line)
            if m and job:
                floor[job] = m.group(1)
                speedup[job] = m.group(2)
    for job in floor:
        f = floor[job]
        rows.append((f"tool {job}: one thread / floor", "<= 1.30", float(f) if f != "-" else None))
        s = speedup[job]
        rows.append((f"tool {job}: -j 2 / one thread (speed-up)", ">= 1.80", float(s) if s != "-" else None))
    if not floor:
        rows.append(("tool: one thread / floor", "<= 1.30", None))

    # Python threads.
    py = run(["/usr/bin/python3", str(ROOT / "bench" / "python-speed.py"), "--points",
              "2000000" if args.quick else "10000000", "--no-dask"],
             env={"PYTHONPATH": str(build / "python")})
    pt = None
    if py:
        m = re.search(r"threads\s+\(two vs one\):\s+([0-9.]+)", py)
        pt = float(m.group(1)) if m else None
    rows.append(("Python: two threads / one (speed-up)", ">= 1.80", pt))

    after = load()
    print(f"\nspeed goals, one run (load average before {before}, after {after}; "
          f"{os.cpu_count()} cores)\n")
    print(f"  {'measure':<52} {'goal':>8} {'figure':>8}  met")
    for what, goal, value in rows:
        if value is None:
            print(f"  {what:<52} {goal:>8} {'-':>8}  not run")
            continue
        bound = float(goal.split()[1])
        met = value <= bound if goal.startswith("<=") else value >= bound
        print(f"  {what:<52} {goal:>8} {value:8.2f}  {'yes' if met else 'no'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
