#!/usr/bin/python3
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Converts a file of 20 million WGS 84 points to UTM zone 11 grid coordinates on Dask.

    /usr/bin/python3 examples/dask_convert.py                  # a local cluster, 2 workers
    /usr/bin/python3 examples/dask_convert.py --workers 4
    /usr/bin/python3 examples/dask_convert.py --scheduler tcp://10.0.0.5:8786

The points (latitude, longitude: Parquet files when pyarrow is installed, else
CSV) are generated on the cluster itself, one file per partition, into a
temporary folder that is removed at the end together with the workers' scratch
space; with --data DIR they go into DIR instead and stay there, and later runs
with the same DIR reuse them. Then every partition is read, converted with
gridwise.dask.geo_to_grid_frame and, with --output DIR, written out again; Dask's
progress bar follows the work, and the script prints points per second.

With --scheduler the work goes to an existing cluster (start one with
`dask scheduler` on one machine and `dask worker tcp://HOST:8786` on each of the
others); --data must then name a folder every worker sees under the same path
(a shared file system). The projection travels to the workers as text, so
they need the gridwise package but no settings file.
Run this file from a checkout with PYTHONPATH=build/python, or after installing.
"""

import argparse
import os
import tempfile
import time

import numpy as np


def have_parquet():
    try:
        import pyarrow  # noqa: F401
        return True
    except ImportError:
        return False


def _write_partition(path, start, count, seed, fmt):
    """One partition of points spread over the zone (30..40 N, 120..114 W)."""
    import pandas as pd
    rng = np.random.default_rng([seed, start])
    frame = pd.DataFrame({"lat": rng.uniform(30.0, 40.0, count), "lon": rng.uniform(-120.0, -114.0, count)})
    if fmt == "parquet":
        frame.to_parquet(path, index=False)
    else:
        frame.to_csv(path, index=False, float_format="%.9f")
    return count


def generate(client, data, points, partitions, fmt, seed=11):
    """Writes the points into data/points-NNNN.{csv,parquet} on the cluster; returns the file names."""
    import dask
    os.makedirs(data, exist_ok=True)
    ext = "parquet" if fmt == "parquet" else "csv"
    names = [os.path.join(data, f"points-{i:04d}.{ext}") for i in range(partitions)]
    done = os.path.join(data, f"complete-{points}-{partitions}.{ext}")
    if os.path.exists(done):
        return names
    per = points // partitions
    tasks = []
    for i, name in enumerate(names):
        count = per if i < partitions - 1 else points - per * (partitions - 1)
        tasks.append(dask.delayed(_write_partition)(name, i * per, count, seed, fmt))
    futures = client.compute(tasks)
    _progress(futures)
    written = sum(f.result() for f in futures)
    assert written == points
    open(done, "w").close()
    return names


SHOW_PROGRESS = True


def _progress(futures):
    if SHOW_PROGRESS:
        from dask.distributed import progress
        progress(futures)
        print()


def convert(client, names, fmt, geodesy, output=None):
    """Reads, converts (and writes) every partition; returns (points, bad points, seconds)."""
    import dask.dataframe as dd
    import gridwise.dask

    start = time.perf_counter()
    df = dd.read_parquet(names) if fmt == "parquet" else dd.read_csv(names, dtype={"lat": "f8", "lon": "f8"})
    grid = gridwise.dask.geo_to_grid_frame(geodesy, df, "lat", "lon")
    if output:
        os.makedirs(output, exist_ok=True)
        rounded = grid.assign(north=grid["north"].round(3), east=grid["east"].round(3))  # millimetres
        write = (rounded.to_parquet(output, compute=False) if fmt == "parquet"
                 else rounded.to_csv(os.path.join(output, "grid-*.csv"), index=False, compute=False))
        futures = client.compute(write)
        _progress(futures)
        client.gather(futures)
    futures = client.compute([grid["north"].size, grid["north"].isna().sum()])
    _progress(futures)
    total, bad = (int(v) for v in client.gather(futures))
    return total, bad, time.perf_counter() - start


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--points", type=int, default=20_000_000)
    parser.add_argument("--partitions", type=int, default=80)
    parser.add_argument("--workers", type=int, default=2, help="local cluster: worker processes")
    parser.add_argument("--scheduler", help="address of an existing cluster's scheduler (tcp://HOST:8786)")
    parser.add_argument("--data", help="keep the generated points in this folder (default: a temporary "
                        "folder, removed at the end)")
    parser.add_argument("--format", choices=["csv", "parquet"], default="parquet" if have_parquet() else "csv")
    parser.add_argument("--output", help="write the converted points into this folder")
    args = parser.parse_args(argv)
    if args.scheduler and not args.data:
        parser.error("--scheduler needs --data: a folder every worker sees")

    import gridwise
    from dask.distributed import Client, LocalCluster

    geodesy = gridwise.Geodesy()  # WGS 84, UTM zone 11; or Geodesy.from_settings(file, section)
    with tempfile.TemporaryDirectory(prefix="gridwise-dask-") as scratch:
        data = args.data or os.path.join(scratch, "points")
        if args.scheduler:
            client = Client(args.scheduler)
            cluster = None
        else:
            cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                                   dashboard_address=None, local_directory=os.path.join(scratch, "workers"))
            client = Client(cluster)
        try:
            print(f"cluster: {len(client.scheduler_info()['workers'])} workers; data: {data} ({args.format})")
            names = generate(client, data, args.points, args.partitions, args.format)
            total, bad, seconds = convert(client, names, args.format, geodesy, args.output)
            print(f"{total} points converted in {seconds:.2f} s: {total / seconds:,.0f} points per second"
                  f" ({bad} could not be converted)")
        finally:
            client.close()
            if cluster is not None:
                cluster.close()


if __name__ == "__main__":
    main()
