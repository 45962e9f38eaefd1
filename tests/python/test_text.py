# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Units and the text forms of angles, distances and dates."""

import datetime

import numpy as np
import pytest

import gridwise
from conftest import ROOT, SURVEY


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


@pytest.mark.parametrize("bad", ["", "abc", "N", "12 30 x", "12,5", "12\0"])
def test_parse_angle_refuses_what_is_not_an_angle(bad):
    with pytest.raises(ValueError):
        gridwise.parse_angle(bad)


def test_writers_of_the_units_object_follow_its_style():
    survey = gridwise.Units.from_settings(SURVEY)
    assert survey.lat_lon_style == 1 and survey.dist_units == 2
    assert survey.lat_to_str(33.5) == "N33 30.0000"
    assert gridwise.Units().lat_to_str(33.5) == "N33 30 00.000"
    assert gridwise.lat_to_str(95.0) == "N00 00 00.000"


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
    # The reader takes twelve digits and points at most: a longer number is refused,
    # not read in part.
    for bad in ("", "ft", "12 parsecs", "1000000.000000m"):
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
