# Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
"""Gridwise geodesy for numpy: map grids, datum shifts, geodesics and survey text.

A :class:`Geodesy` is one working datum and one map projection (or local
system), read from a settings section or built from its text. Its conversions
take numpy arrays or scalars, broadcast them like numpy and convert every point
with the GIL released, so several Python threads convert at once.

>>> import gridwise
>>> utm11 = gridwise.Geodesy.from_text("0,UTM Zone 11,W117 00.0000,0.00,500000.00,0.999600,N00 00.0000,0", None)
>>> north, east = utm11.geo_to_grid(34.0, -117.0)
>>> round(float(north), 3), round(float(east), 3)
(3762155.972, 500000.0)

Angles are degrees (latitude positive north, longitude positive east, azimuths
clockwise from north); grid coordinates, heights and distances are metres.
"""

import collections
import datetime as _datetime
import math
import os
import warnings

import numpy as np

from . import _gridwise
from ._version import __version__

__all__ = ["__version__", "Geodesy", "Units", "ConversionError", "Description", "STATUS_OK", "STATUS_NOT_FINITE",
           "STATUS_OUT_OF_DOMAIN", "STATUS_ITERATION_CAP", "lat_to_str", "lon_to_str", "parse_angle",
           "time_to_str", "parse_time", "EpsgSystem", "epsg_search", "epsg_describe", "check_settings",
           "SettingsWarning"]

STATUS_OK = 0
STATUS_NOT_FINITE = 1
STATUS_OUT_OF_DOMAIN = 2
STATUS_ITERATION_CAP = 3

_REASONS = {
    STATUS_NOT_FINITE: "an input is not a finite number",
    STATUS_OUT_OF_DOMAIN: "outside the projection's or the formula's domain",
    STATUS_ITERATION_CAP: "an iteration did not settle within its cap",
}


class ConversionError(ValueError):
    """A point that could not be converted while ``errcheck=True``.

    Attributes: ``index`` (the point's index in the broadcast shape, a tuple),
    ``flat_index`` (its position in C order), ``status`` (1 not finite,
    2 outside the domain, 3 iteration cap) and ``reason`` (text).

    >>> import gridwise
    >>> try:
    ...     gridwise.Geodesy().geo_to_grid([34.0, float("nan")], -117.0, errcheck=True)
    ... except gridwise.ConversionError as e:
    ...     print(e.index, e.status)
    (1,) 1
    """

    def __init__(self, message, index, flat_index, status, reason):
        super().__init__(message)
        self.index = index
        self.flat_index = flat_index
        self.status = status
        self.reason = reason


class SettingsWarning(UserWarning):
    """A settings line that is read, but probably not as meant: a key that is no
    settings key (named with the nearest key), a key or section that comes again,
    a name that is cut.
    """


def _problems(path, section, units):
    """The settings check's problem lines as (kind, line) pairs."""
    text = _gridwise.settings_problems(path, section, units)
    out = []
    for line in text.splitlines():
        kind = "error"
        for k in ("error", "warning", "note"):
            if f": {k}: " in line[len(path):]:
                kind = k
                break
        out.append((kind, line))
    return out


def _use_settings(path, section, units, lenient):
    """Raises ValueError with every error of a section that is to be read (unless
    lenient), and warns (SettingsWarning) of its warnings."""
    problems = _problems(path, section, units)
    errors = [line for kind, line in problems if kind == "error"]
    if errors and not lenient:
        raise ValueError("the settings cannot be used as written:\n" + "\n".join(errors))
    for kind, line in problems:
        if kind == "warning" or (kind == "error" and lenient):
            warnings.warn(line, SettingsWarning, stacklevel=3)


def check_settings(path, section=None, units=False):
    """Checks a settings file: every problem of a geodesy section, of every
    section (section None) or of the unit settings (units=True, the section
    "units", which must be there).

    Returns None when there is no problem; otherwise raises ValueError whose
    message holds one line per problem, "FILE:LINE: KIND: [SECTION] TEXT", KIND
    error (a value that does not read in its key's form or lies outside its
    range: the section is refused by Geodesy.from_settings), warning (a key that
    is no settings key, a key or section that comes again) or note (a key of
    another projection type holding something other than its default, a
    byte-order mark). The lines are also in the exception's ``problems``.

    >>> import gridwise, pathlib, tempfile
    >>> f = pathlib.Path(tempfile.mkdtemp()) / "s.ini"
    >>> _ = f.write_text("[utm]\\nscaleFactor=0,9996\\n")
    >>> try:
    ...     gridwise.check_settings(f, "utm")
    ... except ValueError as e:
    ...     print(e.problems[0].split(": ", 1)[1])
    error: [utm] scaleFactor=0,9996: has a decimal comma: type a point as the decimal mark (1.5, not 1,5)
    """
    path = _fspath(path, "path")
    if section is not None and not isinstance(section, str):
        raise TypeError(f"section must be a str or None, not {type(section).__name__}")
    lines = [line for _, line in _problems(path, section, bool(units))]
    if lines:
        error = ValueError("\n".join(lines))
        error.problems = lines
        raise error


