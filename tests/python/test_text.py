# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Units and the text forms of angles, distances and dates."""

import datetime
import math
import subprocess

import numpy as np
import pytest

import gridwise
from conftest import ROOT, SURVEY, tool


def test_angles_round_trip_within_half_a_last_decimal():
    values = np.array([0.0, 33.75525333, -84.39003, 89.9999999, -0.5, 179.99999])
    for style, decimals, half in [(0, 3, 0.5e-3 / 3600), (0, 0, 0.5 / 3600), (1, 4, 0.5e-4 / 60)]:
        lats = gridwise.lat_to_str(np.clip(values, -90, 90), decimals, style)
        lons = gridwise.lon_to_str(values, decimals, style)
        assert lats.shape == values.shape
        np.testing.assert_allclose(gridwise.parse_angle(lats), np.clip(values, -90, 90), atol=half * 1.0001)
        np.testing.assert_allclose(gridwise.parse_angle(lons), values, atol=half * 1.0001)


@pytest.mark.parametrize("text,value", [
    ("N33 45 18.912", 33 + 45 / 60 + 18.912 / 3600),
    ("W084 23.4018", -(84 + 23.4018 / 60)),
    ("12.5", 12.5),
    ("  -12 30  ", -12.5),
    ("33 30 00 S", -33.5),
])
def test_parse_angle_forms(text, value):
    assert gridwise.parse_angle(text) == pytest.approx(value, abs=1e-12)


def test_parse_angle_reads_long_numbers_to_the_last_bit():
    for text in ("34.03333333333333", "-117.00000000001", "-89.9999999999"):
        assert gridwise.parse_angle(text) == float(text)
    assert gridwise.parse_angle("S34 02.00000000000012") == -(34 + 2.00000000000012 / 60)


@pytest.mark.parametrize("bad", ["", "abc", "N", "12 30 x", "12,5", "12\0", "1.2.3"])
def test_parse_angle_refuses_what_is_not_an_angle(bad):
    with pytest.raises(ValueError):
        gridwise.parse_angle(bad)


# Each line: LAT LON AZIMUTH DISTANCE for `direct`, LAT1 LON1 LAT2 LON2 for `inverse`;
# the end points land on a rounding carry, the hemispheres and the zero latitude.
DIRECT_LINES = ["33.755253,-84.39003,45,1000", "-33.9,151.2,200,12.345678", "0,0,0,0",
                "10.9999999,-0.0000001,90,0", "N52 05.1240,E004 52.1160,271.5,0.25"]
INVERSE_LINES = ["33.755253,-84.39003,34,-117", "-33.9,151.2,-34,151.3", "0,0,0,0.5", "52,4,52,4"]


def run_tool(command, lines, *options):
    result = subprocess.run([tool(), command, "--text", *options], input="\n".join(lines) + "\n",
                            capture_output=True, text=True, check=True)
    return result.stdout.splitlines()


def test_units_writers_give_the_tools_text_for_every_style_and_unit(tmp_path):
    g = gridwise.Geodesy()
    cases = [(None, None)] + [(style, unit) for style in (0, 1, 2) for unit in range(5)]
    for style, unit in cases:
        if style is None:  # no unit settings at all: the defaults on both sides
            options, units = (), gridwise.Units()
        else:
            path = tmp_path / f"units-{style}-{unit}.ini"
            path.write_text(f"[units]\ndistUnits={unit}\nlatLonStyle={style}\n")
            options, units = ("--units", str(path)), gridwise.Units.from_settings(path)
        fields = [line.split(",") for line in DIRECT_LINES]
        lat, lon, az = (units.parse_angle([f[k] for f in fields]) for k in range(3))
        lat2, lon2 = g.direct(lat, lon, az, units.parse_distance([f[3] for f in fields]))
        want = [f"{a},{b}" for a, b in zip(units.lat_to_str(lat2), units.lon_to_str(lon2))]
        assert run_tool("direct", DIRECT_LINES, *options) == want, (style, unit)
        fields = np.array([units.parse_angle(line.split(",")) for line in INVERSE_LINES])
        _, dist = g.inverse(*fields.T)
        assert [line.split(",")[-1] for line in run_tool("inverse", INVERSE_LINES, *options)] == units.dist_to_str(dist).tolist(), \
            (style, unit)
    # The survey file asks for degrees, minutes and seconds.
    assert gridwise.Units.from_settings(SURVEY).lat_to_str(33.755253) == "N33 45 18.911"


@pytest.mark.parametrize("write", [gridwise.lat_to_str, gridwise.lon_to_str, gridwise.Units().lat_to_str,
                                   gridwise.Units().dist_to_str, gridwise.time_to_str])
def test_writers_refuse_what_has_no_text(write):
    for bad in (math.nan, math.inf, -math.inf):
        with pytest.raises(ValueError, match="no text form"):
            write(bad)
    if write is not gridwise.time_to_str:
        with pytest.raises(ValueError, match=r"\[1\]"):
            write([1.0, math.nan])
        with pytest.raises(TypeError, match="booleans"):
            write(np.array([True]))
        # A masked entry is not written, whatever it holds.
        text = write(np.ma.masked_array([1.0, math.nan], mask=[False, True]))
        assert text[0] == write(1.0) and text.mask.tolist() == [False, True]


