#!/usr/bin/python3
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Speed of the gridwise Python package on 10 million points, beside pyproj.

    PYTHONPATH=build/python /usr/bin/python3 bench/python-speed.py [--points N] [--dask-points N]

Measures, each as the best of --repeat runs:
  - Geodesy.geo_to_grid and grid_to_geo (UTM zone 11 on WGS 84) against
    pyproj.Transformer.transform for the same Transverse Mercator
    (+proj=tmerc +approx, pyproj's fastest), forward and reverse;
  - two Python threads converting one half each against one thread converting all;
  - the Dask example (examples/dask_convert.py: read, convert, count 20 million
    points) on a local cluster of two worker processes against one.
It checks that both libraries agree on the points before it times them and prints
every time and the ratios at the end.
"""

import argparse
import importlib.util
import os
import pathlib
import shutil
import sys
import tempfile
import threading
import time

import numpy as np

ROOT = pathlib.Path(__file__).resolve().parents[1]


def best(fn, repeat):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        fn()
        times.append(time.perf_counter() - start)
    return min(times)


def report(name, seconds, points):
    print(f"  {name:<44} {seconds:8.3f} s {seconds / points * 1e9:8.1f} ns/point")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--points", type=int, default=10_000_000)
    parser.add_argument("--dask-points", type=int, default=20_000_000)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--no-dask", action="store_true")
    args = parser.parse_args()

    import gridwise
    import pyproj

    n = args.points
    rng = np.random.default_rng(5)
    lat = rng.uniform(30.0, 40.0, n)
    lon = rng.uniform(-120.0, -114.0, n)
    g = gridwise.Geodesy()  # WGS 84, UTM zone 11
    tm = pyproj.Transformer.from_crs(
        "EPSG:4326", "+proj=tmerc +approx +lat_0=0 +lon_0=-117 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84",
        always_xy=True)
    print(f"gridwise {gridwise.__file__}\npyproj {pyproj.__version__} (PROJ {pyproj.proj_version_str}), "
          f"{n:,} points, best of {args.repeat}; {os.cpu_count()} processors, load average "
          f"{os.getloadavg()[0]:.1f} (the thread and worker ratios need idle processors)")

    north, east = g.geo_to_grid(lat, lon)
    e_ref, n_ref = tm.transform(lon, lat)
    agree = max(np.max(np.abs(north - n_ref)), np.max(np.abs(east - e_ref)))
    print(f"  largest difference to pyproj forward: {agree * 1000:.3f} mm")
    if agree > 0.01:
        sys.exit("the two libraries disagree by more than 1 cm; not timing")

    t_ours_fwd = best(lambda: g.geo_to_grid(lat, lon), args.repeat)
    t_proj_fwd = best(lambda: tm.transform(lon, lat), args.repeat)
    report("gridwise geo_to_grid", t_ours_fwd, n)
    report("pyproj transform (tmerc +approx) forward", t_proj_fwd, n)

    t_ours_rev = best(lambda: g.grid_to_geo(north, east), args.repeat)
    t_proj_rev = best(lambda: tm.transform(east, north, direction=pyproj.enums.TransformDirection.INVERSE),
                      args.repeat)
    report("gridwise grid_to_geo", t_ours_rev, n)
    report("pyproj transform (tmerc +approx) reverse", t_proj_rev, n)

    half = n // 2

    def two_threads():
        threads = [threading.Thread(target=g.geo_to_grid, args=(lat[:half], lon[:half])),
                   threading.Thread(target=g.geo_to_grid, args=(lat[half:], lon[half:]))]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    t_one = best(lambda: g.geo_to_grid(lat, lon), args.repeat)
    t_two = best(two_threads, args.repeat)
    report("geo_to_grid, one thread", t_one, n)
    report("geo_to_grid, two threads (a half each)", t_two, n)

    dask_ratio = None
    if not args.no_dask:
        dask_ratio = bench_dask(args.dask_points)

    print(f"\nratios (time of the peer or of the smaller set-up / ours; load average now "
          f"{os.getloadavg()[0]:.1f}):")
    print(f"  forward  (geo_to_grid vs pyproj):  {t_proj_fwd / t_ours_fwd:6.2f}")
    print(f"  reverse  (grid_to_geo vs pyproj):  {t_proj_rev / t_ours_rev:6.2f}")
    print(f"  threads  (two vs one):             {t_one / t_two:6.2f}")
    if dask_ratio is not None:
        print(f"  Dask     (two workers vs one):     {dask_ratio:6.2f}")


def bench_dask(points):
    from dask.distributed import Client, LocalCluster
    import gridwise

    example_spec = importlib.util.spec_from_file_location("dask_convert", ROOT / "examples" / "dask_convert.py")
    example = importlib.util.module_from_spec(example_spec)
    example_spec.loader.exec_module(example)
    example.SHOW_PROGRESS = False
    fmt = "parquet" if example.have_parquet() else "csv"
    data = tempfile.mkdtemp(prefix="gridwise-bench-dask-")
    times = {}
    try:
        print(f"Dask: {points:,} points ({fmt}) in {data}")
        for workers in (2, 1):
            with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                              dashboard_address=None) as cluster, Client(cluster) as client:
                names = example.generate(client, data, points, 80, fmt)
                example.convert(client, names[:2], fmt, gridwise.Geodesy())  # workers warm
                total, bad, seconds = example.convert(client, names, fmt, gridwise.Geodesy())
                assert total == points and bad == 0
                times[workers] = seconds
                report(f"example on {workers} worker(s): {total / seconds:,.0f} points/s", seconds, total)
    finally:
        shutil.rmtree(data, ignore_errors=True)
    return times[1] / times[2]


if __name__ == "__main__":
    main()
