# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Geodesy objects and array conversions of the gridwise package."""

import doctest
import math
import pickle
import re
import threading

import numpy as np
import pytest

import gridwise
from conftest import ROOT, SAMPLE, SURVEY

SECTIONS = [(SURVEY, "georgia-west"), (SURVEY, "california-5"), (SURVEY, "pier-baseline"),
            (SURVEY, "ed50-utm31"), (SAMPLE, "geodesy")]

US_FOOT = 1200.0 / 3937.0


def test_docstring_examples_hold():
    import gridwise.dask
    for module in (gridwise, gridwise.dask):
        result = doctest.testmod(module, optionflags=doctest.ELLIPSIS)
        assert result.failed == 0, module.__name__


def test_known_grid_values_and_scalar_results():
    g = gridwise.Geodesy()
    north, east = g.geo_to_grid(34, -117)
    assert isinstance(north, np.float64) and isinstance(east, np.float64)
    assert north == pytest.approx(3762155.972, abs=5e-4)
    assert east == pytest.approx(500000.0, abs=1e-6)
    lat, lon = g.grid_to_geo(north, east)
    assert lat == pytest.approx(34.0, abs=1e-9) and lon == pytest.approx(-117.0, abs=1e-9)
    assert g.convergence(north, east) == pytest.approx(0.0, abs=1e-12)
    assert g.point_scale(north, east) == pytest.approx(0.9996, abs=1e-9)


def test_survey_mark_to_state_plane_grid():
    # Five Points, Atlanta: the README's wgs2grid example in US survey feet.
    g = gridwise.Geodesy.from_settings(SURVEY, "georgia-west")
    lat, lon, _ = g.from_wgs84(gridwise.parse_angle("N33 45 18.912"), gridwise.parse_angle("W084 23 24.108"))
    north, east = g.geo_to_grid(lat, lon)
    assert north / US_FOOT == pytest.approx(1366078.21, abs=0.006)
    assert east / US_FOOT == pytest.approx(2228695.29, abs=0.006)


def test_against_pyproj():
    pyproj = pytest.importorskip("pyproj")
    rng = np.random.default_rng(1)
    lat = rng.uniform(-70, 70, 500)
    lon = rng.uniform(-120, -114, 500)
    g = gridwise.Geodesy()
    north, east = g.geo_to_grid(lat, lon)
    utm = pyproj.Transformer.from_crs("EPSG:4326", "+proj=utm +zone=11 +ellps=WGS84", always_xy=True)
    e_ref, n_ref = utm.transform(lon, lat)
    np.testing.assert_allclose(north, n_ref, atol=0.01)
    np.testing.assert_allclose(east, e_ref, atol=0.01)

    lcc = gridwise.Geodesy.from_settings(SURVEY, "california-5")
    ref = pyproj.Transformer.from_crs("EPSG:4326", "+proj=lcc +lat_0=33.5 +lon_0=-118 +lat_1=34.0333333333333 "
                                      "+lat_2=35.4666666666667 +x_0=2000000 +y_0=500000 +ellps=GRS80",
                                      always_xy=True)
    la, lo = rng.uniform(32, 37, 200), rng.uniform(-121, -115, 200)
    n, e = lcc.geo_to_grid(la, lo)
    e_ref, n_ref = ref.transform(lo, la)
    np.testing.assert_allclose(n, n_ref, atol=0.01)
    np.testing.assert_allclose(e, e_ref, atol=0.01)

    geod = pyproj.Geod(ellps="WGS84")
    lat2, lon2 = rng.uniform(-60, 60, 200), rng.uniform(-170, 170, 200)
    az, dist = g.inverse(lat[:200], lon[:200], lat2, lon2)
    az_ref, _, dist_ref = geod.inv(lon[:200], lat[:200], lon2, lat2)
    short = dist_ref < 17e6  # the long-line formulas lose accuracy towards the antipode
    np.testing.assert_allclose(dist[short], dist_ref[short], atol=3.0)
    np.testing.assert_allclose(((az - az_ref + 180) % 360 - 180)[short], 0, atol=1e-3)
    end_lat, end_lon = g.direct(lat[:200][short], lon[:200][short], az[short], dist[short])
    np.testing.assert_allclose(end_lat, lat2[short], atol=1e-4)
    np.testing.assert_allclose((end_lon - lon2[short] + 180) % 360 - 180, 0, atol=1e-4)