def test_writers_keep_to_their_ranges():
    # A latitude or longitude out of range has no text (the library's writers would
    # give a zero text for it): ValueError, naming the value; the limits are written.
    for write, bad in [(gridwise.lat_to_str, 90.1), (gridwise.lat_to_str, -95.0), (gridwise.lon_to_str, 180.0001),
                       (gridwise.lon_to_str, -183.5), (gridwise.Units().lon_to_str, 181.0)]:
        with pytest.raises(ValueError, match="outside"):
            write(bad)
    with pytest.raises(ValueError, match=r"lat\[1\]"):
        gridwise.lat_to_str([45.0, 90.5])
    assert gridwise.lat_to_str([90.0, -90.0], 0, 1).tolist() == ["N90 00", "S90 00"]
    assert gridwise.lon_to_str([180.0, -180.0], 0, 1).tolist() == ["E180 00", "W180 00"]
    with pytest.raises(ValueError, match="0..6"):
        gridwise.lat_to_str(1.0, 7)
    with pytest.raises(ValueError, match="0..9"):
        gridwise.Units().dist_to_str(1.0, decimals=-1)
    for t in (-2208988800.5, 4102444800.0, 1e300):
        with pytest.raises(ValueError, match="1900 to 2099"):
            gridwise.time_to_str(t)
    # A distance is written whole, however long.
    assert gridwise.Units().dist_to_str(1e300) == f"{1e300:.2f}m"


def test_distances_in_units():
    survey = gridwise.Units.from_settings(SURVEY)
    text = survey.dist_to_str(1000.0)
    assert text.endswith("ft")
    assert survey.parse_distance(text) == pytest.approx(1000.0, abs=0.005 * 1200 / 3937)  # two decimals
    u = gridwise.Units()
    for meters in (0.0, 1234.5678, 1e6):
        for unit in range(5):
            t = u.dist_to_str(meters, unit=unit, decimals=6 if meters < 1e5 else 3)
            assert u.parse_distance(t, unit=unit) == pytest.approx(meters, rel=1e-6, abs=1e-5)
    # "ft" is the international foot where feet are the unit, the US survey foot elsewhere.
    assert u.parse_distance("1000ft", unit=1) == pytest.approx(304.8, abs=1e-9)
    assert u.parse_distance("1000ft") == pytest.approx(1000 * 1200 / 3937, abs=1e-9)
    assert u.parse_distance("100", unit=1) == pytest.approx(30.48)
    assert u.parse_distance(["1km", "2 km"]).tolist() == [1000.0, 2000.0]
    # Numbers read whole, however long; two points are no number.
    assert u.parse_distance("2296583.33333ft", unit=1) == 2296583.33333 * 0.3048
    assert u.parse_distance("1000000.000000m") == 1e6
    for bad in ("", "ft", "12 parsecs", "1.2.3m"):
        with pytest.raises(ValueError):
            u.parse_distance(bad)
    with pytest.raises(ValueError, match="unit 7"):
        u.dist_to_str(1.0, unit=7)


def test_dates():
    t = 1700000000.25
    text = gridwise.time_to_str(t)
    assert text == "11-14-23 22:13:20.2"
    assert gridwise.parse_time(text) == pytest.approx(1700000000.2, abs=1e-6)
    assert gridwise.time_to_str(datetime.datetime(2023, 11, 14, 22, 13, 20)) == "11-14-23 22:13:20.0"
    aware = datetime.datetime(2023, 11, 14, 23, 13, 20, tzinfo=datetime.timezone(datetime.timedelta(hours=1)))
    assert gridwise.time_to_str(aware) == "11-14-23 22:13:20.0"
    assert gridwise.parse_time(["01-02-99", "01-02-03 04:05:06"]).tolist() == [
        915235200.0, 1041480306.0]
    for bad in ("", "13-01-20", "hello"):
        with pytest.raises(ValueError):
            gridwise.parse_time(bad)
    with pytest.raises(TypeError):
        gridwise.time_to_str("11-14-23")


def test_units_settings_errors(tmp_path):
    with pytest.raises(FileNotFoundError):
        gridwise.Units.from_settings(ROOT / "no-such.ini")
    plain = tmp_path / "plain.ini"
    plain.write_text("[geodesy]\nGeodesyType=0\n")
    with pytest.raises(KeyError, match="units"):
        gridwise.Units.from_settings(plain)


def test_results_stay_in_range_for_their_text():
    """Results across 180 degrees and over a pole come back in range, so their text
    is the real position; a point outside the North Sea correction's area is refused."""
    g = gridwise.Geodesy()
    lat, lon = g.direct([0.0, 89.9, 34.0], [179.9999, 0.0, 30.0], [90.0, 0.0, 0.0], [1000.0, 22338.79, -1000.0])
    assert gridwise.lon_to_str(lon, 4, 1).tolist() == ["W179 59.4670", "E180 00.0000", "E030 00.0000"]
    assert gridwise.lat_to_str(lat, 4, 1).tolist() == ["N00 00.0000", "N89 54.0000", "N33 59.4591"]
    north_sea = gridwise.Geodesy.from_text(g.init_string, "International 1924,6378388,297,ED50(N Sea),-87,-98,-121,0,0,0,0")
    lat, lon, _, st = north_sea.from_wgs84([56.0, 90.0, 45.0], [3.0, 0.0, 179.9999], status=True)
    assert st.tolist() == [0, gridwise.STATUS_OUT_OF_DOMAIN, gridwise.STATUS_OUT_OF_DOMAIN]
    assert np.isnan(lat[1:]).all() and abs(lat[0] - 56.0007) < 1e-4
    with pytest.raises(gridwise.ConversionError):
        north_sea.to_wgs84(90.0, 0.0, errcheck=True)
