# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Geodesy objects from EPSG codes: against pyproj, the ways of naming a system,
the refusals, pickles and the Dask helpers, and a registry that cannot be read."""

import os
import pickle
import subprocess
import sys

import numpy as np
import pytest

import gridwise

pytestmark = pytest.mark.skipif(not gridwise._gridwise.HAVE_EPSG, reason="built without the EPSG reader")

# (code, latitudes, longitudes on the system's own datum) spread over its area.
SYSTEMS = [
    (2240, (31.0, 33.749, 34.9), (-85.5, -84.388, -83.8)),  # TM in US survey feet
    (32756, (-10.0, -33.9, -50.0), (151.2, 150.0, 153.0)),  # UTM south
    (2154, (43.0, 46.5, 50.9), (-4.5, 3.0, 8.1)),  # Lambert 2SP
    (27572, (43.0, 46.8, 50.9), (-4.5, 2.3, 8.1)),  # Lambert 1SP, Paris meridian in grads
    (32661, (84.0, 87.0, 89.0), (-170.0, 0.0, 45.0)),  # polar A north
]


@pytest.mark.parametrize("code,lat,lon", SYSTEMS)
def test_grid_agrees_with_pyproj_both_ways(code, lat, lon):
    pyproj = pytest.importorskip("pyproj")
    crs = pyproj.CRS.from_epsg(code)
    unit = crs.axis_info[0].unit_conversion_factor
    x, y = pyproj.Proj(crs)(np.array(lon), np.array(lat))
    g = gridwise.Geodesy.from_epsg(code)
    north, east = g.geo_to_grid(lat, lon)
    np.testing.assert_allclose(north, y * unit, atol=0.013, rtol=0)
    np.testing.assert_allclose(east, x * unit, atol=0.013, rtol=0)
    back = g.grid_to_geo(y * unit, x * unit)
    np.testing.assert_allclose(back[0], lat, atol=2e-7, rtol=0)
    np.testing.assert_allclose(back[1], lon, atol=2e-7, rtol=0)


def test_ways_of_naming_a_system_give_the_same_geodesy():
    want = gridwise.Geodesy.from_epsg(2240).to_text()
    for name in ("EPSG:2240", "epsg:2240", " EPSG: 2240 ", "2240"):
        assert gridwise.Geodesy.from_crs(name).to_text() == want
    assert gridwise.Geodesy.from_epsg(np.int32(2240)).to_text() == want
    # The transformation given is the one used.
    assert "shift: EPSG:1311 " in gridwise.epsg_describe(23031, 1311)
    assert gridwise.Geodesy.from_epsg(23031, 1311).to_text() != gridwise.Geodesy.from_epsg(23031).to_text()


@pytest.mark.parametrize("call,error,reason", [
    (lambda: gridwise.Geodesy.from_epsg(3857), ValueError,
     "EPSG:3857 uses Popular Visualisation Pseudo Mercator, which this library does not offer"),
    (lambda: gridwise.Geodesy.from_epsg(4326), ValueError, "is a geographic 2D CRS"),
    (lambda: gridwise.Geodesy.from_epsg(23031, 1188), ValueError, "does not shift European Datum 1950"),
    (lambda: gridwise.Geodesy.from_epsg(0), ValueError, "is not an EPSG code"),
    (lambda: gridwise.Geodesy.from_epsg(2**31), ValueError, "is not an EPSG code"),
    (lambda: gridwise.Geodesy.from_epsg(True), TypeError, "must be an int"),
    (lambda: gridwise.Geodesy.from_epsg("2240"), TypeError, "must be an int"),
    (lambda: gridwise.Geodesy.from_crs("ESRI:102100"), ValueError, "names no EPSG code"),
    (lambda: gridwise.Geodesy.from_crs("EPSG:２２４０"), ValueError, "names no EPSG code"),  # full-width digits
    (lambda: gridwise.Geodesy.from_crs(2240), TypeError, "must be a str"),
    (lambda: gridwise.epsg_search(None), TypeError, "must be a str"),
    (lambda: gridwise.epsg_search("a\0b"), ValueError, "NUL"),
])
def test_refusals_raise_with_the_reason(call, error, reason):
    with pytest.raises(error, match=None) as info:
        call()
    assert reason in str(info.value)


def test_search_lists_systems_with_their_support():
    rows = gridwise.epsg_search("UTM zone 33")
    codes = {r.code: r for r in rows}
    assert codes[32633] == gridwise.EpsgSystem(32633, "WGS 84 / UTM zone 33N", "Transverse Mercator", "metre", True)
    assert all(isinstance(r.supported, bool) for r in rows)
    assert [r.code for r in rows] == sorted(r.code for r in rows)
    assert gridwise.epsg_search("EPSG:3857")[0].supported is False
    assert gridwise.epsg_search("no such system anywhere") == []


def test_pickles_and_dask_helpers_take_epsg_geodesies():
    da = pytest.importorskip("dask.array")
    import gridwise.dask as gd
    g = gridwise.Geodesy.from_crs("EPSG:28992")
    copy = pickle.loads(pickle.dumps(g))
    lat, lon = np.linspace(51, 53, 50), np.linspace(4, 6.5, 50)
    want = g.geo_to_grid(lat, lon)
    for a, b in zip(copy.geo_to_grid(lat, lon), want):
        np.testing.assert_array_equal(a, b)
    got = da.compute(*gd.geo_to_grid(g, da.from_array(lat, chunks=20), da.from_array(lon, chunks=20)), scheduler="sync")
    for a, b in zip(got, want):
        np.testing.assert_array_equal(a, b)


@pytest.mark.parametrize("path,error", [("/nonexistent/proj.db", "FileNotFoundError"), (__file__, "FileNotFoundError")])
def test_a_registry_that_cannot_be_read_raises(path, error):
    code = ("import gridwise\n"
            "for _ in range(2):\n"
            "    try:\n"
            "        gridwise.Geodesy.from_epsg(2240)\n"
            "    except Exception as e:\n"
            "        print(type(e).__name__, e)\n")
    env = dict(os.environ, GRIDWISE_EPSG_DB=path)
    out = subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=60)
    lines = out.stdout.splitlines()
    assert len(lines) == 2 and lines[0] == lines[1], out.stdout + out.stderr
    assert lines[0].startswith(error) and path in lines[0]


def _entries(path):
    """The projection list's entries as (general, specific, datum text, init string)."""
    lines = path.read_text().splitlines()
    count = int(next(l for l in lines if l.startswith("NumberProjections=")).split("=", 1)[1])
    entries = {}
    for line in lines:
        key, _, value = line.partition("=")
        if key.lower().startswith("proj") and key[4:].isdigit():
            fields = value.split(",")
            entries[int(key[4:])] = (fields[0], fields[1], ",".join(fields[2:13]), ",".join(fields[13:]))
    assert sorted(entries) == list(range(1, count + 1))
    return [entries[i] for i in range(1, count + 1)]


