# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Conversions of Dask arrays and DataFrames, in process and on a two-worker cluster."""

import numpy as np
import pytest

da = pytest.importorskip("dask.array")

import gridwise  # noqa: E402
import gridwise.dask as gd  # noqa: E402
from conftest import SURVEY  # noqa: E402


@pytest.fixture
def ed50():
    return gridwise.Geodesy.from_settings(SURVEY, "ed50-utm31")


def points(n=1000):
    rng = np.random.default_rng(3)
    return rng.uniform(36, 44, n), rng.uniform(-4, 4, n)


def test_arrays_equal_the_in_process_results(ed50):
    lat, lon = points()
    dlat, dlon = da.from_array(lat, chunks=300), da.from_array(lon, chunks=170)
    north, east = gd.geo_to_grid(ed50, dlat, dlon)
    assert isinstance(north, da.Array) and north.shape == lat.shape
    got = da.compute(north, east, scheduler="sync")
    want = ed50.geo_to_grid(lat, lon)
    np.testing.assert_array_equal(got[0], want[0])
    np.testing.assert_array_equal(got[1], want[1])
    w = da.compute(*gd.to_wgs84(ed50, dlat, dlon), scheduler="sync")
    for a, b in zip(w, ed50.to_wgs84(lat, lon)):
        np.testing.assert_array_equal(a, b)
    grid = da.from_array(np.stack([want[0], want[0] + 10]), chunks=(1, 250))
    back = gd.grid_to_geo(ed50, grid, want[1])[0].compute(scheduler="sync")
    np.testing.assert_array_equal(back, ed50.grid_to_geo(np.stack([want[0], want[0] + 10]), want[1])[0])


def test_bad_points_and_inputs(ed50):
    lat = da.from_array(np.array([40.0, np.nan, 41.0]), chunks=2)
    north, _ = gd.geo_to_grid(ed50, lat, 3.0)
    assert np.isnan(north.compute(scheduler="sync")[1])
    with pytest.raises(gridwise.ConversionError):
        gd.geo_to_grid(ed50, lat, 3.0, errcheck=True)[0].compute(scheduler="sync")
    with pytest.raises(TypeError, match="lat"):
        gd.geo_to_grid(ed50, da.from_array(np.array(["1"])), 3.0)
    with pytest.raises(ValueError, match="broadcast"):
        gd.geo_to_grid(ed50, da.zeros(3), da.zeros(4))
    with pytest.raises(TypeError, match="geodesy"):
        gd.geo_to_grid("ed50-utm31", lat, 3.0)


def test_frame_columns(ed50):
    pd = pytest.importorskip("pandas")
    dd = pytest.importorskip("dask.dataframe")
    lat, lon = points(100)
    df = dd.from_pandas(pd.DataFrame({"lat": lat, "lon": lon, "name": [f"p{i}" for i in range(100)]}),
                        npartitions=3)
    out = gd.geo_to_grid_frame(ed50, df, "lat", "lon").compute(scheduler="sync")
    want = ed50.geo_to_grid(lat, lon)
    np.testing.assert_array_equal(out["north"].to_numpy(), want[0])
    np.testing.assert_array_equal(out["east"].to_numpy(), want[1])
    assert list(out.columns) == ["lat", "lon", "name", "north", "east"]
    named = gd.to_wgs84_frame(ed50, df, "lat", "lon", out=("a", "b", "c")).compute(scheduler="sync")
    np.testing.assert_array_equal(named["a"].to_numpy(), ed50.to_wgs84(lat, lon)[0])
    with pytest.raises(KeyError, match="latitude"):
        gd.geo_to_grid_frame(ed50, df, "latitude", "lon")
    with pytest.raises(TypeError, match="name"):
        gd.geo_to_grid_frame(ed50, df, "name", "lon")


def test_two_worker_processes_give_the_in_process_results(ed50, tmp_path):
    distributed = pytest.importorskip("distributed")
    lat, lon = points(20_000)
    want = ed50.geo_to_grid(lat, lon)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                  local_directory=str(tmp_path)) as cluster, \
            distributed.Client(cluster) as client:
        north, east = gd.geo_to_grid(ed50, da.from_array(lat, chunks=2500), da.from_array(lon, chunks=2500))
        got = client.compute([north, east], sync=True)
        workers = client.run(lambda: __import__("os").getpid())
    assert len(set(workers.values())) == 2
    np.testing.assert_array_equal(got[0], want[0])
    np.testing.assert_array_equal(got[1], want[1])
