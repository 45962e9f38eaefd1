# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
import os
import pathlib

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
SURVEY = ROOT / "data" / "survey" / "settings.ini"
SAMPLE = ROOT / "data" / "sample-settings.ini"


@pytest.fixture(autouse=True)
def _own_settings_folder(tmp_path, monkeypatch):
    """Bare settings names resolve in a folder of the test's own."""
    folder = tmp_path / "settings"
    folder.mkdir()
    monkeypatch.setenv("GRIDWISE_SETTINGS_DIR", os.fspath(folder))
    return folder