@pytest.mark.parametrize("path,section", SECTIONS)
def test_text_rebuilds_the_same_object(path, section):
    g = gridwise.Geodesy.from_settings(path, section)
    again = gridwise.Geodesy.from_text(*g.to_text())
    assert again.to_text() == g.to_text()
    assert pickle.loads(pickle.dumps(g)) == g
    lat = np.linspace(30, 45, 50)
    lon = np.linspace(-120, 5, 50)
    for a, b in zip(g.to_wgs84(lat, lon), again.to_wgs84(lat, lon)):
        np.testing.assert_array_equal(a, b)
    north, east = g.geo_to_grid(*g.from_wgs84(lat, lon)[:2])
    for a, b in zip((north, east), again.geo_to_grid(*again.from_wgs84(lat, lon)[:2])):
        np.testing.assert_array_equal(a, b)


def test_datum_text_keeps_rotations_and_scale_exactly(tmp_path):
    def with_rotations(rx, ry, rz):
        settings = tmp_path / "rotated.ini"
        settings.write_text(SURVEY.read_text().replace(
            "rotX=0.00000\nrotY=0.00000\nrotZ=0.00000", f"rotX={rx}\nrotY={ry}\nrotZ={rz}").replace(
            "scalar=0.0000000000", "scalar=0.0000031234"))
        g = gridwise.Geodesy.from_settings(settings, "ed50-utm31")
        return g, gridwise.Geodesy.from_text(*g.to_text())

    lat, lon = np.linspace(36, 44, 20), np.linspace(-5, 4, 20)
    # Rotations as settings keep them (ten decimals of a degree) come back exactly.
    g, again = with_rotations("-0.0000416667", "0.0000000003", "0.0001234567")
    for a, b in zip(g.to_wgs84(lat, lon), again.to_wgs84(lat, lon)):
        np.testing.assert_array_equal(a, b)
    # Finer ones come back exactly too.
    g, again = with_rotations("-0.00001234567891234", "1.5e-9", "0.000277777777777")
    for a, b in zip(g.to_wgs84(lat, lon), again.to_wgs84(lat, lon)):
        np.testing.assert_array_equal(a, b)


def test_describe_gives_the_lines_and_the_init_string():
    g = gridwise.Geodesy.from_settings(SURVEY, "ed50-utm31")
    d = g.describe()
    assert len(d.projection) == 6 and len(d.datum) == 7
    assert d.projection[0] == "ED50 UTM 31N"
    assert d.datum[0] == "Datum:ED50" and d.datum[1] == "Ellipse: International 1924"
    assert d.init_string == g.init_string and d.init_string.startswith("0,ED50 UTM 31N,")


def test_every_conversion_runs_on_every_sample_projection():
    places = {"georgia-west": (33.7, -84.4), "california-5": (34.0, -118.5), "pier-baseline": (34.01, -118.5),
              "ed50-utm31": (41.4, 2.17), "geodesy": (52.0, 3.0)}
    for path, section in SECTIONS:
        g = gridwise.Geodesy.from_settings(path, section)
        lat0, lon0 = places[section]
        lat = lat0 + np.array([-0.3, 0.0, 0.2, 0.4])
        lon = lon0 + np.array([0.3, 0.0, -0.25, 0.1])
        wlat, wlon, h = g.to_wgs84(lat, lon, errcheck=True)
        back_lat, back_lon, _ = g.from_wgs84(wlat, wlon, errcheck=True)
        np.testing.assert_allclose(back_lat, lat, atol=1e-8)
        np.testing.assert_allclose(back_lon, lon, atol=1e-8)
        assert np.all(np.abs(h) < 200)
        north, east = g.geo_to_grid(lat, lon, errcheck=True)
        rlat, rlon = g.grid_to_geo(north, east, errcheck=True)
        np.testing.assert_allclose(rlat, lat, atol=1e-7)
        np.testing.assert_allclose(rlon, lon, atol=1e-7)
        assert np.all(np.isfinite(g.convergence(north, east, errcheck=True)))
        assert np.all(np.abs(g.point_scale(north, east, errcheck=True) - 1) < 0.01)