Description = collections.namedtuple("Description", ["projection", "datum", "init_string"])
Description.__doc__ = """What describe() gives: six projection lines, seven datum lines and the
projection's initialisation string.

>>> Description(("UTM",), ("Datum:WGS 84",), "0,UTM").init_string
'0,UTM'
"""


def _fspath(value, name):
    try:
        return os.fspath(value)
    except TypeError:
        raise TypeError(f"{name} must be a path (str or os.PathLike), not {type(value).__name__}") from None


def _masked_float_array(value, name):
    """(value as a float64 array of native byte order, aligned; its mask or None),
    or TypeError naming it. The array is a view when value already is one; the
    mask is a boolean array of its shape for a masked array (the data under it
    is left as it is)."""
    if isinstance(value, (str, bytes)):
        raise TypeError(f"{name} must be numbers, not text ({value!r:.40})")
    mask = None
    if np.ma.isMaskedArray(value):
        mask = np.ma.getmaskarray(value)
        value = value.data
    try:
        a = np.asarray(value)
    except Exception as e:  # ragged sequences and the like
        raise TypeError(f"{name} cannot be read as a numeric array: {e}") from None
    if a.dtype.kind not in "iuf":
        what = {"b": "booleans", "U": "text", "S": "text", "O": "Python objects", "c": "complex numbers",
                "M": "dates", "m": "time spans", "V": "records"}.get(a.dtype.kind, str(a.dtype))
        raise TypeError(f"{name} must be real numbers, not {what} (dtype {a.dtype})")
    # Equality, not identity: a dtype from a pickle or another process is another
    # object; '>f8' is not equal and is converted to the native order.
    if a.dtype != np.float64:
        a = a.astype(np.float64)
    elif not a.flags.aligned:  # a float64 field of a packed record
        a = a.copy()
    return a, mask


def _describe_status(status):
    return _REASONS.get(int(status), f"status {int(status)}")


