# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""The Python page's examples and the Dask example script run as they stand."""

import os
import re
import subprocess
import sys

import pytest

from conftest import ROOT


def run(args, cwd, tmp_path):
    env = dict(os.environ, TMPDIR=os.fspath(tmp_path / "tmp"))
    (tmp_path / "tmp").mkdir()
    return subprocess.run([sys.executable, *args], cwd=cwd, env=env, capture_output=True, text=True, timeout=300)


def test_python_page_examples_run_in_turn(tmp_path):
    pytest.importorskip("dask.dataframe")
    blocks = re.findall(r"^```python\n(.*?)^```", (ROOT / "docs" / "python.md").read_text(), re.M | re.S)
    assert len(blocks) >= 4
    work = tmp_path / "checkout"
    work.mkdir()
    (work / "data").symlink_to(ROOT / "data")
    (work / "page.py").write_text("\n".join(blocks))
    result = run(["page.py"], work, tmp_path)
    assert result.returncode == 0, result.stderr
    # What the page says of the file it writes.
    assert (work / "marks-grid.csv").read_text().splitlines()[1] == "Five-Points,1366078.21,2228695.29"
    assert sorted(p.name for p in work.glob("grid-*.csv")) == [f"grid-{i}.csv" for i in range(4)]


def test_dask_example_leaves_nothing_behind(tmp_path):
    pytest.importorskip("distributed")
    out = tmp_path / "out"
    result = run([os.fspath(ROOT / "examples" / "dask_convert.py"), "--points", "20000", "--partitions", "4",
                  "--format", "csv", "--output", os.fspath(out)], tmp_path, tmp_path)
    assert result.returncode == 0, result.stderr
    assert "20000 points converted" in result.stdout and "(0 could not be converted)" in result.stdout
    assert os.listdir(tmp_path / "tmp") == []
    assert len(list(out.glob("grid-*.csv"))) == 4