def test_broadcasting():
    g = gridwise.Geodesy()
    lat = np.array([[30.0], [34.0], [40.0]])
    lon = np.array([-118.0, -117.0, -116.0, -115.5])
    north, east = g.geo_to_grid(lat, lon)
    assert north.shape == east.shape == (3, 4)
    for i in range(3):
        for j in range(4):
            n, e = g.geo_to_grid(lat[i, 0], lon[j])
            assert north[i, j] == n and east[i, j] == e
    az, dist = g.inverse(34.0, -117.0, lat, lon)
    assert az.shape == dist.shape == (3, 4)
    assert dist[1, 1] == 0.0
    empty = g.geo_to_grid(np.empty((0, 3)), 5.0)
    assert empty[0].shape == (0, 3)
    north0d, _ = g.geo_to_grid(np.array(34.0), -117.0)
    assert np.ndim(north0d) == 0


def test_dtypes_and_layouts_give_the_float64_results():
    g = gridwise.Geodesy()
    base = np.arange(24, dtype=np.float64).reshape(4, 6) + 20.0
    want = g.geo_to_grid(base, -117.5)
    readonly = base.copy()
    readonly.flags.writeable = False
    cases = {
        "int32": base.astype(np.int32),
        "float32": base.astype(np.float32),
        "big-endian": base.astype(">f8"),
        "pickled": pickle.loads(pickle.dumps(base)),
        "pickled big-endian": pickle.loads(pickle.dumps(base.astype(">f8"))),
        "fortran": np.asfortranarray(base),
        "read-only": readonly,
        "list": base.tolist(),
    }
    for name, value in cases.items():
        got = g.geo_to_grid(value, -117.5)
        if name == "float32":
            want32 = g.geo_to_grid(base.astype(np.float32).astype(np.float64), -117.5)
            np.testing.assert_array_equal(got[0], want32[0], err_msg=name)
        else:
            np.testing.assert_array_equal(got[0], want[0], err_msg=name)
            np.testing.assert_array_equal(got[1], want[1], err_msg=name)
    wide = np.zeros((4, 12))
    wide[:, ::2] = base
    strided = wide[:, ::2]
    np.testing.assert_array_equal(g.geo_to_grid(strided, -117.5)[0], want[0])
    np.testing.assert_array_equal(g.geo_to_grid(base.T, -117.5)[0], want[0].T)
    np.testing.assert_array_equal(g.geo_to_grid(base[::-1, ::-2], -117.5)[0], want[0][::-1, ::-2])
    records = np.zeros(5, dtype=[("lat", "f8"), ("lon", "f8"), ("name", "U8")])
    records["lat"], records["lon"] = np.linspace(30, 40, 5), -117.0
    np.testing.assert_array_equal(g.geo_to_grid(records["lat"], records["lon"])[0],
                                  g.geo_to_grid(np.linspace(30, 40, 5), -117.0)[0])
    # A float64 field of a packed record is not aligned for the walk.
    packed = np.zeros(5, dtype=[("flag", "u1"), ("lat", "f8")])
    packed["lat"] = np.linspace(30, 40, 5)
    assert not packed["lat"].flags.aligned
    np.testing.assert_array_equal(g.geo_to_grid(packed["lat"], -117.0)[0],
                                  g.geo_to_grid(np.linspace(30, 40, 5), -117.0)[0])


