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


def tool():
    """The gridwise tool of the build the package comes from (GRIDWISE_TOOL names
    it), or a skip."""
    import gridwise
    path = os.environ.get("GRIDWISE_TOOL") or os.fspath(pathlib.Path(gridwise.__file__).parents[2] / "gridwise")
    if not os.access(path, os.X_OK):
        pytest.skip(f"no gridwise tool at {path}")
    return path