class Geodesy:
    """A working datum and a map projection (or local system), converting arrays.

    Build one with :meth:`from_settings` or :meth:`from_text`; ``Geodesy()``
    gives WGS 84 with the default Transverse Mercator (UTM zone 11).

    Every conversion method takes arrays or scalars of any real dtype (read-only
    and non-contiguous arrays too), broadcasts them like numpy and returns
    float64 arrays of the broadcast shape (numpy scalars when every input is a
    scalar). A point that cannot be converted (an input that is NaN or
    infinite, a point outside the projection's domain, an iteration that did
    not settle) comes out as NaN; ``status=True`` returns the per-point status
    array (0 converted, 1 not finite, 2 outside the domain, 3 iteration cap)
    as the last element, and ``errcheck=True`` raises :class:`ConversionError`
    for the first bad point instead.

    Integer and floating-point inputs are taken in any byte order; booleans
    raise TypeError. A masked array keeps its mask: a point masked in any
    input is not converted, and the results (and the status array) are masked
    arrays with it masked.

    A Geodesy pickles as its text (initialisation string and datum text), so it
    travels to other processes and machines without its settings file.

    >>> g = Geodesy()
    >>> lat, lon = g.grid_to_geo(3762155.972, 500000.0)
    >>> round(float(lat), 6), round(float(lon), 6)
    (34.0, -117.0)
    """

    __slots__ = ("_h", "__weakref__")

    def __init__(self):
        self._h = _gridwise.default_handle()

    @classmethod
    def _wrap(cls, handle):
        obj = cls.__new__(cls)
        obj._h = handle
        return obj

    @classmethod
    def from_settings(cls, path, section, lenient=False):
        """Reads a geodesy section of a settings (INI) file.

        A missing file gives FileNotFoundError, a missing section KeyError (keys
        missing inside the section read as their defaults). A value that does not
        read whole in its key's form or lies outside its range (what
        :func:`check_settings` calls an error) gives ValueError naming every such
        line; ``lenient=True`` reads it instead as the library's host interface
        does (a stand-in for what does not read) and warns. Keys that are no
        settings keys are warned of (:class:`SettingsWarning`). A bare file name
        (no '/') is one of the settings folder ($GRIDWISE_SETTINGS_DIR, else
        $XDG_CONFIG_HOME/gridwise, else ~/.config/gridwise); write "./file" for
        one in the working folder.

        >>> g = Geodesy.from_settings("data/survey/settings.ini", "georgia-west")  # doctest: +SKIP
        >>> g.describe().projection[0]  # doctest: +SKIP
        'Georgia West (US ft)'
        """
        path = _fspath(path, "path")
        if not isinstance(section, str):
            raise TypeError(f"section must be a str, not {type(section).__name__}")
        handle = _gridwise.from_settings(path, section, bool(lenient))
        _use_settings(path, section, False, True)  # errors were refused above unless lenient
        return cls._wrap(handle)

    @classmethod
    def from_text(cls, init_string, datum_text=None):
        """Builds one from a projection's initialisation string and a datum text.

        The initialisation string starts with the projection's type code (0
        Transverse Mercator, 1 Lambert, 3 affine local, 4 polar stereographic,
        5 local tangent, 6 station/offset, 7 RD) followed by its fields, as
        :attr:`init_string` gives it. The datum text is
        "ellipse,a,1/f,datum,dX,dY,dZ,scale,rX,rY,rZ" (rotations in degrees);
        None or "" means WGS 84 without a shift. Text that cannot be read
        raises ValueError with the reason.

        >>> g = Geodesy.from_text(Geodesy().init_string, "GRS 80,6378137,298.257222101,NAD83,0,0,0,0,0,0,0")
        >>> g.datum_text
        'GRS 80,6378137,298.257222101,NAD83,0,0,0,0,0,0,0'
        """
        if not isinstance(init_string, str):
            raise TypeError(f"init_string must be a str, not {type(init_string).__name__}")
        if datum_text is None:
            datum_text = ""
        if not isinstance(datum_text, str):
            raise TypeError(f"datum_text must be a str or None, not {type(datum_text).__name__}")
        for name, text in (("init_string", init_string), ("datum_text", datum_text)):
            if "\0" in text:
                raise ValueError(f"{name} holds a NUL character")
        return cls._wrap(_gridwise.from_text(init_string, datum_text))

    @classmethod
    def from_epsg(cls, code, transformation=None):
        """Builds the projected system EPSG:code from the EPSG registry.

        The registry is the database of Debian's proj-data package
        (/usr/share/proj/proj.db, or the file $GRIDWISE_EPSG_DB names). Its
        datum, projection and length unit come from the registry; the shift to
        WGS 84 is the registry's most accurate Helmert transformation of the
        datum (:func:`epsg_describe` names it), or the transformation whose code
        is given. Grid coordinates stay metres, as for every Geodesy.

        A code that is no projected system of the registry, a method this
        library does not offer and the other refusals raise ValueError with the
        reason; a registry that cannot be read raises FileNotFoundError.

        >>> g = Geodesy.from_epsg(2240)  # NAD83 / Georgia West (ftUS)
        >>> n, e = g.geo_to_grid(33.749, -84.388)
        >>> round(float(n) / 0.3048006096, 2), round(float(e) / 0.3048006096, 2)
        (1363801.49, 2229307.39)
        """
        code = _epsg_code(code, "code")
        transformation = 0 if transformation is None else _epsg_code(transformation, "transformation")
        return cls._wrap(_epsg_native().from_epsg(code, transformation))

    @classmethod
    def from_crs(cls, crs, transformation=None):
        """Builds a system named as "EPSG:2240" (or "epsg:2240", or "2240").

        >>> Geodesy.from_crs("EPSG:32633").init_string
        '0,WGS 84 / UTM zone 33N,E015 00.0000,0.00,500000.00,0.999600,N00 00.0000,0'
        """
        if isinstance(crs, str):
            text = crs.strip()
            if text[:5].upper() == "EPSG:":
                text = text[5:].strip()
            if not text.isascii() or not text.isdigit():
                raise ValueError(f"{crs!r} names no EPSG code (write it as 'EPSG:2240')")
            return cls.from_epsg(int(text), transformation)
        raise TypeError(f"crs must be a str such as 'EPSG:2240', not {type(crs).__name__}")

    @property
    def init_string(self):
        """The projection's initialisation string (type code first).

        >>> Geodesy().init_string.split(",")[0]
        '0'
        """
        return self._h.init_string()

    @property
    def datum_text(self):
        """The datum as "ellipse,a,1/f,datum,dX,dY,dZ,scale,rX,rY,rZ", read back exactly.

        >>> Geodesy().datum_text
        'WGS 84,6378137,298.257222,WGS 84,0,0,0,0,0,0,0'
        """
        return self._h.datum_text()

    def to_text(self):
        """(init_string, datum_text): what :meth:`from_text` rebuilds this object from, to the bit.

        The two texts are :attr:`init_string` and :attr:`datum_text`, except that a
        value their forms cannot carry (a scale factor of more than six decimals,
        an angle that degrees and decimal minutes with four decimals do not hold)
        is written as the shortest decimal that reads back to the same double, an
        angle as plain signed degrees. So the copy converts every point to the same
        bits; pickles and :mod:`gridwise.dask` send this form.

        >>> g = Geodesy()
        >>> Geodesy.from_text(*g.to_text()).to_text() == g.to_text()
        True
        """
        return tuple(self._h.exact_texts())

    def describe(self):
        """The description lines and the initialisation string, as a :class:`Description`.

        >>> d = Geodesy().describe()
        >>> len(d.projection), len(d.datum), d.datum[0]
        (6, 7, 'Datum:WGS 84')
        """
        projection, datum, init = self._h.describe()
        return Description(tuple(projection), tuple(datum), init)

    def copy(self):
        """An independent copy.

        >>> g = Geodesy()
        >>> g.copy() == g and g.copy() is not g
        True
        """
        return Geodesy._wrap(self._h.copy())

    __copy__ = copy

    def __deepcopy__(self, memo):
        return self.copy()

    def __reduce__(self):
        return (Geodesy.from_text, self.to_text())

    def __eq__(self, other):
        """Equal when every value of the two is the same double (their exact texts agree)."""
        if not isinstance(other, Geodesy):
            return NotImplemented
        return self.to_text() == other.to_text()

    def __hash__(self):
        return hash(self.to_text())

    def __repr__(self):
        init, datum = self.to_text()
        return f"gridwise.Geodesy.from_text({init!r}, {datum!r})"

    # -- conversions ---------------------------------------------------------

    def _run(self, method, kind, names, values, out_names, errcheck, status):
        arrays, masks = zip(*(_masked_float_array(v, n) for v, n in zip(values, names)))
        try:
            shape = np.broadcast_shapes(*(a.shape for a in arrays))
        except ValueError:
            shapes = ", ".join(f"{n} {a.shape}" for n, a in zip(names, arrays))
            raise ValueError(f"{method}: the shapes do not broadcast together: {shapes}") from None
        inputs = [a if a.shape == shape else np.broadcast_to(a, shape) for a in arrays]
        mask = None
        if any(m is not None for m in masks):
            # A point masked in any input is not converted: its inputs become NaN and
            # its results are masked (errcheck passes over it).
            mask = np.zeros(shape, dtype=bool)
            for m in masks:
                if m is not None:
                    mask |= m
            inputs = [np.where(mask, np.nan, a) for a in inputs]
        outputs = [np.empty(shape, dtype=np.float64) for _ in out_names]
        want_status = bool(errcheck) or bool(status)
        st = np.empty(shape, dtype=np.intc) if want_status else None
        done = _gridwise.convert(self._h, kind, inputs, outputs, st)
        if errcheck and done != st.size - (0 if mask is None else int(mask.sum())):
            bad = st.reshape(-1) != 0
            if mask is not None:
                bad &= ~mask.reshape(-1)
            flat = int(np.flatnonzero(bad)[0])
            index = tuple(int(i) for i in np.unravel_index(flat, shape))
            code = int(st.reshape(-1)[flat])
            reason = _describe_status(code)
            if code == STATUS_NOT_FINITE:
                bad = [f"{n}={a[index]!r}" for n, a in zip(names, inputs) if not np.isfinite(a[index])]
                reason += f" ({', '.join(bad)})"
            else:
                given = ", ".join(f"{n}={float(a[index])!r}" for n, a in zip(names, inputs))
                reason += f" ({given})"
            raise ConversionError(f"{method}: point {index} cannot be converted: {reason}",
                                  index, flat, code, reason)
        if mask is not None:
            outputs = [np.ma.masked_array(o, mask=mask.copy()) for o in outputs]
            if status:
                st = np.ma.masked_array(st, mask=mask.copy())
        scalar = all(a.ndim == 0 for a in arrays)
        if scalar:
            results = [o[()] for o in outputs]
            if status:
                s = st[()]
                results.append(s if s is np.ma.masked else int(s))
        else:
            results = outputs
            if status:
                results.append(st)
        if len(results) == 1:
            return results[0]
        return tuple(results)

    def geo_to_grid(self, lat, lon, *, errcheck=False, status=False):
        """Latitude and longitude on the working datum to grid (north, east).

        >>> north, east = Geodesy().geo_to_grid([34.0, 34.5], -117.0)
        >>> north.round(3).tolist(), east.round(3).tolist()
        ([3762155.972, 3817597.243], [500000.0, 500000.0])
        """
        return self._run("geo_to_grid", _gridwise.GEO_TO_GRID, ("lat", "lon"), (lat, lon),
                         ("north", "east"), errcheck, status)

    def grid_to_geo(self, north, east, *, errcheck=False, status=False):
        """Grid north and east to (lat, lon) on the working datum.

        >>> lat, lon = Geodesy().grid_to_geo(3762155.972, 500000.0)
        >>> round(float(lat), 8), round(float(lon), 8)
        (34.0, -117.0)
        """
        return self._run("grid_to_geo", _gridwise.GRID_TO_GEO, ("north", "east"), (north, east),
                         ("lat", "lon"), errcheck, status)

    def to_wgs84(self, lat, lon, h=0.0, *, errcheck=False, status=False):
        """Working datum to WGS 84: (lat, lon, h).

        The input height is not used; h out is the height above the WGS 84
        ellipsoid of the shifted point taken at height 0 on the working datum.
        Longitudes come out in (-180, 180].

        >>> lat, lon, h = Geodesy().to_wgs84(52.0, 5.0)
        >>> round(float(lat), 9), round(float(lon), 9)
        (52.0, 5.0)
        """
        return self._run("to_wgs84", _gridwise.TO_WGS84, ("lat", "lon", "h"), (lat, lon, h),
                         ("lat", "lon", "h"), errcheck, status)

    def from_wgs84(self, lat, lon, h=0.0, *, errcheck=False, status=False):
        """WGS 84 to the working datum: (lat, lon, h), as :meth:`to_wgs84` the other way.

        >>> ed50 = Geodesy.from_text(Geodesy().init_string,
        ...                          "International 1924,6378388,297,ED50,-87,-98,-121,0,0,0,0")
        >>> lat, lon, h = ed50.from_wgs84(41.38, 2.17)
        >>> round(float(lat), 4), round(float(lon), 4)
        (41.3811, 2.1711)
        """
        return self._run("from_wgs84", _gridwise.FROM_WGS84, ("lat", "lon", "h"), (lat, lon, h),
                         ("lat", "lon", "h"), errcheck, status)

    def convergence(self, north, east, *, errcheck=False, status=False):
        """Grid convergence in degrees at grid points.

        >>> float(Geodesy().convergence(3762155.972, 500000.0))
        0.0
        """
        return self._run("convergence", _gridwise.CONVERGENCE, ("north", "east"), (north, east),
                         ("convergence",), errcheck, status)

    def point_scale(self, north, east, *, errcheck=False, status=False):
        """Point scale factor at grid points.

        >>> round(float(Geodesy().point_scale(3762155.972, 500000.0)), 6)
        0.9996
        """
        return self._run("point_scale", _gridwise.POINT_SCALE, ("north", "east"), (north, east),
                         ("scale",), errcheck, status)

    def inverse(self, lat1, lon1, lat2, lon2, *, errcheck=False, status=False):
        """Geodesic inverse problem on the working ellipsoid: (azimuth, distance).

        The azimuth is the one at the first point, clockwise from north in
        [0, 360); coincident points give 0, 0.

        >>> az, dist = Geodesy().inverse(0.0, 0.0, 0.0, 1.0)
        >>> round(float(az), 6), round(float(dist), 3)
        (90.0, 111319.487)
        """
        return self._run("inverse", _gridwise.INVERSE, ("lat1", "lon1", "lat2", "lon2"),
                         (lat1, lon1, lat2, lon2), ("azimuth", "distance"), errcheck, status)

    def direct(self, lat, lon, azimuth, distance, *, errcheck=False, status=False):
        """Geodesic direct problem on the working ellipsoid: the end point (lat2, lon2).

        >>> lat2, lon2 = Geodesy().direct(0.0, 0.0, 90.0, 111319.491)
        >>> round(float(lat2), 6), round(float(lon2), 6)
        (0.0, 1.0)
        """
        return self._run("direct", _gridwise.DIRECT, ("lat", "lon", "azimuth", "distance"),
                         (lat, lon, azimuth, distance), ("lat2", "lon2"), errcheck, status)