def test_native_part_takes_equal_dtypes_and_refuses_what_it_cannot_walk():
    native = gridwise._gridwise
    h = gridwise.Geodesy()._h

    def run(lat, status=None):
        out = [np.empty(lat.shape), np.empty(lat.shape)]
        return native.convert(h, native.GEO_TO_GRID, [lat, np.full(lat.shape, -117.0)], out, status), out

    done, out = run(pickle.loads(pickle.dumps(np.array([34.0, 35.0]))),
                    pickle.loads(pickle.dumps(np.zeros(2, dtype=np.intc))))
    assert done == 2 and out[0].tolist() == gridwise.Geodesy().geo_to_grid([34.0, 35.0], -117.0)[0].tolist()
    packed = np.zeros(2, dtype=[("flag", "u1"), ("lat", "f8")])
    for lat, error, words in [(np.array([34.0], dtype=">f8"), TypeError, "float64"),
                              (packed["lat"], ValueError, "aligned"),
                              (np.array([34.0], dtype=np.float32), TypeError, "float64")]:
        with pytest.raises(error, match=words):
            run(lat)


def test_masked_points_are_not_converted_and_come_back_masked():
    g = gridwise.Geodesy()
    lat = np.ma.masked_array([34.0, 1e20, 35.0, np.nan], mask=[False, True, False, True])
    lon = np.ma.masked_array([-117.0, -117.0, -500.0, -117.0], mask=[False, False, True, False])
    north, east, st = g.geo_to_grid(lat, lon, status=True, errcheck=True)
    for result in (north, east, st):
        assert isinstance(result, np.ma.MaskedArray) and result.mask.tolist() == [False, True, True, True]
    assert north[0] == g.geo_to_grid(34.0, -117.0)[0] and st[0] == 0
    assert np.all(np.isnan(north.data[1:]))  # nothing stale under the mask
    # Broadcast against a plain array; an unmasked bad point still counts.
    north, _ = g.geo_to_grid(np.ma.masked_array([[34.0], [35.0]], mask=[[True], [False]]), [-117.0, -118.0])
    assert north.shape == (2, 2) and north.mask.tolist() == [[True, True], [False, False]]
    with pytest.raises(gridwise.ConversionError) as info:
        g.geo_to_grid(np.ma.masked_array([np.nan, 91.0], mask=[True, False]), -117.0, errcheck=True)
    assert info.value.index == (1,) and info.value.status == 2
    assert g.geo_to_grid(np.ma.masked, -117.0)[0] is np.ma.masked
    assert g.geo_to_grid(np.ma.masked, -117.0, status=True)[2] is np.ma.masked


