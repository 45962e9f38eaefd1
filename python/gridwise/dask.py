# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Gridwise conversions of Dask arrays and Dask DataFrame columns, chunk by chunk.

Every function has the name of a :class:`gridwise.Geodesy` method and takes the
geodesy object first. The array forms return Dask arrays (lazily; nothing is
computed until you ask), the ``*_frame`` forms a DataFrame with the result
columns added. The geodesy object travels to the workers as its text (the
projection's initialisation string and the datum text), never as a settings
file path that a worker may not have; each worker process builds it once.

>>> import dask.array as da, gridwise, gridwise.dask
>>> g = gridwise.Geodesy()
>>> lat = da.from_array([34.0, 34.5, 35.0], chunks=2)
>>> north, east = gridwise.dask.geo_to_grid(g, lat, -117.0)
>>> north.round(3).compute().tolist()
[3762155.972, 3817597.243, 3873043.059]

A ``*_frame`` form refuses (ValueError naming it) a result column that the frame
holds already, unless ``overwrite=True`` is given: choose other names with
``out=`` or ask for the replacement.

Bad points come out as NaN; ``errcheck=True`` raises
:class:`gridwise.ConversionError` when the chunk holding the first bad point
is computed (its index is then the index within that chunk).
"""

import functools

import numpy as np
import dask.array as da

from . import Geodesy

__all__ = ["geo_to_grid", "grid_to_geo", "to_wgs84", "from_wgs84", "convergence", "point_scale",
           "inverse", "direct", "geo_to_grid_frame", "grid_to_geo_frame", "to_wgs84_frame",
           "from_wgs84_frame", "convergence_frame", "point_scale_frame", "inverse_frame",
           "direct_frame"]

# method: (input names, how many of them are required, default output column names)
_METHODS = {
    "geo_to_grid": (("lat", "lon"), 2, ("north", "east")),
    "grid_to_geo": (("north", "east"), 2, ("lat", "lon")),
    "to_wgs84": (("lat", "lon", "h"), 2, ("wgs84_lat", "wgs84_lon", "wgs84_h")),
    "from_wgs84": (("lat", "lon", "h"), 2, ("working_lat", "working_lon", "working_h")),
    "convergence": (("north", "east"), 2, ("convergence",)),
    "point_scale": (("north", "east"), 2, ("point_scale",)),
    "inverse": (("lat1", "lon1", "lat2", "lon2"), 4, ("azimuth", "distance")),
    "direct": (("lat", "lon", "azimuth", "distance"), 4, ("lat2", "lon2")),
}


@functools.lru_cache(maxsize=32)
def _geodesy(init, datum):
    """The geodesy object of a text, built once per process."""
    return Geodesy.from_text(init, datum)


def _text(geodesy):
    if not isinstance(geodesy, Geodesy):
        raise TypeError(f"geodesy must be a gridwise.Geodesy, not {type(geodesy).__name__}")
    return geodesy.to_text()


def _check_numeric(a, name):
    kind = np.dtype(a.dtype).kind
    if kind not in "iuf":
        what = "booleans" if kind == "b" else f"dtype {a.dtype}"
        raise TypeError(f"{name} must be real numbers, not {what}")


def _block(*blocks, init, datum, method, nout, errcheck):
    result = getattr(_geodesy(init, datum), method)(*blocks, errcheck=errcheck)
    if nout == 1:
        result = (result,)
    if any(np.ma.isMaskedArray(r) for r in result):  # masked blocks in, masked results out
        return np.ma.stack([np.ma.asarray(r, dtype=np.float64) for r in result])
    return np.stack([np.asarray(r, dtype=np.float64) for r in result])


def _arrays(geodesy, method, args, errcheck):
    names, required, outs = _METHODS[method]
    init, datum = _text(geodesy)
    arrays = []
    for name, value in zip(names, args):
        if isinstance(value, (str, bytes)):
            raise TypeError(f"{name} must be numbers, not text ({value!r:.40})")
        a = value if isinstance(value, da.Array) else da.asarray(value)
        _check_numeric(a, name)
        arrays.append(a)
    try:
        arrays = da.broadcast_arrays(*arrays)
    except ValueError:
        shapes = ", ".join(f"{n} {a.shape}" for n, a in zip(names, arrays))
        raise ValueError(f"{method}: the shapes do not broadcast together: {shapes}") from None
    first = arrays[0]
    nout = len(outs)
    meta = np.empty((0,) * (first.ndim + 1), dtype=np.float64)
    if any(np.ma.isMaskedArray(a._meta) for a in arrays):
        meta = np.ma.masked_array(meta)
    stacked = da.map_blocks(_block, *arrays, init=init, datum=datum, method=method, nout=nout,
                            errcheck=bool(errcheck), new_axis=0, chunks=((nout,),) + first.chunks,
                            dtype=np.float64, meta=meta, name=f"gridwise-{method}")
    results = tuple(stacked[i] for i in range(nout))
    return results[0] if nout == 1 else results


def geo_to_grid(geodesy, lat, lon, *, errcheck=False):
    """(north, east) Dask arrays of latitude and longitude arrays (broadcast together).

    >>> import dask.array as da, gridwise
    >>> n, e = geo_to_grid(gridwise.Geodesy(), da.from_array([34.0]), da.from_array([-117.0]))
    >>> round(float(n[0].compute()), 3)
    3762155.972
    """
    return _arrays(geodesy, "geo_to_grid", (lat, lon), errcheck)


def grid_to_geo(geodesy, north, east, *, errcheck=False):
    """(lat, lon) Dask arrays of grid arrays.

    >>> import gridwise
    >>> lat, lon = grid_to_geo(gridwise.Geodesy(), 3762155.972, 500000.0)
    >>> round(float(lat.compute()), 6)
    34.0
    """
    return _arrays(geodesy, "grid_to_geo", (north, east), errcheck)


def to_wgs84(geodesy, lat, lon, h=0.0, *, errcheck=False):
    """(lat, lon, h) on WGS 84 of positions on the working datum.

    >>> import gridwise
    >>> lat, lon, h = to_wgs84(gridwise.Geodesy(), 52.0, 5.0)
    >>> round(float(lat.compute()), 6)
    52.0
    """
    return _arrays(geodesy, "to_wgs84", (lat, lon, h), errcheck)


def from_wgs84(geodesy, lat, lon, h=0.0, *, errcheck=False):
    """(lat, lon, h) on the working datum of WGS 84 positions.

    >>> import gridwise
    >>> lat, lon, h = from_wgs84(gridwise.Geodesy(), 52.0, 5.0)
    >>> round(float(lon.compute()), 6)
    5.0
    """
    return _arrays(geodesy, "from_wgs84", (lat, lon, h), errcheck)


def convergence(geodesy, north, east, *, errcheck=False):
    """Grid convergence (degrees) at grid points, as a Dask array.

    >>> import gridwise
    >>> float(convergence(gridwise.Geodesy(), 3762155.972, 500000.0).compute())
    0.0
    """
    return _arrays(geodesy, "convergence", (north, east), errcheck)


def point_scale(geodesy, north, east, *, errcheck=False):
    """Point scale factor at grid points, as a Dask array.

    >>> import gridwise
    >>> round(float(point_scale(gridwise.Geodesy(), 3762155.972, 500000.0).compute()), 6)
    0.9996
    """
    return _arrays(geodesy, "point_scale", (north, east), errcheck)


def inverse(geodesy, lat1, lon1, lat2, lon2, *, errcheck=False):
    """(azimuth, distance) Dask arrays of the geodesics between point pairs.

    >>> import gridwise
    >>> az, dist = inverse(gridwise.Geodesy(), 0.0, 0.0, 0.0, 1.0)
    >>> round(float(dist.compute()), 3)
    111319.487
    """
    return _arrays(geodesy, "inverse", (lat1, lon1, lat2, lon2), errcheck)


def direct(geodesy, lat, lon, azimuth, distance, *, errcheck=False):
    """(lat2, lon2) Dask arrays of the end points of geodesics.

    >>> import gridwise
    >>> lat2, lon2 = direct(gridwise.Geodesy(), 0.0, 0.0, 90.0, 111319.491)
    >>> round(float(lon2.compute()), 6)
    1.0
    """
    return _arrays(geodesy, "direct", (lat, lon, azimuth, distance), errcheck)


# ---------------------------------------------------------------------------
# DataFrames


def _frame_part(part, *, init, datum, method, columns, out, errcheck):
    values = [part[c].to_numpy() if isinstance(c, str) else c for c in columns]
    result = getattr(_geodesy(init, datum), method)(*values, errcheck=errcheck)
    if len(out) == 1:
        result = (result,)
    part = part.copy()
    for name, r in zip(out, result):
        part[name] = np.broadcast_to(np.asarray(r, dtype=np.float64), (len(part),))
    return part


def _frame(geodesy, method, df, columns, out, errcheck, overwrite):
    names, required, default_out = _METHODS[method]
    init, datum = _text(geodesy)
    if not (required <= len(columns) <= len(names)):
        raise TypeError(f"{method}_frame takes the columns {', '.join(names)}"
                        f"{' (the last optional)' if required < len(names) else ''}, got {len(columns)}")
    columns = list(columns) + [0.0] * (len(names) - len(columns))
    for name, c in zip(names, columns):
        if isinstance(c, str):
            if c not in df.columns:
                raise KeyError(f"{name}: the frame has no column {c!r}")
            _check_numeric(df[c], f"{name} (column {c!r})")
        elif not isinstance(c, (int, float, np.integer, np.floating)) or isinstance(c, bool):
            raise TypeError(f"{name} must be a column name or a number, not {type(c).__name__}")
    out = tuple(default_out if out is None else out)
    if len(out) != len(default_out) or not all(isinstance(o, str) for o in out):
        raise ValueError(f"out must name {len(default_out)} columns ({', '.join(default_out)})")
    if len(set(out)) != len(out):
        raise ValueError(f"out names a column twice: {', '.join(out)}")
    if not overwrite:
        for name in out:
            if name in df.columns:
                raise ValueError(f"the frame has a column {name!r} already; pass out= with other names, "
                                 f"or overwrite=True to replace it")
    meta = df._meta.copy()
    for name in out:
        meta[name] = np.array([], dtype=np.float64)
    return df.map_partitions(_frame_part, init=init, datum=datum, method=method, columns=tuple(columns),
                             out=out, errcheck=bool(errcheck), meta=meta)


def geo_to_grid_frame(geodesy, df, lat, lon, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with columns "north" and "east" (or the names in out) added,
    from its latitude and longitude columns.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"lat": [34.0, 35.0], "lon": [-117.0, -117.0]}), npartitions=2)
    >>> geo_to_grid_frame(gridwise.Geodesy(), df, "lat", "lon").compute().north.round(3).tolist()
    [3762155.972, 3873043.059]
    """
    return _frame(geodesy, "geo_to_grid", df, (lat, lon), out, errcheck, overwrite)


def grid_to_geo_frame(geodesy, df, north, east, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with "lat" and "lon" (or out) added from its grid columns.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"n": [3762155.972], "e": [500000.0]}), npartitions=1)
    >>> round(grid_to_geo_frame(gridwise.Geodesy(), df, "n", "e").compute().lat[0], 6)
    34.0
    """
    return _frame(geodesy, "grid_to_geo", df, (north, east), out, errcheck, overwrite)


def to_wgs84_frame(geodesy, df, lat, lon, h=0.0, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with "wgs84_lat", "wgs84_lon", "wgs84_h" (or out) added; h may
    be a column name or a number.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"lat": [52.0], "lon": [5.0]}), npartitions=1)
    >>> round(to_wgs84_frame(gridwise.Geodesy(), df, "lat", "lon").compute().wgs84_lat[0], 6)
    52.0
    """
    return _frame(geodesy, "to_wgs84", df, (lat, lon, h), out, errcheck, overwrite)