# ---------------------------------------------------------------------------
# Text forms


def _epsg_native():
    if not _gridwise.HAVE_EPSG:
        raise RuntimeError("this build of gridwise has no EPSG reader (it needs SQLite: Debian's libsqlite3-dev)")
    return _gridwise


def _epsg_code(value, name):
    if isinstance(value, bool) or not isinstance(value, (int, np.integer)):
        raise TypeError(f"{name} must be an int, not {type(value).__name__}")
    value = int(value)
    if not 0 < value < 2**31:
        raise ValueError(f"{name} {value} is not an EPSG code")
    return value


EpsgSystem = collections.namedtuple("EpsgSystem", "code name method unit supported")
EpsgSystem.__doc__ = """A projected system of the EPSG registry, as :func:`epsg_search` lists it.

``supported`` tells whether :meth:`Geodesy.from_epsg` builds it."""


def epsg_search(text):
    """The registry's projected systems whose name holds text (case ignored) or
    whose code it names ("2240", "EPSG:2240"), by code, as :class:`EpsgSystem`.

    >>> [s for s in epsg_search("georgia west") if s.code == 2240]
    [EpsgSystem(code=2240, name='NAD83 / Georgia West (ftUS)', method='Transverse Mercator', unit='US survey foot', supported=True)]
    """
    if not isinstance(text, str):
        raise TypeError(f"text must be a str, not {type(text).__name__}")
    if "\0" in text:
        raise ValueError("text holds a NUL character")
    rows = []
    for line in _epsg_native().epsg_search(text).splitlines():
        code, name, method, unit, supported = line.split("\t")
        rows.append(EpsgSystem(int(code), name, method, unit, supported == "yes"))
    return rows


