#!/usr/bin/python3
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Accuracy pictures and tables: how far our written projection formulas and
geodesic solutions are from exact references.

Each projection converts a dense set of points with the gridwise tool; the
same points go through an exact peer (GeographicLib's exact transverse
Mercator, PROJ's Lambert conformal conic, polar stereographic and oblique
stereographic through pyproj, GeographicLib's geodesic through pyproj.Geod).
The forward error is the distance in the grid between our northing/easting
and the peer's; the inverse error is the distance on the ground between the
point our grid-to-geographic conversion returns for the peer's exact grid
coordinates and the point the peer started from. Besides the even grids, the
hard places are measured apart: rings around the pole of the polar
stereographic grid and nearly antipodal geodesics.

The pictures go to docs/accuracy/; the measured figures go into docs/accuracy.md
as tables between marker comments ("<!-- measured NAME: ... -->" and
"<!-- end of measured NAME -->"), replacing what is there.

    /usr/bin/python3 scripts/accuracy-plots.py [BUILD]            pictures and tables
    /usr/bin/python3 scripts/accuracy-plots.py [BUILD] --numbers  tables only
    /usr/bin/python3 scripts/accuracy-plots.py [BUILD] --check    exit 1 when the page's
                                                                  tables differ from
                                                                  the measured ones

BUILD is the build folder (default: build). Debian packages that are missing
(python3-numpy, python3-pyproj, geographiclib-tools, and python3-matplotlib
when drawing) are installed with apt-get, as root or through sudo, except with
--check, which only reports them. The gridwise tool is built in BUILD when it
is not there. The tool runs on its one-point code (GRIDWISE_SIMD=scalar), so
the tables are the same on every processor.
"""

import argparse
import importlib
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
GEOGRAPHICLIB_TM = "TransverseMercatorProj"

# Thresholds every summary and picture uses, metres.
THRESHOLDS = [(1e-3, "1 mm"), (1e-2, "1 cm"), (1.0, "1 m")]
# Colour scale of the error maps, metres: below 1 nm the tool's printed
# precision is reached.
VMIN, VMAX = 1e-9, 1e4


# ---------------------------------------------------------------- set-up


def missing_packages(drawing):
    missing = []
    modules = [("numpy", "python3-numpy"), ("pyproj", "python3-pyproj")]
    if drawing:
        modules.append(("matplotlib", "python3-matplotlib"))
    for module, package in modules:
        try:
            importlib.import_module(module)
        except ImportError:
            missing.append(package)
    if geographiclib_tool(GEOGRAPHICLIB_TM) is None:
        missing.append("geographiclib-tools")
    return missing


def geographiclib_tool(name):
    debian = Path("/usr/bin") / name
    if debian.is_file():
        return str(debian)
    return shutil.which(name)


def install(packages):
    prefix = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    print("installing " + " ".join(packages), flush=True)
    cmd = prefix + ["apt-get", "install", "-y", "--no-install-recommends"] + packages
    if subprocess.run(cmd, env=env).returncode != 0:
        # The package lists may be missing or stale on a fresh machine.
        subprocess.run(prefix + ["apt-get", "update"], env=env, check=True)
        subprocess.run(cmd, env=env, check=True)
    importlib.invalidate_caches()


def ensure_packages(drawing):
    missing = missing_packages(drawing)
    if missing:
        install(missing)
        still = missing_packages(drawing)
        if still:
            sys.exit("accuracy-plots: still missing after installing: " + " ".join(still))


def gridwise_tool(build):
    build = Path(build)
    if not build.is_absolute():
        build = ROOT / build
    tool = build / "gridwise"
    if not tool.is_file():
        if not (build / "CMakeCache.txt").is_file():
            subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
                            "-DCMAKE_BUILD_TYPE=Release"], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "gridwise-cli"], check=True)
    if not tool.is_file():
        sys.exit("accuracy-plots: no gridwise tool in " + str(build))
    return str(tool)


# ------------------------------------------------------- running the tools


SETTINGS = """\
[tm]
GeodesyType=0
projName=TM accuracy
originLon=E000 00.0000
originLat=N00 00.0000
falseNorth=0.000
falseEast=500000.000
scaleFactor=0.999600
units=0
aAxis=6378137.00
inverseFlattening=298.257223563
ellipseName=WGS 84
datumName=WGS 84

[lambert]
GeodesyType=1
projName=California zone 5
latOfOrigin=N33 30.0000
lonOfOrigin=W118 00.0000
firstParallel=N34 02.0000
secondParallel=N35 28.0000
falseNorth=500000.000
falseEast=2000000.000
units=0
aAxis=6378137.00
inverseFlattening=298.257222101
ellipseName=GRS 80
datumName=NAD83

[polar]
GeodesyType=4
projName=Universal Polar Stereo
lonOfOrigin=E000 00.0000
latOfOrigin=N90 00.0000
scaleFactor=0.994000
falseNorth=2000000.000
falseEast=2000000.000
units=0
aAxis=6378137.00
inverseFlattening=298.257223563
ellipseName=WGS 84
datumName=WGS 84

[rd]
GeodesyType=7

[geodesic]
GeodesyType=0
aAxis=6378137.00
inverseFlattening=298.257223563
ellipseName=WGS 84
datumName=WGS 84
"""

# The same projections as PROJ strings (angles as the settings above give them).
LAMBERT_PROJ = ("+proj=lcc +lat_1={} +lat_2={} +lat_0=33.5 +lon_0=-118 +x_0=2000000 +y_0=500000 "
                "+ellps=GRS80 +units=m +no_defs").format(34 + 2 / 60, 35 + 28 / 60)
POLAR_PROJ = ("+proj=stere +lat_0=90 +lon_0=0 +k=0.994 +x_0=2000000 +y_0=2000000 "
              "+ellps=WGS84 +units=m +no_defs")
# The Dutch grid's oblique stereographic projection on Bessel 1841, without a
# datum shift: our series take and give Bessel latitudes and longitudes.
RD_PROJ = ("+proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 "
           "+x_0=155000 +y_0=463000 +ellps=bessel +units=m +no_defs")


class Runner:
    def __init__(self, tool, scratch):
        self.tool = tool
        self.scratch = Path(scratch)
        self.settings = self.scratch / "accuracy.ini"
        self.settings.write_text(SETTINGS)

    def gridwise(self, command, section, columns, decimals=9):
        """Runs one gridwise command over the rows of columns; returns its
        numeric output fields as columns, NaN where it wrote an ERROR line."""
        import numpy as np

        src = self.scratch / "in.txt"
        dst = self.scratch / "out.txt"
        write_columns(src, columns)
        # Exit status 1 only says that some lines are ERROR lines. The one-point
        # code (the scalar tier) gives the same doubles on every processor, so
        # the measured tables do not depend on the machine's vector units.
        done = subprocess.run([self.tool, command, "--settings", str(self.settings), "--section", section,
                               "-p", str(decimals), "--quiet", "--input-file", str(src),
                               "--output-file", str(dst)], env=dict(os.environ, GRIDWISE_SIMD="scalar"))
        if done.returncode not in (0, 1):
            sys.exit("accuracy-plots: gridwise %s failed (exit status %d)" % (command, done.returncode))
        lines = dst.read_text().splitlines()
        n = len(columns[0])
        if len(lines) != n:
            sys.exit("accuracy-plots: gridwise %s wrote %d lines for %d points" % (command, len(lines), n))
        bad = np.array([line.startswith("ERROR") for line in lines])
        text = "\n".join("nan nan" if b else line for b, line in zip(bad, lines))
        values = read_numbers(text, n)
        return [values[:, k] for k in range(values.shape[1])], bad

    def geographiclib_tm(self, lat, lon):
        """Exact transverse Mercator (GeographicLib, WGS 84, k0 0.9996, central
        meridian 0): easting without the false easting, northing."""
        import numpy as np

        src = self.scratch / "tm-in.txt"
        dst = self.scratch / "tm-out.txt"
        write_columns(src, [lat, lon])
        subprocess.run([geographiclib_tool(GEOGRAPHICLIB_TM), "-l", "0", "-k", "0.9996", "-p", "9",
                        "--input-file", str(src), "--output-file", str(dst)], check=True)
        values = read_numbers(dst.read_text(), len(lat))
        return values[:, 0], values[:, 1]


def write_columns(path, columns):
    # Every value is a whole number over a power of ten of at most 1e9 (see
    # decimal_values), so 12 decimals write it exactly and every tool reads back
    # the same double.
    row = " ".join(["%.12f"] * len(columns))
    text = "\n".join(row % values for values in zip(*(c.tolist() for c in columns)))
    Path(path).write_text(text + "\n")


def read_numbers(text, rows):
    """The blank-separated numbers of text as rows x columns ("nan" reads as NaN)."""
    import numpy as np

    values = np.fromstring(text, sep=" ")
    return values.reshape(rows, -1)


def decimal_values(start, stop, step, scale=10000):
    """start..stop by step as whole numbers over scale: each is the double
    nearest to its decimal text, so our tool and the peers see the same value."""
    import numpy as np

    a, b, s = (int(round(v * scale)) for v in (start, stop, step))
    return np.arange(a, b + s // 2, s) / scale


def ground_distance(geod, lat1, lon1, lat2, lon2):
    """Geodesic distance between points, metres (NaN where one is missing)."""
    import numpy as np

    ok = np.isfinite(lat1) & np.isfinite(lon1) & np.isfinite(lat2) & np.isfinite(lon2)
    out = np.full(lat1.shape, np.nan)
    if ok.any():
        _, _, d = geod.inv(lon1[ok], lat1[ok], lon2[ok], lat2[ok])
        out[ok] = d
    return out


# ------------------------------------------------------------- pictures


def error_norm():
    from matplotlib.colors import LogNorm

    return LogNorm(vmin=VMIN, vmax=VMAX)


def error_cmap():
    import matplotlib

    cmap = matplotlib.colormaps["viridis"].copy()
    cmap.set_bad("#d0d0d0")  # no result
    cmap.set_under(cmap(0.0))
    cmap.set_over("#7f0000")
    return cmap


CONTOUR_STYLE = [("white", "-"), ("#ffb000", "-"), ("#ff3030", "-")]


def error_panel(ax, x, y, err, title, xlabel, ylabel, polar=False):
    """Error map with contours at 1 mm, 1 cm and 1 m; err has shape (len(y), len(x))."""
    import numpy as np

    shown = np.where(np.isfinite(err), np.maximum(err, VMIN * 1.0001), np.nan)
    mesh = ax.pcolormesh(x, y, np.ma.masked_invalid(shown), norm=error_norm(), cmap=error_cmap(),
                         shading="nearest", rasterized=True)
    logerr = np.log10(np.where(np.isfinite(err), np.maximum(err, VMIN), np.nan))
    for (level, label), (colour, style) in zip(THRESHOLDS, CONTOUR_STYLE):
        lv = math.log10(level)
        if np.nanmin(logerr) < lv < np.nanmax(logerr):
            ax.contour(x, y, logerr, levels=[lv], colors=[colour], linestyles=style, linewidths=1.3)
    ax.set_title(title, fontsize=10)
    if not polar:
        ax.set_xlabel(xlabel)
        ax.set_ylabel(ylabel)
    return mesh


def contour_legend(ax):
    from matplotlib.lines import Line2D

    handles = [Line2D([], [], color=colour, linestyle=style, linewidth=1.5, label=label)
               for (_, label), (colour, style) in zip(THRESHOLDS, CONTOUR_STYLE)]
    legend = ax.legend(handles=handles, loc="upper right", fontsize=8, title="error", title_fontsize=8,
                       facecolor="0.55", framealpha=0.85, labelcolor="white")
    legend.get_title().set_color("white")


def colourbar(fig, mesh, axes, label):
    contour_legend(axes[0])
    cb = fig.colorbar(mesh, ax=axes, extend="both", shrink=0.9, pad=0.02)
    cb.set_label(label)
    for level, text in THRESHOLDS:
        cb.ax.axhline(level, color="k", linewidth=0.8)
    cb.ax.set_yticks([1e-9, 1e-6, 1e-3, 1e-2, 1, 1e3])
    cb.ax.set_yticklabels(["1 nm", "1 µm", "1 mm", "1 cm", "1 m", "1 km"])
    return cb


def save(fig, path):
    fig.savefig(path, dpi=110, pil_kwargs={"optimize": True})
    import matplotlib.pyplot as plt

    plt.close(fig)
    print("  wrote %s (%d KB)" % (path.relative_to(ROOT) if path.is_relative_to(ROOT) else path,
                                  path.stat().st_size // 1024))


# ---------------------------------------------------------- measured text


def fmt_len(m):
    """A length with two significant digits in a unit that suits it. Below 1 µm
    the errors are the last digits of the printed values and of the peers'
    arithmetic, which differ from one library version to the next."""
    if not math.isfinite(m):
        return "no result"
    if m < 1e-6:
        return "below 1 µm"
    units = (("km", 1e3), ("m", 1.0), ("cm", 1e-2), ("mm", 1e-3), ("µm", 1e-6))
    unit, size = next((u, z) for u, z in units if m >= z)
    v = m / size
    if v >= 100 and unit in ("µm", "m"):
        return "%.2f %s" % (v / 1000, "mm" if unit == "µm" else "km")
    return ("%.0f" if v >= 10 else "%.1f") % v + " " + unit


def fmt_signed(m):
    return ("-" if m < 0 else "") + fmt_len(abs(m))


def fmt_km(m):
    return "%.0f km" % (m / 1000) if m >= 1000 else fmt_len(m)


def md_table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(lines)


BEGIN = "<!-- measured %s: written by scripts/accuracy-plots.py, do not edit -->"
END = "<!-- end of measured %s -->"


def blocks_of(page):
    """The measured blocks of the page: name -> text between the markers."""
    import re

    found = {}
    for m in re.finditer(r"<!-- measured (\S+): written by scripts/accuracy-plots\.py, do not edit -->\n"
                         r"(.*?)\n<!-- end of measured \1 -->", page, re.S):
        found[m.group(1)] = m.group(2)
    return found


def put_blocks(page, tables):
    for name, text in tables.items():
        begin, end = BEGIN % name, END % name
        i, j = page.find(begin), page.find(end)
        if i < 0 or j < i:
            sys.exit("accuracy-plots: the page has no markers for the table %s" % name)
        page = page[:i + len(begin)] + "\n" + text + "\n" + page[j:]
    return page


# ---------------------------------------------------- transverse Mercator


def transverse_mercator(run, geod):
    import numpy as np

    print("transverse Mercator: our series against GeographicLib's exact projection", flush=True)
    offsets = decimal_values(0, 40, 0.1)   # longitude from the central meridian
    lats = decimal_values(0, 89.9, 0.1)
    lon, lat = np.meshgrid(offsets, lats)
    lat, lon = lat.ravel(), lon.ravel()

    (north, east), _ = run.gridwise("geo2grid", "tm", [lat, lon])
    x_ref, y_ref = run.geographiclib_tm(lat, lon)
    d_north, d_east = north - y_ref, east - 500000.0 - x_ref
    fwd = np.hypot(d_north, d_east)
    (lat_back, lon_back), _ = run.gridwise("grid2geo", "tm", [y_ref, x_ref + 500000.0])
    inv = ground_distance(geod, lat, lon, lat_back, lon_back)

    shape = (len(lats), len(offsets))
    d = dict(offsets=offsets, lats=lats, fwd=fwd.reshape(shape), inv=inv.reshape(shape),
             x_ref=x_ref.reshape(shape), d_north=d_north.reshape(shape), d_east=d_east.reshape(shape))

    # The meridian arc's share: the northing error on the central meridian,
    # the same at every longitude of that latitude.
    arc = d["d_north"][:, 0]
    d["series"] = np.hypot(d["d_north"] - arc[:, None], d["d_east"])
    slope = np.polyfit(lats, arc, 1)[0]
    bands = [(0, 30), (30, 60), (60, 75), (75, 89.9)]

    def reach(err, level, lo, hi):
        """Within how far of the central meridian every point of the band is
        within the level: degrees and km at the band's worst latitude."""
        over = ~(err <= level)
        first = np.where(over.any(axis=1), over.argmax(axis=1), len(offsets))
        inband = (lats >= lo) & (lats <= hi)
        k = first[inband].min()
        i = np.where(inband)[0][first[inband].argmin()]
        if k == 0:
            return "nowhere"
        if k == len(offsets):
            return "everywhere"
        return "%.2f° (%.0f km)" % (offsets[k - 1], abs(d["x_ref"][i, k - 1]) / 1000)

    rows = [["northing on the central meridian, per degree of latitude from the origin",
             "%.3f mm" % (slope * 1e3), ""]]
    for level, label in THRESHOLDS:
        good = lats[np.abs(arc) <= level]
        rows.append(["central meridian good to %s up to latitude" % label,
                     "%.1f°" % good.max() if len(good) and good.min() == 0 else "nowhere", ""])
    rows.append(["largest error within 3° of the central meridian (a UTM zone)",
                 fmt_len(np.nanmax(d["fwd"][:, offsets <= 3])), fmt_len(np.nanmax(d["inv"][:, offsets <= 3]))])
    rows.append(["the same without the meridian arc's share", fmt_len(np.nanmax(d["series"][:, offsets <= 3])), ""])
    rows.append(["largest error, up to 40° from the central meridian", fmt_len(np.nanmax(d["fwd"])),
                 fmt_len(np.nanmax(d["inv"]))])
    rows.append(["points without a result", "%d" % (~np.isfinite(d["fwd"])).sum(),
                 "%d" % (~np.isfinite(d["inv"])).sum()])
    reach_rows = []
    for name, err in (("to grid", d["fwd"]), ("to grid, without the arc's share", d["series"]),
                      ("back", d["inv"])):
        for level, label in THRESHOLDS:
            reach_rows.append(["%s, %s" % (name, label)] + [reach(err, level, lo, hi) for lo, hi in bands])
    table = md_table(["", "to grid", "back"], rows) + "\n\n" + md_table(
        ["good to ... within this longitude of the central meridian", "latitude 0-30°", "30-60°", "60-75°",
         "75-89.9°"], reach_rows)
    return d, {"tm": table}


def draw_transverse_mercator(d, out):
    import matplotlib.pyplot as plt

    offsets, lats = d["offsets"], d["lats"]
    fig, axes = plt.subplots(1, 2, figsize=(11, 5.2), constrained_layout=True)
    mesh = error_panel(axes[0], offsets, lats, d["fwd"],
                       "latitude/longitude to grid: distance from the exact grid point",
                       "longitude from the central meridian (degrees)", "latitude (degrees, either hemisphere)")
    error_panel(axes[1], offsets, lats, d["inv"],
                "grid to latitude/longitude: distance from the exact point",
                "longitude from the central meridian (degrees)", "latitude (degrees, either hemisphere)")
    for ax in axes:
        ax.axvline(3, color="k", linewidth=0.8, linestyle="--")
        ax.annotate("UTM zone\nedge (3°)", (3, 12), xytext=(3, 0), textcoords="offset points", fontsize=7.5)
    colourbar(fig, mesh, axes, "error (metres, log scale)")
    fig.suptitle("Transverse Mercator (WGS 84, k0 0.9996, latitude of origin 0): our series against "
                 "GeographicLib's exact transverse Mercator\n(the error is symmetric about the equator and "
                 "the central meridian)", fontsize=10.5)
    save(fig, out / "transverse-mercator.png")


# ---------------------------------------------------------------- Lambert


def lambert(run, geod):
    import numpy as np
    import pyproj

    print("Lambert conformal conic: ours against PROJ lcc", flush=True)
    proj = pyproj.Proj(LAMBERT_PROJ)
    offsets = decimal_values(-100, 100, 0.25)
    lats = decimal_values(-30, 89.75, 0.25)
    dlon, lat = np.meshgrid(offsets, lats)
    lat, dlon = lat.ravel(), dlon.ravel()
    lon = -118.0 + dlon
    lon = np.where(lon < -180, lon + 360, lon)
    lon = np.round(lon * 10000) / 10000   # whole numbers over 10000 again

    (north, east), _ = run.gridwise("geo2grid", "lambert", [lat, lon])
    x_ref, y_ref = proj(lon, lat)
    fwd = np.hypot(north - y_ref, east - x_ref)
    # Our grid stops 5000 km from the false origin; compare inside that frame.
    frame = (abs(x_ref - 2000000) < 5e6) & (abs(y_ref - 500000) < 5e6)
    (lat_back, lon_back), _ = run.gridwise("grid2geo", "lambert", [y_ref, x_ref])
    inv = ground_distance(geod, lat, lon, lat_back, lon_back)
    inv = np.where(frame, inv, np.nan)

    shape = (len(lats), len(offsets))
    d = dict(offsets=offsets, lats=lats, fwd=fwd.reshape(shape), inv=inv.reshape(shape))
    rows = [["points with a result (of %d)" % fwd.size, "%d" % np.isfinite(fwd).sum(), "%d" % np.isfinite(inv).sum()],
            ["largest error", fmt_len(np.nanmax(fwd)), fmt_len(np.nanmax(inv))]]
    for lo, hi in ((-30, -1), (-1, 1), (1, 20), (20, 50), (50, 90)):
        band = (lats >= lo) & (lats < hi)
        rows.append(["largest error, latitude %g° to %g°" % (lo, hi), fmt_len(np.nanmax(d["fwd"][band])),
                     fmt_len(np.nanmax(d["inv"][band]))])
    return d, {"lambert": md_table(["", "to grid", "back"], rows)}


def draw_lambert(d, out):
    import matplotlib.pyplot as plt

    offsets, lats = d["offsets"], d["lats"]
    fig, axes = plt.subplots(1, 2, figsize=(11, 5.0), constrained_layout=True)
    mesh = error_panel(axes[0], offsets, lats, d["fwd"], "latitude/longitude to grid: distance from PROJ's grid point",
                       "longitude from the central meridian 118° W (degrees)", "latitude (degrees)")
    error_panel(axes[1], offsets, lats, d["inv"], "grid to latitude/longitude: distance from the exact point",
                "longitude from the central meridian 118° W (degrees)", "latitude (degrees)")
    for ax in axes:
        for parallel in (34 + 2 / 60, 35 + 28 / 60):
            ax.axhline(parallel, color="k", linewidth=0.9, linestyle=":")
    colourbar(fig, mesh, axes, "error (metres, log scale); grey: no result")
    fig.suptitle("Lambert conformal conic (California zone 5 on GRS 80, standard parallels 34°02' and 35°28' "
                 "dotted) against PROJ lcc;\nresults stop 5000 km from the false origin", fontsize=10.5)
    save(fig, out / "lambert.png")


# ---------------------------------------------------- polar stereographic


def polar(run, geod):
    import numpy as np
    import pyproj

    print("polar stereographic: ours against PROJ stere", flush=True)
    proj = pyproj.Proj(POLAR_PROJ)

    def compare(lat, lon):
        (north, east), _ = run.gridwise("geo2grid", "polar", [lat, lon])
        x_ref, y_ref = proj(lon, lat)
        fwd = np.hypot(north - y_ref, east - x_ref)
        frame = (abs(x_ref - 2e6) < 1.11e6) & (abs(y_ref - 2e6) < 1.11e6)
        # The exact grid values as whole numbers of micrometres, so the tool
        # reads the same doubles PROJ is asked about.
        x_ref, y_ref = np.round(x_ref * 1e6) / 1e6, np.round(y_ref * 1e6) / 1e6
        lon_x, lat_x = proj(x_ref, y_ref, inverse=True)
        (lat_back, lon_back), _ = run.gridwise("grid2geo", "polar", [y_ref, x_ref])
        inv = np.where(frame, ground_distance(geod, lat_x, lon_x, lat_back, lon_back), np.nan)
        return fwd, inv

    lons = decimal_values(-180, 180, 0.5)
    lats = decimal_values(75, 90, 0.04)
    lon, lat = np.meshgrid(lons, lats)
    fwd, inv = compare(lat.ravel(), lon.ravel())
    shape = (len(lats), len(lons))
    d = dict(lons=lons, lats=lats, fwd=fwd.reshape(shape), inv=inv.reshape(shape))

    # Near the pole: rings from 0.1 mm to 100 km from it, every 7.5° of longitude.
    colat = np.unique(np.round(np.logspace(-9, 0, 91) * 1e9) / 1e9)
    ring_lon = decimal_values(-180, 172.5, 7.5)
    rlon, rcolat = np.meshgrid(ring_lon, colat)
    rlat = np.round((90 - rcolat.ravel()) * 1e9) / 1e9
    r_fwd, r_inv = compare(rlat, rlon.ravel())
    r_from_pole = geod.inv(np.zeros(rlat.size), np.full(rlat.size, 90.0), rlon.ravel(), rlat)[2]

    ok = np.isfinite(d["fwd"])
    rows = [["results down to latitude", "%.2f°" % lats[ok.any(axis=1)].min(),
             "%.2f°" % lats[np.isfinite(d["inv"]).any(axis=1)].min()],
            ["largest error, 75° N to the pole in steps of 0.04°", fmt_len(np.nanmax(d["fwd"])),
             fmt_len(np.nanmax(d["inv"]))]]
    for lo, hi, text in ((0, 1e-3, "under 1 mm"), (1e-3, 1.0, "1 mm to 1 m"), (1.0, 1e3, "1 m to 1 km"),
                         (1e3, 1.2e5, "1 km to 110 km")):
        near = (r_from_pole >= lo) & (r_from_pole < hi)
        rows.append(["largest error %s from the pole" % text,
                     fmt_len(np.nanmax(r_fwd[near])), fmt_len(np.nanmax(r_inv[near]))])
    worst = np.nanargmax(r_inv)
    rows.append(["worst point back near the pole: its distance from the pole", "",
                 "%s (off by %s)" % (fmt_len(r_from_pole[worst]), fmt_len(r_inv[worst]))])
    return d, {"polar": md_table(["", "to grid", "back"], rows)}


def draw_polar(d, out):
    import numpy as np
    import matplotlib.pyplot as plt

    lons, lats = d["lons"], d["lats"]
    fig, axes = plt.subplots(1, 2, figsize=(10.4, 5.0), subplot_kw={"projection": "polar"},
                             constrained_layout=True)
    theta = np.radians(lons)
    colat = 90 - lats
    titles = ("latitude/longitude to grid: distance from PROJ's grid point",
              "grid to latitude/longitude: distance from the exact point")
    for ax, err, title in zip(axes, (d["fwd"], d["inv"]), titles):
        # Drawn as the grid lies: longitude 0 points to grid south, 90° E to grid east.
        ax.set_theta_zero_location("S")
        ax.set_theta_direction(1)
        ax.grid(False)
        mesh = error_panel(ax, theta, colat, err, title, "", "", polar=True)
        ax.set_rmax(15)
        ax.set_rticks([5, 10, 15])
        ax.set_yticklabels(["85°N", "80°N", "75°N"], fontsize=8)
        ax.set_xticks(np.radians([0, 90, 180, 270]))
        ax.set_xticklabels(["0°", "90°E", "180°", "90°W"], fontsize=8)
        ax.set_facecolor("#d0d0d0")
        ax.grid(True, color="0.5", linewidth=0.4)
    colourbar(fig, mesh, list(axes), "error (metres, log scale); grey: no result")
    fig.suptitle("Polar stereographic (north, WGS 84, k0 0.994, false origin 2000 km) against PROJ stere;\n"
                 "results stop at the grid frame 890-3110 km; drawn as the grid lies (0° to grid south)",
                 fontsize=10.5)
    save(fig, out / "polar-stereographic.png")


# ------------------------------------------------------------------- RD


NL_BOX = (3.3, 7.3, 50.75, 53.6)   # west, east, south, north, degrees
PLACES = [("Amersfoort", 52.1552, 5.3872), ("Amsterdam", 52.3731, 4.8922), ("Groningen", 53.2194, 6.5665),
          ("Maastricht", 50.8514, 5.6910), ("Vlissingen", 51.4425, 3.5736), ("Brussels", 50.8503, 4.3517),
          ("Hamburg", 53.5511, 9.9937), ("London", 51.5072, -0.1276), ("Paris", 48.8566, 2.3522),
          ("Copenhagen", 55.6761, 12.5683), ("Frankfurt", 50.1109, 8.6821)]
# Where a place's name goes (offset in points, alignment) when the default spot is taken.
LABEL_PLACES = {"Brussels": ((-3, 2), "right"), "Vlissingen": ((3, -8), "left")}


def rd(run, geod_unused):
    import numpy as np
    import pyproj

    print("RD: our series against PROJ sterea on Bessel 1841", flush=True)
    proj = pyproj.Proj(RD_PROJ)
    bessel = pyproj.Geod(ellps="bessel")
    lons = decimal_values(-4, 15, 0.025)
    lats = decimal_values(46, 58.5, 0.025)
    lon, lat = np.meshgrid(lons, lats)
    lat, lon = lat.ravel(), lon.ravel()

    (north, east), _ = run.gridwise("geo2grid", "rd", [lat, lon])
    x_ref, y_ref = proj(lon, lat)
    fwd = np.hypot(north - y_ref, east - x_ref)
    (lat_back, lon_back), _ = run.gridwise("grid2geo", "rd", [y_ref, x_ref])
    inv = ground_distance(bessel, lat, lon, lat_back, lon_back)
    radius = np.hypot(x_ref - 155000, y_ref - 463000)

    shape = (len(lats), len(lons))
    d = dict(lons=lons, lats=lats, fwd=fwd.reshape(shape), inv=inv.reshape(shape))
    w, e, s, n = NL_BOX
    inbox = (lon >= w) & (lon <= e) & (lat >= s) & (lat <= n)
    rows = [["largest error in the box 50.75°-53.6° N, 3.3°-7.3° E", fmt_len(np.nanmax(fwd[inbox])),
             fmt_len(np.nanmax(inv[inbox]))]]
    for level, label in THRESHOLDS:
        cells = []
        for err in (fwd, inv):
            over = ~(err <= level)
            cells.append("%.0f km" % (radius[over].min() / 1000) if over.any() else "everywhere")
        rows.append(["good to %s within this distance of Amersfoort" % label] + cells)

    # The places marked on the map, one by one.
    p_lat = np.array([round(la * 10000) / 10000 for _, la, _ in PLACES])
    p_lon = np.array([round(lo * 10000) / 10000 for _, _, lo in PLACES])
    (pn, pe), _ = run.gridwise("geo2grid", "rd", [p_lat, p_lon])
    px, py = proj(p_lon, p_lat)
    (pla, plo), _ = run.gridwise("grid2geo", "rd", [py, px])
    p_fwd = np.hypot(pn - py, pe - px)
    p_inv = ground_distance(bessel, p_lat, p_lon, pla, plo)
    for (name, _, _), f, i, x, y in zip(PLACES, p_fwd, p_inv, px, py):
        rows.append(["%s (%.0f km from Amersfoort)" % (name, math.hypot(x - 155000, y - 463000) / 1000),
                     fmt_len(f), fmt_len(i)])
    return d, {"rd": md_table(["", "to grid", "back"], rows)}


def draw_rd(d, out):
    import matplotlib.pyplot as plt

    lons, lats = d["lons"], d["lats"]
    fig, axes = plt.subplots(1, 2, figsize=(11, 5.0), constrained_layout=True)
    mesh = error_panel(axes[0], lons, lats, d["fwd"], "latitude/longitude to grid: distance from exact grid point",
                       "longitude, Bessel 1841 (degrees)", "latitude, Bessel 1841 (degrees)")
    error_panel(axes[1], lons, lats, d["inv"], "grid to latitude/longitude: distance from the exact point",
                "longitude, Bessel 1841 (degrees)", "latitude, Bessel 1841 (degrees)")
    w, e, s, n = NL_BOX
    for ax in axes:
        ax.plot([w, e, e, w, w], [s, s, n, n, s], color="k", linestyle="--", linewidth=0.9)
        for name, la, lo in PLACES:
            ax.plot(lo, la, "o", color="k", markersize=2.5)
            offset, align = LABEL_PLACES.get(name, ((3, 2), "left"))
            ax.annotate(name, (lo, la), xytext=offset, textcoords="offset points", fontsize=7, ha=align)
        ax.set_aspect(1 / math.cos(math.radians(52.2)))
    colourbar(fig, mesh, axes, "error (metres, log scale)")
    fig.suptitle("RD (Dutch national grid): our power series against PROJ's oblique stereographic sterea "
                 "on Bessel 1841\n(EPSG:28992's projection without its datum shift); dashed: the Netherlands' "
                 "box 50.75-53.6° N, 3.3-7.3° E", fontsize=10.5)
    save(fig, out / "rd.png")


# -------------------------------------------------------------- geodesic


# Start and end points of lines the inverse table names one by one.
EXAMPLE_LINES = [(-10.516008205, -8.932976143, 10.564619418, 171.050513338)]


def geodesic(run, geod, count, antipodal):
    import numpy as np

    print("geodesic: our inverse and direct against GeographicLib (pyproj.Geod), %d random lines and %d "
          "nearly antipodal ones" % (count, antipodal), flush=True)
    rng = np.random.default_rng(20261210)
    # Start points uniform over the sphere, azimuths uniform, lengths uniform
    # in their logarithm from 1 m to 20000 km; all values whole numbers over 1e9.
    lat1 = np.round(np.degrees(np.arcsin(rng.uniform(-1, 1, count))) * 1e9) / 1e9
    lon1 = np.round(rng.uniform(-180, 180, count) * 1e9) / 1e9
    azi = np.round(rng.uniform(0, 360, count) * 1e9) / 1e9
    length = np.round(10 ** rng.uniform(0, 7.3, count) * 1e6) / 1e6
    lon2, lat2, _ = geod.fwd(lon1, lat1, azi, length)
    lat2 = np.round(lat2 * 1e9) / 1e9
    lon2 = np.round(lon2 * 1e9) / 1e9

    # Inverse: the distance against the exact one of the same two points.
    _, _, exact = geod.inv(lon1, lat1, lon2, lat2)
    (_, dist), _ = run.gridwise("inverse", "geodesic", [lat1, lon1, lat2, lon2])
    inv_err = np.abs(dist - exact)
    # Direct: our end point against the exact end point of the same line.
    (lat_end, lon_end), _ = run.gridwise("direct", "geodesic", [lat1, lon1, azi, length])
    lon_x, lat_x, _ = geod.fwd(lon1, lat1, azi, length)
    dir_err = ground_distance(geod, lat_x, lon_x, lat_end, lon_end)

    # Nearly antipodal points: the end point within 1° of latitude and 10° of
    # longitude of the start point's antipode.
    a_lat1 = np.round(np.degrees(np.arcsin(rng.uniform(-1, 1, antipodal))) * 1e9) / 1e9
    a_lon1 = np.round(rng.uniform(-180, 180, antipodal) * 1e9) / 1e9
    a_lat2 = np.round(np.clip(-a_lat1 + rng.uniform(-1, 1, antipodal), -90, 90) * 1e9) / 1e9
    a_lon2 = np.round(np.mod(a_lon1 + 180 + rng.uniform(-10, 10, antipodal) + 180, 360) * 1e9) / 1e9 - 180
    a_azi, _, a_exact = geod.inv(a_lon1, a_lat1, a_lon2, a_lat2)
    (_, a_dist), _ = run.gridwise("inverse", "geodesic", [a_lat1, a_lon1, a_lat2, a_lon2])
    a_inv_err = np.abs(a_dist - a_exact)
    a_azi = np.round(np.mod(a_azi, 360) * 1e9) / 1e9
    a_len = np.round(a_exact * 1e6) / 1e6
    (a_lat_end, a_lon_end), _ = run.gridwise("direct", "geodesic", [a_lat1, a_lon1, a_azi, a_len])
    a_lon_x, a_lat_x, _ = geod.fwd(a_lon1, a_lat1, a_azi, a_len)
    a_dir_err = ground_distance(geod, a_lat_x, a_lon_x, a_lat_end, a_lon_end)

    # Lines worth naming: start and end point.
    e_lat1, e_lon1, e_lat2, e_lon2 = (np.array(c) for c in zip(*EXAMPLE_LINES))
    _, _, e_exact = geod.inv(e_lon1, e_lat1, e_lon2, e_lat2)
    (_, e_dist), _ = run.gridwise("inverse", "geodesic", [e_lat1, e_lon1, e_lat2, e_lon2])

    d = dict(exact=exact, inv_err=inv_err, length=length, dir_err=dir_err, a_exact=a_exact, a_inv_err=a_inv_err,
             a_len=a_len, a_dir_err=a_dir_err)
    tables = {}
    for name, s, err, a_err in (("inverse", exact, inv_err, a_inv_err), ("direct", length, dir_err, a_dir_err)):
        rows = []
        for lo, hi in ((0, 60), (60, 80), (80, 90.1)):
            band = (abs(lat1) >= lo) & (abs(lat1) < hi)
            ob = np.argsort(s[band])
            sb, eb = s[band][ob], err[band][ob]
            cells = []
            for level, _ in THRESHOLDS:
                over = ~(eb <= level)
                cells.append(fmt_km(sb[over.argmax()]) if over.any() else "all")
            for a, b in ((0, 4e4), (4e4, 1e7), (1e7, 2.1e7)):
                sel = band & (s >= a) & (s < b)
                cells.append(fmt_len(np.nanmax(err[sel])) if sel.any() else "-")
            rows.append(["%d-%d°" % (lo, min(hi, 90))] + cells)
        failed = (~np.isfinite(err)).sum() + (~np.isfinite(a_err)).sum()
        worst = np.nanargmax(a_err)
        tables["geodesic-" + name] = md_table(
            ["start latitude", "1 mm on lines shorter than", "1 cm", "1 m", "largest error under 40 km",
             "40 km to 10000 km", "beyond 10000 km"], rows) + "\n\n" + md_table(
            ["", ""], [["lines without a result", "%d" % failed],
                       ["largest error on the nearly antipodal lines", fmt_len(np.nanmax(a_err))],
                       ["the worst of them (start, end)", "%.9f %.9f, %.9f %.9f" % (
                           a_lat1[worst], a_lon1[worst], a_lat2[worst], a_lon2[worst])]] + (
                [["%.9f %.9f to %.9f %.9f: our distance minus the exact one" % line, fmt_signed(ours - ref)]
                 for line, ours, ref in zip(EXAMPLE_LINES, e_dist, e_exact)] if name == "inverse" else []))
    return d, tables


def draw_geodesic(d, out):
    import numpy as np
    import matplotlib.pyplot as plt

    count = len(d["length"])
    fig, axes = plt.subplots(1, 2, figsize=(11, 4.8), constrained_layout=True, sharey=True)
    panels = ((axes[0], d["exact"], d["inv_err"], d["a_exact"], d["a_inv_err"],
               "inverse: |our distance - exact distance|"),
              (axes[1], d["length"], d["dir_err"], d["a_len"], d["a_dir_err"],
               "direct: distance from our end point to the exact one"))
    for ax, s, err, a_s, a_err, title in panels:
        ax.scatter(s, np.clip(err, VMIN, None), s=0.3, alpha=0.25, color="#1f4e9c", rasterized=True, linewidths=0,
                   label="random lines")
        ax.scatter(a_s, np.clip(a_err, VMIN, None), s=0.3, alpha=0.4, color="#d95f02", rasterized=True,
                   linewidths=0, label="nearly antipodal lines")
        ax.set_xscale("log")
        ax.set_yscale("log")
        ax.set_xlim(1, 2.1e7)
        ax.set_ylim(VMIN / 2, 1e5)
        for (level, label), (colour, _) in zip(THRESHOLDS, CONTOUR_STYLE):
            ax.axhline(level, color={"white": "0.3"}.get(colour, colour), linewidth=0.8, linestyle="--")
            ax.annotate(label, (1.3, level), xytext=(0, 2), textcoords="offset points", fontsize=8)
        ax.axvline(40000, color="0.4", linewidth=0.8, linestyle=":")
        ax.annotate("40 km: short-line\nformulas below", (40000, 1e2), xytext=(-4, 0),
                    textcoords="offset points", fontsize=8, ha="right")
        ax.set_title(title, fontsize=10)
        ax.set_xlabel("length of the line (metres)")
        ax.grid(True, which="major", linewidth=0.3)
    axes[0].set_ylabel("error (metres)")
    axes[0].legend(loc="upper left", fontsize=8, markerscale=12)
    fig.suptitle("Geodesic problems on WGS 84: ours against GeographicLib's geodesic (pyproj.Geod), "
                 "%d random lines and %d nearly antipodal ones" % (count, len(d["a_len"])), fontsize=10.5)
    save(fig, out / "geodesic.png")


# ------------------------------------------------------------------ main


def main():
    parser = argparse.ArgumentParser(description="Measure the accuracy of the formulas, write the measured "
                                     "tables into docs/accuracy.md and draw the pictures into docs/accuracy/.")
    parser.add_argument("build", nargs="?", default="build", help="build folder (default: build)")
    parser.add_argument("--out", default=str(ROOT / "docs" / "accuracy"), help="folder of the pictures")
    parser.add_argument("--page", default=str(ROOT / "docs" / "accuracy.md"), help="the page of the tables")
    parser.add_argument("--lines", type=int, default=100000, help="random geodesic lines (default 100000)")
    parser.add_argument("--antipodal", type=int, default=20000,
                        help="nearly antipodal geodesic lines (default 20000)")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--numbers", action="store_true", help="write the tables into the page, draw nothing")
    mode.add_argument("--check", action="store_true",
                      help="draw and write nothing; exit 1 when the page's tables differ from the measured ones")
    args = parser.parse_args()

    drawing = not (args.numbers or args.check)
    if args.check:
        # The tests install nothing: deps.sh brings the peers.
        missing = missing_packages(False)
        if missing:
            sys.exit("accuracy-plots: missing Debian packages (scripts/deps.sh installs them): " + " ".join(missing))
    else:
        ensure_packages(drawing)
    if drawing:
        import matplotlib

        matplotlib.use("Agg")
    import pyproj

    tool = gridwise_tool(args.build)
    out = Path(args.out).resolve()
    page_path = Path(args.page)
    geod = pyproj.Geod(ellps="WGS84")
    started = time.time()
    tables = {}
    with tempfile.TemporaryDirectory(prefix="gridwise-accuracy-") as scratch:
        run = Runner(tool, scratch)
        for measure, draw in ((transverse_mercator, draw_transverse_mercator), (lambert, draw_lambert),
                              (polar, draw_polar), (rd, draw_rd)):
            data, measured = measure(run, geod)
            tables.update(measured)
            if drawing:
                out.mkdir(parents=True, exist_ok=True)
                draw(data, out)
        data, measured = geodesic(run, geod, args.lines, args.antipodal)
        tables.update(measured)
        if drawing:
            draw_geodesic(data, out)

    page = page_path.read_text(encoding="utf-8")
    if args.check:
        on_page = blocks_of(page)
        differ = [name for name in tables if on_page.get(name) != tables[name]]
        for name in differ:
            print("the table %s on %s differs from the measured one:\n--- on the page\n%s\n--- measured\n%s" % (
                name, page_path, on_page.get(name, "(no such table)"), tables[name]))
        print("done in %.0f s" % (time.time() - started))
        sys.exit(1 if differ else 0)
    page_path.write_text(put_blocks(page, tables), encoding="utf-8")
    print("wrote the tables into %s; done in %.0f s" % (page_path, time.time() - started))


if __name__ == "__main__":
    main()
