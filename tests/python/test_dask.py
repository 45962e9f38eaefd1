# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Conversions of Dask arrays and DataFrames, in process and on a two-worker cluster."""

import os
import pickle

import numpy as np
import pytest

da = pytest.importorskip("dask.array")

import gridwise  # noqa: E402
import gridwise.dask as gd  # noqa: E402
from conftest import SURVEY  # noqa: E402
from test_exact_text import CASES as EXACT_CASES, same_bits  # noqa: E402


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
    converted = dd.from_pandas(out, npartitions=2)
    with pytest.raises(ValueError, match="'north'"):
        gd.geo_to_grid_frame(ed50, converted, "lat", "lon")
    again = gd.geo_to_grid_frame(ed50, converted, "lat", "lon", out=("east", "north"), overwrite=True)
    again = again.compute(scheduler="sync")
    np.testing.assert_array_equal(again["north"].to_numpy(), want[1])
    assert list(again.columns) == ["lat", "lon", "name", "north", "east"]
    with pytest.raises(KeyError, match="latitude"):
        gd.geo_to_grid_frame(ed50, df, "latitude", "lon")
    with pytest.raises(TypeError, match="name"):
        gd.geo_to_grid_frame(ed50, df, "name", "lon")


@pytest.fixture(scope="module")
def client(tmp_path_factory):
    distributed = pytest.importorskip("distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                  local_directory=str(tmp_path_factory.mktemp("dask"))) as cluster, \
            distributed.Client(cluster, set_as_default=False) as client:
        assert len(set(client.run(os.getpid).values())) == 2
        yield client


def _convert(geodesy, lat, lon):
    return geodesy.geo_to_grid(lat, lon)


@pytest.mark.parametrize("section", [None, "ed50-utm31"])
def test_two_worker_processes_give_the_in_process_results(client, section):
    pd = pytest.importorskip("pandas")
    dd = pytest.importorskip("dask.dataframe")
    g = gridwise.Geodesy() if section is None else gridwise.Geodesy.from_settings(SURVEY, section)
    lat, lon = points(20_000)
    lon = lon - (0 if section else 117)  # in the zone of each projection
    want = g.geo_to_grid(lat, lon)

    def same(got):
        np.testing.assert_array_equal(got[0], want[0])
        np.testing.assert_array_equal(got[1], want[1])

    north, east = gd.geo_to_grid(g, da.from_array(lat, chunks=2500), da.from_array(lon, chunks=2500))
    same(client.compute([north, east], sync=True))
    frame = dd.from_pandas(pd.DataFrame({"lat": lat, "lon": lon}), npartitions=4)
    out = client.compute(gd.geo_to_grid_frame(g, frame, "lat", "lon"), sync=True)
    same((out["north"].to_numpy(), out["east"].to_numpy()))
    # Arrays (and the geodesy object) pickled to a worker and back, and in process.
    same(client.submit(_convert, g, lat, lon).result())
    same(g.geo_to_grid(pickle.loads(pickle.dumps(lat)), pickle.loads(pickle.dumps(lon))))


def test_masked_chunks_and_boolean_columns(ed50):
    pd = pytest.importorskip("pandas")
    dd = pytest.importorskip("dask.dataframe")
    lat = np.ma.masked_array([40.0, 41.0, np.nan, 42.0], mask=[False, True, True, False])
    north, _ = gd.geo_to_grid(ed50, da.from_array(lat, chunks=2), 3.0, errcheck=True)
    got = north.compute(scheduler="sync")
    assert isinstance(got, np.ma.MaskedArray) and got.mask.tolist() == [False, True, True, False]
    np.testing.assert_array_equal(got.compressed(), ed50.geo_to_grid([40.0, 42.0], 3.0)[0])
    with pytest.raises(TypeError, match="booleans"):
        gd.geo_to_grid(ed50, da.from_array(np.array([True])), 3.0)
    df = dd.from_pandas(pd.DataFrame({"lat": [40.0], "lon": [3.0], "flag": [True]}), npartitions=1)
    with pytest.raises(TypeError, match="booleans"):
        gd.geo_to_grid_frame(ed50, df, "flag", "lon")


@pytest.mark.parametrize("name,init,datum,centre", EXACT_CASES, ids=[c[0] for c in EXACT_CASES])
def test_every_projection_type_with_random_parameters_on_two_workers(client, name, init, datum, centre):
    # Parameters of full double precision: the workers get them through the
    # geodesy's text form, which must carry every bit.
    pd = pytest.importorskip("pandas")
    dd = pytest.importorskip("dask.dataframe")
    g = gridwise.Geodesy.from_text(init, datum)
    r = np.random.default_rng(11)
    lat = np.clip(centre[0] + r.uniform(-3, 3, 20_000), -89.99, 89.99)
    lon = centre[1] + r.uniform(-3, 3, 20_000)
    want = g.geo_to_grid(lat, lon)
    frame = dd.from_pandas(pd.DataFrame({"lat": lat, "lon": lon}), npartitions=4)
    out = client.compute(gd.geo_to_grid_frame(g, frame, "lat", "lon"), sync=True)
    got = client.compute(list(gd.geo_to_grid(g, da.from_array(lat, chunks=5000), da.from_array(lon, chunks=5000))),
                         sync=True)
    for a, b in zip(want, (out["north"].to_numpy(), out["east"].to_numpy())):
        assert same_bits(a, b), name
    for a, b in zip(want, got):
        assert same_bits(a, b), name