def epsg_describe(code, transformation=None):
    """What :meth:`Geodesy.from_epsg` builds for the code, as lines: the system,
    then "key: value" lines of its method, its unit, the general and specific
    names of its projection-list entry, the shift to WGS 84 and the two texts of
    :meth:`Geodesy.from_text`.

    >>> print(epsg_describe(2240).splitlines()[5])
    shift: EPSG:1188 NAD83 to WGS 84 (1), accuracy 4 m
    """
    code = _epsg_code(code, "code")
    transformation = 0 if transformation is None else _epsg_code(transformation, "transformation")
    return _epsg_native().epsg_describe(code, transformation)


def _finite(value, name, shape=(), flat=0):
    """value, or ValueError when it is NaN or infinite (a text of it would pass for a number)."""
    if not math.isfinite(value):
        where = f"{name}[{', '.join(str(int(i)) for i in np.unravel_index(flat, shape))}]" if shape else name
        raise ValueError(f"{where} is {value!r}, which has no text form")
    return value


def _within(value, name, limit, shape=(), flat=0):
    """value (finite), or ValueError when it lies beyond +-limit (None: no limit)."""
    if limit is not None and not -limit <= value <= limit:
        where = f"{name}[{', '.join(str(int(i)) for i in np.unravel_index(flat, shape))}]" if shape else name
        raise ValueError(f"{where} is {value!r}, outside -{limit}..{limit}")
    return value