def test_version_is_the_projects():
    project = re.search(r"project\(gridwise VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)
    assert gridwise.__version__ == project


@pytest.mark.parametrize("args,error,words", [
    (("34", -117.0), TypeError, "lat"),
    ((np.array(["34"]), -117.0), TypeError, "lat"),
    ((34.0, np.array([1.0, None], dtype=object)), TypeError, "lon"),
    ((34.0, np.array([1 + 2j])), TypeError, "lon"),
    ((np.array([True, False]), -117.0), TypeError, "lat must be real numbers, not booleans"),
    ((34.0, False), TypeError, "lon"),
    ((np.zeros(3), np.zeros(4)), ValueError, "lat (3,), lon (4,)"),
    (([[1.0, 2.0], [3.0]], 1.0), TypeError, "lat"),
])
def test_bad_inputs_name_the_argument(args, error, words):
    with pytest.raises(error) as info:
        gridwise.Geodesy().geo_to_grid(*args)
    assert words in str(info.value)


def test_bad_settings_and_text():
    with pytest.raises(FileNotFoundError, match="no-such.ini"):
        gridwise.Geodesy.from_settings(ROOT / "no-such.ini", "geodesy")
    with pytest.raises(KeyError, match="no-such-section"):
        gridwise.Geodesy.from_settings(SURVEY, "no-such-section")
    with pytest.raises(TypeError):
        gridwise.Geodesy.from_settings(SURVEY, 3)
    init = gridwise.Geodesy().init_string
    for text, datum in [("garbage", None), ("", None), ("2,x", None), ("0,too,few", None),
                        (init, "WGS 84,6378137"), (init, "WGS 84,abc,298,WGS 84,0,0,0,0,0,0,0"),
                        (init, "WGS 84,6378137,298,WGS 84,0,0,0,0,x,0,0"), (init + "\0", None)]:
        with pytest.raises(ValueError) as info:
            gridwise.Geodesy.from_text(text, datum)
        assert str(info.value), text


@pytest.mark.parametrize("init,words", [
    ("0,UTM,E9,0.00,500000.00,abc,0,0", "field 6 (scale factor) does not read: abc"),
    ("0,UTM,E9,nan,500000.00,0.9996,0,0", "field 4 (false northing)"),
    ("0,UTM,E9,0,500000,0.9996,N95,0", "field 7 (latitude of origin)"),
])
def test_unreadable_fields_are_refused(init, words):
    with pytest.raises(ValueError) as info:
        gridwise.Geodesy.from_text(init)
    assert words in str(info.value)


def test_latin1_and_comma_names_travel_unchanged(tmp_path):
    settings = tmp_path / "old.ini"
    settings.write_bytes(b"[s]\nGeodesyType=0\nprojName=Z\xfcrich, Nord\ndatumName=Caf\xe9, old\n")
    g = gridwise.Geodesy.from_settings(settings, "s")
    init, datum = g.to_text()
    assert init.startswith("0,Z\udcfcrich  Nord,")
    assert datum.split(",")[3] == "Caf\udce9  old"
    assert gridwise.Geodesy.from_text(init, datum) == g
    assert pickle.loads(pickle.dumps(g)) == g
    assert g.describe().datum[0].encode("utf-8", "surrogateescape") == b"Datum:Caf\xe9, old"


def test_bad_points_status_and_errcheck():
    g = gridwise.Geodesy()
    lat = np.array([[34.0, np.nan], [91.0, np.inf]])
    north, east, st = g.geo_to_grid(lat, -117.0, status=True)
    np.testing.assert_array_equal(st, [[0, 1], [2, 1]])
    assert np.isfinite(north[0, 0]) and np.isnan(north[0, 1]) and np.isnan(east[1, 0])
    with pytest.raises(gridwise.ConversionError) as info:
        g.geo_to_grid(lat, -117.0, errcheck=True)
    e = info.value
    assert (e.index, e.flat_index, e.status) == ((0, 1), 1, 1)
    assert "lat=nan" in str(e) and "(0, 1)" in str(e)
    with pytest.raises(gridwise.ConversionError, match="domain") as info:
        g.geo_to_grid([91.0], [-117.0], errcheck=True)
    assert info.value.status == 2 and isinstance(info.value, ValueError)
    _, _, scalar_status = g.geo_to_grid(91.0, -117.0, status=True)
    assert scalar_status == 2 and isinstance(scalar_status, int)
    with pytest.raises(gridwise.ConversionError, match="lon2=inf"):
        g.inverse(1.0, 1.0, 2.0, math.inf, errcheck=True)
    # The footpoint iteration of a very flat ellipsoid does not settle everywhere.
    flat = gridwise.Geodesy.from_text(g.init_string, "flat,6378137,100,flat,0,0,0,0,0,0,0")
    north = np.linspace(-9e6, 9e6, 200)
    _, _, st = flat.grid_to_geo(north, 900000.0, status=True)
    assert 3 in st


def test_threads_convert_at_once_on_one_object():
    g = gridwise.Geodesy.from_settings(SURVEY, "california-5")
    rng = np.random.default_rng(7)
    lat, lon = rng.uniform(32, 37, 200_000), rng.uniform(-121, -115, 200_000)
    want = g.geo_to_grid(lat, lon)
    results = [None] * 4
    start = threading.Barrier(4)

    def work(i):
        start.wait()
        results[i] = g.geo_to_grid(lat, lon)

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for r in results:
        np.testing.assert_array_equal(r[0], want[0])
        np.testing.assert_array_equal(r[1], want[1])