def test_projlist_add_writes_entries_that_convert_as_the_code_does(_own_settings_folder, tmp_path):
    from conftest import tool
    gw = tool()
    listfile = _own_settings_folder / "projlist2.ini"

    def add(*args):
        return subprocess.run([gw, "projlist", "add", *args], capture_output=True, text=True, timeout=120,
                              cwd=tmp_path)

    out = add("EPSG:2240", "32633", "EPSG:28992")
    assert out.returncode == 0, out.stderr
    assert out.stdout.splitlines() == ["Proj1\tEPSG:2240\tSPCS83 ftUS\tGeorgia West\tadded",
                                       "Proj2\tEPSG:32633\tUTM WGS 84\tZone 33N\tadded",
                                       "Proj3\tEPSG:28992\tAmersfoort\tRD New\tadded"]
    points = {2240: (33.749, -84.388), 32633: (60.0, 15.5), 28992: (52.0, 5.0)}
    for (code, (lat, lon)), (general, specific, datum, init) in zip(points.items(), _entries(listfile)):
        entry = gridwise.Geodesy.from_text(init, datum)
        want = gridwise.Geodesy.from_epsg(code)
        # The initialisation string carries false values to 0.1 mm (Georgia West's
        # 2296583.333 ftUS is 699999.99989840 m).
        for a, b in zip(entry.geo_to_grid(lat, lon), want.geo_to_grid(lat, lon)):
            assert abs(a - b) < 1e-4, (code, init, datum)
        for a, b in zip(entry.from_wgs84(lat, lon), want.from_wgs84(lat, lon)):
            assert abs(a - b) < 1e-12, (code, datum)

    # An entry the list holds is not added twice.
    out = add("EPSG:32633", "27700")
    assert out.stdout.splitlines() == ["Proj2\tEPSG:32633\tUTM WGS 84\tZone 33N\tlisted before",
                                       "Proj4\tEPSG:27700\tOSGB36\tBritish National Grid\tadded"]
    # A refused code adds nothing, not even the codes before it.
    before = listfile.read_bytes()
    out = add("EPSG:25832", "EPSG:3857")
    assert out.returncode == 2 and "Popular Visualisation Pseudo Mercator" in out.stderr
    assert listfile.read_bytes() == before
    # --file names another list; a bare name is one of the working folder.
    out = add("--file", "mine.ini", "25832")
    assert out.returncode == 0 and out.stdout == "Proj1\tEPSG:25832\tUTM ETRS89\tZone 32N\tadded\n"
    assert [e[:2] for e in _entries(tmp_path / "mine.ini")] == [("UTM ETRS89", "Zone 32N")]
    assert listfile.read_bytes() == before