def _map_text(func, values, name, numeric, limit=None):
    """func over a scalar (giving its result) or over an array-like (an array of results).
    Masked entries of a masked array are passed over and come back masked. A numeric
    value beyond +-limit raises ValueError."""
    mask = None
    if numeric:
        a, mask = _masked_float_array(values, name)
        if a.ndim == 0:
            if mask is not None and mask[()]:
                return np.ma.masked
            return func(_within(_finite(float(a), name), name, limit))
        skip = np.zeros(a.size, dtype=bool) if mask is None else mask.reshape(-1)
        flat = ["" if skip[i] else func(_within(_finite(float(v), name, a.shape, i), name, limit, a.shape, i))
                for i, v in enumerate(a.reshape(-1))]
        out = np.array(flat, dtype=str if flat else "U1").reshape(a.shape)
        return out if mask is None else np.ma.masked_array(out, mask=mask.copy())
    if isinstance(values, str):
        return func(values)
    if isinstance(values, bytes):
        raise TypeError(f"{name} must be str, not bytes")
    if np.ma.isMaskedArray(values):
        mask = np.ma.getmaskarray(values)
        values = values.data
    a = np.asarray(values, dtype=object)
    skip = np.zeros(a.size, dtype=bool) if mask is None else mask.reshape(-1)
    out = np.full(a.shape, np.nan, dtype=np.float64)
    for i, v in enumerate(a.reshape(-1)):
        if skip[i]:
            continue
        if not isinstance(v, str):
            raise TypeError(f"{name}[{i}] must be str, not {type(v).__name__}")
        out.reshape(-1)[i] = func(v)
    if mask is not None:
        out = np.ma.masked_array(out, mask=mask.copy())
    return out if a.ndim else out[()]


