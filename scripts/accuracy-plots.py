#!/usr/bin/python3
# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Accuracy pictures: how far our written projection formulas and geodesic
solutions are from exact references.

Each projection converts a dense set of points with the gridwise tool; the
same points go through an exact peer (GeographicLib's exact transverse
Mercator, PROJ's Lambert conformal conic, polar stereographic and oblique
stereographic through pyproj, GeographicLib's geodesic through pyproj.Geod).
The forward error is the distance in the grid between our northing/easting
and the peer's; the inverse error is the distance on the ground between the
point our grid-to-geographic conversion returns for the peer's exact grid
coordinates and the point the peer started from. The pictures go to
docs/accuracy/, and a summary of where each conversion stays within 1 mm,
1 cm and 1 m is printed.

    /usr/bin/python3 scripts/accuracy-plots.py [BUILD]     (default: build)

Debian packages that are missing (python3-matplotlib, python3-numpy,
python3-pyproj, geographiclib-tools) are installed with apt-get, as root or
through sudo. The gridwise tool is built in BUILD when it is not there.
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


def missing_packages():
    missing = []
    for module, package in (("matplotlib", "python3-matplotlib"), ("numpy", "python3-numpy"),
                            ("pyproj", "python3-pyproj")):
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


def ensure_packages():
    missing = missing_packages()
    if missing:
        install(missing)
        still = missing_packages()
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
        # Exit status 1 only says that some lines are ERROR lines.
        done = subprocess.run([self.tool, command, "--settings", str(self.settings), "--section", section,
                               "-p", str(decimals), "--quiet", "--input-file", str(src),
                               "--output-file", str(dst)])
        if done.returncode not in (0, 1):
            sys.exit("accuracy-plots: gridwise %s failed (exit status %d)" % (command, done.returncode))
        lines = dst.read_text().splitlines()
        n = len(columns[0])
        if len(lines) != n:
            sys.exit("accuracy-plots: gridwise %s wrote %d lines for %d points" % (command, len(lines), n))
        bad = np.array([line.startswith("ERROR") for line in lines])
        text = "\n".join("nan nan" if b else line for b, line in zip(bad, lines))
        values = np.array(text.split(), dtype=float).reshape(n, -1)
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
        values = np.array(dst.read_text().split(), dtype=float).reshape(len(lat), -1)
        return values[:, 0], values[:, 1]


def write_columns(path, columns):
    import numpy as np

    # Every value is a whole number over a power of ten of at most 1e9 (see
    # decimal_values), so 12 decimals write it exactly and every tool reads back
    # the same double.
    np.savetxt(path, np.column_stack(columns), fmt="%.12f")


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


def fmt_len(m):
    if not math.isfinite(m):
        return "-"
    if m >= 1000:
        return "%.0f km" % (m / 1000)
    if m >= 1:
        return "%.1f m" % m
    if m >= 1e-3:
        return "%.1f mm" % (m * 1e3)
    return "%.2g µm" % (m * 1e6)


# ---------------------------------------------------- transverse Mercator


def transverse_mercator(run, geod, out):
    import numpy as np
    import matplotlib.pyplot as plt

    print("transverse Mercator: our series against GeographicLib's exact projection")
    offsets = decimal_values(0, 40, 0.05)   # longitude from the central meridian
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
    fwd, inv, x_ref = fwd.reshape(shape), inv.reshape(shape), x_ref.reshape(shape)
    d_north, d_east = d_north.reshape(shape), d_east.reshape(shape)

    fig, axes = plt.subplots(1, 2, figsize=(11, 5.2), constrained_layout=True)
    mesh = error_panel(axes[0], offsets, lats, fwd,
                       "latitude/longitude to grid: distance from the exact grid point",
                       "longitude from the central meridian (degrees)", "latitude (degrees, either hemisphere)")
    error_panel(axes[1], offsets, lats, inv,
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

    # The meridian arc's share: the northing error on the central meridian,
    # the same at every longitude of that latitude.
    arc = d_north[:, 0]
    slope = np.polyfit(lats, arc, 1)[0]
    print("  on the central meridian the northing is off by %.4f mm per degree of latitude "
          "(%s at latitude 89.9)" % (slope * 1e3, fmt_len(abs(arc[-1]))))
    series = np.hypot(d_north - arc[:, None], d_east)
    bands = [(0, 30), (30, 60), (60, 75), (75, 89.9)]
    summary = {"arc_mm_per_degree": slope * 1e3}
    for name, err in (("forward", fwd), ("inverse", inv), ("forward without the arc offset", series)):
        print("  %s: largest error within 3 degrees of the meridian %s" % (
            name, fmt_len(np.nanmax(err[:, offsets <= 3]))))
        rows = {}
        for level, label in THRESHOLDS:
            over = ~(err <= level)
            first = np.where(over.any(axis=1), over.argmax(axis=1), len(offsets))
            parts = []
            for lo, hi in bands:
                inband = (lats >= lo) & (lats <= hi)
                k = first[inband].min()
                i = np.where(inband)[0][first[inband].argmin()]
                if k == 0:
                    parts.append((lo, hi, 0.0, 0.0))
                else:
                    parts.append((lo, hi, offsets[k - 1], abs(x_ref[i, k - 1]) / 1000))
            rows[label] = parts
            print("    %-5s %s" % (label, "; ".join(
                "lat %g-%g: %.2f deg (%.0f km)" % p for p in parts)))
        summary[name] = rows
    return summary


# ---------------------------------------------------------------- Lambert


def lambert(run, geod, out):
    import numpy as np
    import matplotlib.pyplot as plt
    import pyproj

    print("Lambert conformal conic: ours against PROJ lcc")
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
    fwd, inv = fwd.reshape(shape), inv.reshape(shape)
    fig, axes = plt.subplots(1, 2, figsize=(11, 5.0), constrained_layout=True)
    mesh = error_panel(axes[0], offsets, lats, fwd, "latitude/longitude to grid: distance from PROJ's grid point",
                       "longitude from the central meridian 118° W (degrees)", "latitude (degrees)")
    error_panel(axes[1], offsets, lats, inv, "grid to latitude/longitude: distance from the exact point",
                "longitude from the central meridian 118° W (degrees)", "latitude (degrees)")
    for ax in axes:
        for parallel in (34 + 2 / 60, 35 + 28 / 60):
            ax.axhline(parallel, color="k", linewidth=0.9, linestyle=":")
    colourbar(fig, mesh, axes, "error (metres, log scale); grey: no result")
    fig.suptitle("Lambert conformal conic (California zone 5 on GRS 80, standard parallels 34°02' and 35°28' "
                 "dotted) against PROJ lcc;\nresults stop 5000 km from the false origin", fontsize=10.5)
    save(fig, out / "lambert.png")
    summary = {}
    for name, err in (("forward", fwd), ("inverse", inv)):
        summary[name] = (np.nanmax(err), np.isfinite(err).sum(), err.size)
        print("  %s: largest error %s over %d points with a result (of %d)" % (
            name, fmt_len(summary[name][0]), summary[name][1], summary[name][2]))
        for lo, hi in ((-30, -1), (-1, 1), (1, 20), (20, 50), (50, 90)):
            band = (lats >= lo) & (lats < hi)
            if np.isfinite(err[band]).any():
                print("    latitude %g to %g: largest %s" % (lo, hi, fmt_len(np.nanmax(err[band]))))
    return summary


# ---------------------------------------------------- polar stereographic


def polar(run, geod, out):
    import numpy as np
    import matplotlib.pyplot as plt
    import pyproj

    print("polar stereographic: ours against PROJ stere")
    proj = pyproj.Proj(POLAR_PROJ)
    lons = decimal_values(-180, 180, 0.5)
    lats = decimal_values(75, 90, 0.04)
    lon, lat = np.meshgrid(lons, lats)
    lat, lon = lat.ravel(), lon.ravel()

    (north, east), _ = run.gridwise("geo2grid", "polar", [lat, lon])
    x_ref, y_ref = proj(lon, lat)
    fwd = np.hypot(north - y_ref, east - x_ref)
    frame = (abs(x_ref - 2e6) < 1.11e6) & (abs(y_ref - 2e6) < 1.11e6)
    (lat_back, lon_back), _ = run.gridwise("grid2geo", "polar", [y_ref, x_ref])
    inv = ground_distance(geod, lat, lon, lat_back, lon_back)
    inv = np.where(frame, inv, np.nan)

    shape = (len(lats), len(lons))
    fwd, inv = fwd.reshape(shape), inv.reshape(shape)
    fig, axes = plt.subplots(1, 2, figsize=(10.4, 5.0), subplot_kw={"projection": "polar"},
                             constrained_layout=True)
    theta = np.radians(lons)
    colat = 90 - lats
    titles = ("latitude/longitude to grid: distance from PROJ's grid point",
              "grid to latitude/longitude: distance from the exact point")
    for ax, err, title in zip(axes, (fwd, inv), titles):
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
    summary = {}
    for name, err in (("forward", fwd), ("inverse", inv)):
        ok = np.isfinite(err)
        summary[name] = (np.nanmax(err), lats[ok.any(axis=1)].min() if ok.any() else float("nan"))
        print("  %s: largest error %s; results down to latitude %.2f" % (name, fmt_len(summary[name][0]),
                                                                         summary[name][1]))
    return summary


# ------------------------------------------------------------------- RD


NL_BOX = (3.3, 7.3, 50.75, 53.6)   # west, east, south, north, degrees
PLACES = [("Amersfoort", 52.1552, 5.3872), ("Amsterdam", 52.3731, 4.8922), ("Groningen", 53.2194, 6.5665),
          ("Maastricht", 50.8514, 5.6910), ("Vlissingen", 51.4425, 3.5736), ("Brussels", 50.8503, 4.3517),
          ("Hamburg", 53.5511, 9.9937), ("London", 51.5072, -0.1276), ("Paris", 48.8566, 2.3522),
          ("Copenhagen", 55.6761, 12.5683), ("Frankfurt", 50.1109, 8.6821)]
# Where a place's name goes (offset in points, alignment) when the default spot is taken.
LABEL_PLACES = {"Brussels": ((-3, 2), "right"), "Vlissingen": ((3, -8), "left")}


def rd(run, geod_unused, out):
    import numpy as np
    import matplotlib.pyplot as plt
    import pyproj

    print("RD: our series against PROJ sterea on Bessel 1841")
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
    fwd, inv, radius = fwd.reshape(shape), inv.reshape(shape), radius.reshape(shape)
    fig, axes = plt.subplots(1, 2, figsize=(11, 5.0), constrained_layout=True)
    mesh = error_panel(axes[0], lons, lats, fwd, "latitude/longitude to grid: distance from exact grid point",
                       "longitude, Bessel 1841 (degrees)", "latitude, Bessel 1841 (degrees)")
    error_panel(axes[1], lons, lats, inv, "grid to latitude/longitude: distance from the exact point",
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

    inbox = (lon.reshape(shape) >= w) & (lon.reshape(shape) <= e) & (lat.reshape(shape) >= s) & (
        lat.reshape(shape) <= n)
    summary = {}
    for name, err in (("forward", fwd), ("inverse", inv)):
        rows = []
        for level, label in THRESHOLDS:
            over = ~(err <= level)
            r = radius[over].min() / 1000 if over.any() else float("inf")
            rows.append((label, r))
        summary[name] = (np.nanmax(err[inbox]), rows)
        print("  %s: largest error in the Netherlands' box %s; within the level up to a distance from "
              "the origin of %s" % (name, fmt_len(summary[name][0]),
                                    ", ".join("%s %.0f km" % row for row in rows)))

    # The places marked on the map, one by one.
    p_lat = np.array([round(la * 10000) / 10000 for _, la, _ in PLACES])
    p_lon = np.array([round(lo * 10000) / 10000 for _, _, lo in PLACES])
    (pn, pe), _ = run.gridwise("geo2grid", "rd", [p_lat, p_lon])
    px, py = proj(p_lon, p_lat)
    (pla, plo), _ = run.gridwise("grid2geo", "rd", [py, px])
    p_fwd = np.hypot(pn - py, pe - px)
    p_inv = ground_distance(bessel, p_lat, p_lon, pla, plo)
    print("  at the places: " + "; ".join("%s %s / %s (%.0f km)" % (
        name, fmt_len(f), fmt_len(i), math.hypot(x - 155000, y - 463000) / 1000)
        for (name, _, _), f, i, x, y in zip(PLACES, p_fwd, p_inv, px, py)))
    return summary


# -------------------------------------------------------------- geodesic


def geodesic(run, geod, out, count):
    import numpy as np
    import matplotlib.pyplot as plt

    print("geodesic: our inverse and direct against GeographicLib (pyproj.Geod), %d random lines" % count)
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

    fig, axes = plt.subplots(1, 2, figsize=(11, 4.8), constrained_layout=True, sharey=True)
    panels = ((axes[0], exact, inv_err, "inverse: |our distance - exact distance|"),
              (axes[1], length, dir_err, "direct: distance from our end point to the exact one"))
    summary = {}
    for ax, s, err, title in panels:
        shown = np.clip(err, VMIN, None)
        ax.scatter(s, shown, s=0.3, alpha=0.25, color="#1f4e9c", rasterized=True, linewidths=0)
        ax.set_xscale("log")
        ax.set_yscale("log")
        ax.set_xlim(1, 2.1e7)
        ax.set_ylim(VMIN / 2, 1e4)
        for (level, label), (colour, _) in zip(THRESHOLDS, CONTOUR_STYLE):
            ax.axhline(level, color={"white": "0.3"}.get(colour, colour), linewidth=0.8, linestyle="--")
            ax.annotate(label, (1.3, level), xytext=(0, 2), textcoords="offset points", fontsize=8)
        ax.axvline(40000, color="0.4", linewidth=0.8, linestyle=":")
        ax.annotate("40 km: short-line\nformulas below", (40000, 1e2), xytext=(-4, 0),
                    textcoords="offset points", fontsize=8, ha="right")
        ax.set_title(title, fontsize=10)
        ax.set_xlabel("length of the line (metres)")
        ax.grid(True, which="major", linewidth=0.3)
        print("  %s:" % title.split(":")[0])
        rows = []
        order = np.argsort(s)
        e_sorted = err[order]
        s_sorted = s[order]
        for level, label in THRESHOLDS:
            over = ~(e_sorted <= level)
            rows.append((label, s_sorted[over.argmax()] if over.any() else float("inf")))
        summary[title.split(":")[0]] = rows
        for lo, hi in ((0, 60), (60, 80), (80, 90)):
            band = (abs(lat1) >= lo) & (abs(lat1) < hi)
            short = band & (s < 40000)
            longl = band & (s >= 40000)
            print("    start latitude %d-%d: largest error %s on lines under 40 km, %s from 40 km to 10000 km, "
                  "%s beyond; lines under 10 km: %s" % (
                      lo, hi, fmt_len(np.nanmax(err[short])), fmt_len(np.nanmax(err[longl & (s < 1e7)])),
                      fmt_len(np.nanmax(err[longl & (s >= 1e7)])), fmt_len(np.nanmax(err[band & (s < 1e4)]))))
            ob = np.argsort(s[band])
            sb, eb = s[band][ob], err[band][ob]
            print("      good on every line shorter than: " + ", ".join(
                "%s %s" % (label, fmt_len(sb[(~(eb <= level)).argmax()]) if (~(eb <= level)).any() else "all")
                for level, label in THRESHOLDS))
        failed = (~np.isfinite(err)).sum()
        print("    all: good to %s; %d lines without a result; largest error %s" % (
            ", ".join("%s on every line shorter than %s" % (lab, fmt_len(v))
                                           for lab, v in rows), failed, fmt_len(np.nanmax(err))))
    axes[0].set_ylabel("error (metres)")
    fig.suptitle("Geodesic problems on WGS 84: ours against GeographicLib's geodesic (pyproj.Geod), "
                 "%d random lines" % count, fontsize=10.5)
    save(fig, out / "geodesic.png")
    return summary, (lat1, lon1, lat2, lon2, exact, inv_err, azi, length, dir_err)


# ------------------------------------------------------------------ main


def main():
    parser = argparse.ArgumentParser(description="Draw the accuracy pictures into docs/accuracy/.")
    parser.add_argument("build", nargs="?", default="build", help="build folder (default: build)")
    parser.add_argument("--out", default=str(ROOT / "docs" / "accuracy"), help="folder of the pictures")
    parser.add_argument("--lines", type=int, default=400000, help="random geodesic lines (default 400000)")
    args = parser.parse_args()

    ensure_packages()
    import matplotlib

    matplotlib.use("Agg")
    import pyproj

    tool = gridwise_tool(args.build)
    out = Path(args.out).resolve()
    out.mkdir(parents=True, exist_ok=True)
    geod = pyproj.Geod(ellps="WGS84")
    started = time.time()
    with tempfile.TemporaryDirectory(prefix="gridwise-accuracy-") as scratch:
        run = Runner(tool, scratch)
        transverse_mercator(run, geod, out)
        lambert(run, geod, out)
        polar(run, geod, out)
        rd(run, geod, out)
        geodesic(run, geod, out, args.lines)
    print("done in %.0f s" % (time.time() - started))


if __name__ == "__main__":
    main()