def from_wgs84_frame(geodesy, df, lat, lon, h=0.0, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with "working_lat", "working_lon", "working_h" (or out) added.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"lat": [52.0], "lon": [5.0]}), npartitions=1)
    >>> round(from_wgs84_frame(gridwise.Geodesy(), df, "lat", "lon").compute().working_lon[0], 6)
    5.0
    """
    return _frame(geodesy, "from_wgs84", df, (lat, lon, h), out, errcheck, overwrite)


def convergence_frame(geodesy, df, north, east, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with "convergence" (or out) added.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"n": [3762155.972], "e": [500000.0]}), npartitions=1)
    >>> convergence_frame(gridwise.Geodesy(), df, "n", "e").compute().convergence[0]
    0.0
    """
    return _frame(geodesy, "convergence", df, (north, east), out, errcheck, overwrite)


def point_scale_frame(geodesy, df, north, east, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with "point_scale" (or out) added.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"n": [3762155.972], "e": [500000.0]}), npartitions=1)
    >>> round(point_scale_frame(gridwise.Geodesy(), df, "n", "e").compute().point_scale[0], 6)
    0.9996
    """
    return _frame(geodesy, "point_scale", df, (north, east), out, errcheck, overwrite)


def inverse_frame(geodesy, df, lat1, lon1, lat2, lon2, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with "azimuth" and "distance" (or out) added.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"a": [0.0], "b": [0.0], "c": [0.0], "d": [1.0]}), npartitions=1)
    >>> round(inverse_frame(gridwise.Geodesy(), df, "a", "b", "c", "d").compute().distance[0], 3)
    111319.487
    """
    return _frame(geodesy, "inverse", df, (lat1, lon1, lat2, lon2), out, errcheck, overwrite)


def direct_frame(geodesy, df, lat, lon, azimuth, distance, *, out=None, errcheck=False, overwrite=False):
    """The DataFrame with "lat2" and "lon2" (or out) added; azimuth and distance may
    be column names or numbers.

    >>> import pandas as pd, dask.dataframe as dd, gridwise
    >>> df = dd.from_pandas(pd.DataFrame({"lat": [0.0], "lon": [0.0]}), npartitions=1)
    >>> round(direct_frame(gridwise.Geodesy(), df, "lat", "lon", 90.0, 111319.491).compute().lon2[0], 6)
    1.0
    """
    return _frame(geodesy, "direct", df, (lat, lon, azimuth, distance), out, errcheck, overwrite)