def _decimals(decimals, name="decimals", most=None):
    if isinstance(decimals, bool) or not isinstance(decimals, (int, np.integer)):
        raise TypeError(f"{name} must be an int, not {type(decimals).__name__}")
    if most is not None and not 0 <= decimals <= most:
        raise ValueError(f"{name} must lie in 0..{most}, not {int(decimals)}")
    return int(decimals)


def lat_to_str(lat, decimals=None, style=0):
    """Latitude text: "N33 45 18.912" (style 0, degrees minutes seconds) or
    "N33 45.3152" (other styles, degrees and decimal minutes). The style runs the
    other way from a :class:`Units` object's lat_lon_style, whose own writers
    follow it.

    decimals (0..6) is the number of decimals of the last field: 3 for seconds
    and 4 for minutes by default. Arrays give arrays of text (masked arrays
    masked arrays). A latitude beyond +-90, NaN or an infinity raises ValueError.

    >>> lat_to_str(33.755253)
    'N33 45 18.911'
    >>> lat_to_str([-12.5, 45.0], style=1).tolist()
    ['S12 30.0000', 'N45 00.0000']
    """
    style = _decimals(style, "style")
    d = (3 if style == 0 else 4) if decimals is None else _decimals(decimals, most=6)
    return _map_text(lambda v: _gridwise.lat_to_str(v, d, style), lat, "lat", True, 90)


def lon_to_str(lon, decimals=None, style=0):
    """Longitude text: "W084 23 24.108" (style 0) or "W084 23.4018" (other styles).
    A longitude beyond +-180, NaN or an infinity raises ValueError.

    >>> lon_to_str(-84.390030)
    'W084 23 24.108'
    """
    style = _decimals(style, "style")
    d = (3 if style == 0 else 4) if decimals is None else _decimals(decimals, most=6)
    return _map_text(lambda v: _gridwise.lon_to_str(v, d, style), lon, "lon", True, 180)


def parse_angle(text):
    """Degrees from angle text: every form the writers give, plain decimal degrees,
    and hemisphere letters first or last (N E + positive, S W - negative).

    Text without a number, or with text left over after the angle, raises
    ValueError. A list or array of strings gives a float64 array.

    >>> parse_angle("N33 45 18.912")
    33.755253333333336
    >>> parse_angle(["W084 23.4018", "12.5"]).tolist()
    [-84.39003, 12.5]
    """
    return _map_text(_gridwise.parse_angle, text, "text", False)


# The years the date text tells apart: 1900-01-01 up to 2100-01-01.
_TEXT_TIMES = (-2208988800.0, 4102444800.0)


def _dos_time(value, name):
    if isinstance(value, _datetime.datetime):
        if value.tzinfo is not None:
            value = value.astimezone(_datetime.timezone.utc).replace(tzinfo=None)
        return (value - _datetime.datetime(1970, 1, 1)).total_seconds()
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, (int, float, np.integer, np.floating)):
        raise TypeError(f"{name} must be seconds since 1970 or a datetime, not {type(value).__name__}")
    t = _finite(float(value), name)
    if not _TEXT_TIMES[0] <= t < _TEXT_TIMES[1]:
        raise ValueError(f"{name} = {t!r} lies outside the years 1900 to 2099 of the date text")
    return t


def time_to_str(t):
    """Date and time text "MM-DD-YY hh:mm:ss.s" of seconds since 1970-01-01 (no leap
    seconds; a naive datetime counts as UTC); seconds are cut to tenths and 0 gives "".
    NaN, infinities and times outside the years 1900 to 2099 raise ValueError.

    >>> time_to_str(1700000000.25)
    '11-14-23 22:13:20.2'
    """
    return _gridwise.time_to_str(_dos_time(t, "t"))


def parse_time(text):
    """Seconds since 1970 from "MM-DD-YY[ hh:mm:ss.s]" (any separators; years 50-99
    are 19xx, 00-49 20xx). A text that holds no valid date raises ValueError.

    >>> parse_time("11-14-23 22:13:20.2")
    1700000000.2
    """
    return _map_text(_gridwise.parse_time, text, "text", False)


