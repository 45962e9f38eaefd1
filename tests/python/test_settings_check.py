# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""The settings check from Python: errors refuse a section (ValueError naming
every one), warnings are warned of, lenient reads as the host interface does."""
import warnings

import pytest

import gridwise

from conftest import SURVEY


@pytest.mark.parametrize("lines, key, words", [
    ("scaleFactor=0,9996", "scaleFactor", "decimal comma"),
    ("GeodesyType=4\nlonOfOrigin=E070", "lonOfOrigin", "meridian 0"),
    ("GeodesyType=9", "GeodesyType", "names no projection"),
    ("aAxis=6378.137", "aAxis", "between 6000000 and 7000000"),
])
def test_errors_refuse_the_section(tmp_path, lines, key, words):
    path = tmp_path / "s.ini"
    path.write_text(f"[s]\n{lines}\n")
    with pytest.raises(ValueError) as e:
        gridwise.check_settings(path, "s")
    assert len(e.value.problems) == 1 and key in e.value.problems[0] and words in e.value.problems[0]
    with pytest.raises(ValueError, match=key):
        gridwise.Geodesy.from_settings(path, "s")
    with pytest.warns(gridwise.SettingsWarning, match=key):
        gridwise.Geodesy.from_settings(path, "s", lenient=True)


def test_warnings_and_clean_files(tmp_path):
    path = tmp_path / "s.ini"
    path.write_text("[s]\nfalseEasting=600000\n[units]\nlatLongStyle=1\n")
    with pytest.warns(gridwise.SettingsWarning, match="did you mean falseEast"):
        g = gridwise.Geodesy.from_settings(path, "s")
    assert float(g.geo_to_grid(34.0, -117.0)[1]) == pytest.approx(500000.0)
    with pytest.warns(gridwise.SettingsWarning, match="did you mean latLonStyle"):
        gridwise.Units.from_settings(path)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert gridwise.check_settings(SURVEY) is None
        gridwise.Geodesy.from_settings(SURVEY, "georgia-west")
    no_units = tmp_path / "n.ini"
    no_units.write_text("[unit]\ndistUnits=1\n")
    with pytest.raises(ValueError, match=r"no section \[units\] \(did you mean \[unit\]\?\)"):
        gridwise.check_settings(no_units, units=True)