class Units:
    """Unit settings (section "units" of a settings file) for the text of
    distances, latitudes and longitudes, written as ``gridwise --text --units``
    writes them.

    ``Units()`` has the defaults of an empty section: distances in metres,
    latitudes and longitudes as degrees and decimal minutes. Units 0 metres,
    1 feet, 2 US survey feet, 3 kilometres, 4 nautical miles.

    >>> u = Units()
    >>> u.dist_to_str(1234.5678), u.parse_distance("100ft")
    ('1234.57m', 30.480060960121925)
    """

    __slots__ = ("_u",)

    def __init__(self):
        self._u = _gridwise.Units()

    @classmethod
    def from_settings(cls, path, lenient=False):
        """Reads section "units" of a settings file (FileNotFoundError for a file that
        cannot be read, KeyError when it has no [units] section, ValueError for a
        value that does not read or names no unit or style unless ``lenient``;
        keys that are no unit settings keys are warned of).

        >>> u = Units.from_settings("data/survey/settings.ini")  # doctest: +SKIP
        >>> u.dist_units, u.dist_to_str(100.0)  # doctest: +SKIP
        (2, '328.083ft')
        """
        path = _fspath(path, "path")
        obj = cls.__new__(cls)
        obj._u = _gridwise.Units.from_settings(path)
        _use_settings(path, None, True, bool(lenient))
        return obj

    @property
    def dist_units(self):
        """Index of the distance unit.

        >>> Units().dist_units
        0
        """
        return self._u.dist_units

    @property
    def lat_lon_style(self):
        """The "latLonStyle" setting: 0 degrees and decimal minutes (four decimals),
        other values degrees, minutes and seconds (three decimals) -- the other way
        round from the style argument of :func:`lat_to_str`.

        >>> Units().lat_lon_style
        0
        """
        return self._u.lat_lon_style

    def _unit(self, unit):
        if unit is None:
            unit = self._u.dist_units
            return unit if 0 <= unit <= 4 else 0
        return self._u.checked_unit(_decimals(unit, "unit"))

    def unit_abbrev(self, unit=None):
        """Abbreviation of a unit (default: the distance unit), as written behind numbers.

        >>> Units().unit_abbrev(2)
        'ft'
        """
        return self._u.unit_abbrev(self._unit(unit))

    def _writer_style(self):
        return 0 if self._u.lat_lon_style != 0 else 1

    def lat_to_str(self, lat, decimals=None):
        """Latitude text in this object's style (see :func:`lat_to_str` and
        :attr:`lat_lon_style`).

        >>> Units().lat_to_str(-33.5)
        'S33 30.0000'
        """
        return lat_to_str(lat, decimals, self._writer_style())

    def lon_to_str(self, lon, decimals=None):
        """Longitude text in this object's style (see :func:`lon_to_str` and
        :attr:`lat_lon_style`).

        >>> Units().lon_to_str(151.25)
        'E151 15.0000'
        """
        return lon_to_str(lon, decimals, self._writer_style())

    def parse_angle(self, text):
        """Degrees from angle text (see :func:`parse_angle`).

        >>> Units().parse_angle("S33 30.000")
        -33.5
        """
        return parse_angle(text)

    def dist_to_str(self, meters, unit=None, decimals=None):
        """Distance text: the value in the unit (default: the distance unit) with the
        unit's decimals (or decimals, 0..9) and its abbreviation, no space.

        >>> Units().dist_to_str([1.0, 1000.0], unit=3).tolist()
        ['0.00100km', '1.00000km']
        """
        u = self._unit(unit)
        d = self._u.unit_decimals(u) if decimals is None else _decimals(decimals, most=9)
        return _map_text(lambda v: self._u.dist_to_str(v, u, d), meters, "meters", True)

    def parse_distance(self, text, unit=None):
        """Metres from distance text: a number with an optional suffix m, km, nm, ft, yd
        (any case); a number without one is in the unit (default: the distance unit).
        "ft" is the international foot when the unit is feet (1), else the US survey foot.
        Text without a number, or text left after it, raises ValueError.

        >>> Units().parse_distance("1.5km")
        1500.0
        """
        u = self._unit(unit)
        return _map_text(lambda t: self._u.parse_distance(t, u), text, "text", False)

    def time_to_str(self, t):
        """Date and time text (see :func:`time_to_str`).

        >>> Units().time_to_str(86400.0)
        '01-02-70 00:00:00.0'
        """
        return time_to_str(t)

    def parse_time(self, text):
        """Seconds since 1970 from date text (see :func:`parse_time`).

        >>> Units().parse_time("01-02-70")
        86400.0
        """
        return parse_time(text)

