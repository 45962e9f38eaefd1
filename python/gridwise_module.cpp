// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The native part of the Python package `gridwise`: geodesy objects by handle,
// strided conversions over numpy arrays with the GIL released, and the text forms
// of angles, distances and dates. The package's __init__.py turns its inputs into
// float64 arrays of one broadcast shape and its outputs into the caller's shapes;
// this file walks those arrays and hands rows to the batch conversions.
//
// No C++ exception leaves a function here other than through pybind11, which turns
// it into a Python exception; the library functions called never throw.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <optional>
#include <string>
#include <vector>

#include "gridwise/angletext.h"
#include "gridwise/batch.h"
#include "gridwise/datetext.h"
#include "gridwise/projection.h"
#include "gridwise/units.h"
#ifdef GRIDWISE_HAVE_EPSG
#include "gridwise/epsg.h"
#endif

namespace py = pybind11;

namespace {

// ---------------------------------------------------------------------------
// Geodesy handles

struct HandleFree {
    void operator()(GwGeodesy* g) const noexcept { gwGeodesyFree(g); }
};

class Handle {
public:
    explicit Handle(GwGeodesy* g) : g_(g) {}
    const GwGeodesy* get() const { return g_.get(); }
    GwGeodesy* get() { return g_.get(); }

private:
    std::unique_ptr<GwGeodesy, HandleFree> g_;
};

std::string lastError() {
    const char* e = gwLastError();
    return e != nullptr ? e : "";
}

// Texts that carry names (initialisation strings, datum texts, description lines)
// cross to Python as str decoded from UTF-8 with "surrogateescape": a byte that is
// not UTF-8 (a Latin-1 name from an old settings file) becomes a lone surrogate,
// and the same error handler turns it back into that byte on the way in, so a
// text read here goes back into from_text unchanged.
py::str textToPython(const std::string& text) {
    PyObject* s = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
    if (s == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
}

std::string textFromPython(const py::str& text) {
    PyObject* b = PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape");
    if (b == nullptr) throw py::error_already_set();
    const py::bytes bytes = py::reinterpret_steal<py::bytes>(b);
    return std::string(bytes);
}

// A reason as UTF-8 for an exception's message: bytes that are not UTF-8 are
// written as \xNN.
std::string readableReason(const std::string& reason) {
    PyObject* s = PyUnicode_DecodeUTF8(reason.data(), static_cast<Py_ssize_t>(reason.size()), "backslashreplace");
    if (s == nullptr) {
        PyErr_Clear();
        return "(unreadable reason)";
    }
    const py::str text = py::reinterpret_steal<py::str>(s);
    return std::string(text);
}

// Raises the Python exception of the class of this thread's last failure of the
// handle interface: FileNotFoundError for a settings file that cannot be read,
// KeyError for a missing section, MemoryError when memory ran out, ValueError for
// what the caller gave (arguments and texts), RuntimeError otherwise.
[[noreturn]] void raiseLastError() {
    const std::string reason = readableReason(lastError());
    switch (gwLastErrorCode()) {
    case GW_ERROR_FILE_UNREADABLE:
        PyErr_SetString(PyExc_FileNotFoundError, reason.c_str());
        throw py::error_already_set();
    case GW_ERROR_SECTION_MISSING:
        throw py::key_error(reason);
    case GW_ERROR_OUT_OF_MEMORY:
        throw std::bad_alloc();
    case GW_ERROR_FILE_UNWRITABLE:
        PyErr_SetString(PyExc_OSError, reason.c_str());
        throw py::error_already_set();
    case GW_ERROR_BAD_ARGUMENT:
    case GW_ERROR_TEXT_UNREADABLE:
    case GW_ERROR_UNSUPPORTED:
        throw py::value_error(reason);
    default:
        throw std::runtime_error(reason);
    }
}

Handle fromSettings(const std::string& file, const std::string& section, bool lenient) {
    GwGeodesy* g = gwGeodesyFromSettingsWith(file.c_str(), section.c_str(), lenient ? GW_SETTINGS_LENIENT : 0);
    if (g == nullptr) raiseLastError();
    return Handle(g);
}

// The problem lines of the settings check (gwSettingsProblems), one string; a
// byte of the file that is not UTF-8 is shown as its escape (\xfc).
py::str settingsProblems(const std::string& file, std::optional<std::string> section, bool units) {
    const char* s = section ? section->c_str() : nullptr;
    const int flags = units ? GW_CHECK_UNITS : 0;
    const long length = gwSettingsProblems(file.c_str(), s, flags, nullptr, 0, nullptr);
    if (length < 0) raiseLastError();
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    gwSettingsProblems(file.c_str(), s, flags, text.data(), text.size(), nullptr);
    PyObject* str = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(std::strlen(text.data())), "backslashreplace");
    if (str == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(str);
}

Handle fromText(const py::str& initText, const py::str& datumText) {
    const std::string init = textFromPython(initText);
    const std::string datum = textFromPython(datumText);
    GwGeodesy* g = gwGeodesyFromText(init.c_str(), datum.c_str());
    if (g == nullptr) raiseLastError();
    return Handle(g);
}

#ifdef GRIDWISE_HAVE_EPSG
// Geodesy objects from EPSG codes (libgridwise-epsg.so).
Handle fromEpsg(int code, int transformation) {
    GwGeodesy* g = gwGeodesyFromEpsg(code, transformation);
    if (g == nullptr) raiseLastError();
    return Handle(g);
}

// A text of one of the EPSG writers (whole length returned, -1 on failure).
std::string epsgText(const std::function<ptrdiff_t(char*, size_t)>& writer) {
    const ptrdiff_t length = writer(nullptr, 0);
    if (length < 0) raiseLastError();
    std::vector<char> text(static_cast<size_t>(length) + 1);
    if (writer(text.data(), text.size()) != length) raiseLastError();
    return std::string(text.data(), static_cast<size_t>(length));
}

std::string epsgDescribe(int code, int transformation) {
    return epsgText([&](char* dst, size_t size) { return gwEpsgDescribe(code, transformation, dst, size); });
}

std::string epsgSearch(const std::string& text) {
    return epsgText([&](char* dst, size_t size) { return gwEpsgSearch(text.c_str(), dst, size); });
}
#endif

// WGS 84 and the default Transverse Mercator, as a freshly built geodesy object.
Handle defaultHandle() {
    GwGeodesy* g = gwGeodesyNew();
    if (g == nullptr) raiseLastError();
    return Handle(g);
}

Handle copyHandle(const Handle& h) {
    GwGeodesy* g = gwGeodesyCopy(h.get());
    if (g == nullptr) raiseLastError();
    return Handle(g);
}

// A text of the handle from one of its writers (which return the whole length).
std::string handleText(const Handle& h, const std::function<size_t(const GwGeodesy*, char*, size_t)>& writer) {
    std::vector<char> text(256);
    const size_t length = writer(h.get(), text.data(), text.size());
    if (length >= text.size()) {
        text.assign(length + 1, '\0');
        writer(h.get(), text.data(), text.size());
    }
    return std::string(text.data(), length);
}

py::str initString(const Handle& h) { return textToPython(handleText(h, gwGeodesyInitString)); }

py::str datumText(const Handle& h) { return textToPython(handleText(h, gwGeodesyDatumText)); }

// The handle's exact texts (initialisation string, datum text): every value reads
// back to the bit through from_text.
py::tuple exactTexts(const Handle& h) {
    auto part = [&h](int which) {
        return textToPython(handleText(h, [which](const GwGeodesy* g, char* dst, size_t size) {
            return gwGeodesyExactText(g, which, dst, size);
        }));
    };
    return py::make_tuple(part(GW_DESCRIBE_PROJECTION), part(GW_DESCRIBE_DATUM));
}

py::list descriptionLines(const Handle& h, int part) {
    const std::string text = handleText(h, [part](const GwGeodesy* g, char* dst, size_t size) {
        return gwGeodesyDescription(g, part, dst, size);
    });
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    py::list out;
    for (const std::string& line : lines) out.append(textToPython(line));
    return out;
}

py::tuple describe(const Handle& h) {
    return py::make_tuple(descriptionLines(h, GW_DESCRIBE_PROJECTION), descriptionLines(h, GW_DESCRIBE_DATUM),
                          initString(h));
}

// ---------------------------------------------------------------------------
// Batch conversions over arrays of one shape

enum Kind { GeoToGrid, GridToGeo, ToWgs84, FromWgs84, Convergence, PointScale, Inverse, Direct, KindCount };

struct KindInfo {
    int inputs;
    int outputs;
};

constexpr KindInfo kinds[KindCount] = {{2, 2}, {2, 2}, {3, 3}, {3, 3}, {2, 1}, {2, 1}, {4, 2}, {4, 2}};

using Ptr = const double*;

std::size_t runRow(Kind kind, const GwGeodesy* g, std::size_t n, const std::array<Ptr, 4>& in,
                   const std::array<ptrdiff_t, 4>& is, const std::array<double*, 3>& out,
                   const std::array<ptrdiff_t, 3>& os, int* status) {
    switch (kind) {
    case GeoToGrid:
        return gwGeoToGrid(g, n, in[0], is[0], in[1], is[1], out[0], os[0], out[1], os[1], status);
    case GridToGeo:
        return gwGridToGeo(g, n, in[0], is[0], in[1], is[1], out[0], os[0], out[1], os[1], status);
    case ToWgs84:
        return gwWorkingToWgs84(g, n, in[0], is[0], in[1], is[1], in[2], is[2], out[0], os[0], out[1], os[1],
                                out[2], os[2], status);
    case FromWgs84:
        return gwWgs84ToWorking(g, n, in[0], is[0], in[1], is[1], in[2], is[2], out[0], os[0], out[1], os[1],
                                out[2], os[2], status);
    case Convergence:
        return gwConvergence(g, n, in[0], is[0], in[1], is[1], out[0], os[0], status);
    case PointScale:
        return gwPointScale(g, n, in[0], is[0], in[1], is[1], out[0], os[0], status);
    case Inverse:
        return gwGeodesicInverse(g, n, in[0], is[0], in[1], is[1], in[2], is[2], in[3], is[3], out[0], os[0],
                                 out[1], os[1], status);
    case Direct:
        return gwGeodesicDirect(g, n, in[0], is[0], in[1], is[1], in[2], is[2], in[3], is[3], out[0], os[0],
                                out[1], os[1], status);
    default:
        return 0;
    }
}

// One array as seen by the walk: base address and byte strides over the shape.
struct View {
    char* base;
    std::vector<ptrdiff_t> strides;
};

// True when the array's data and every step through it fall on its items'
// alignment, so that the walk reads and writes them as doubles (or ints).
bool aligned(const py::array& a) {
    const auto align = static_cast<std::uintptr_t>(a.itemsize());
    if (reinterpret_cast<std::uintptr_t>(a.data()) % align != 0) return false;
    for (py::ssize_t d = 0; d < a.ndim(); ++d)
        if (a.shape(d) > 1 && static_cast<std::uintptr_t>(a.strides(d)) % align != 0) return false;
    return true;
}

// Converts every point of arrays of one shape. `inputs` are float64 arrays of that
// shape (any strides, broadcast ones included); `outputs` writable float64 arrays
// of that shape, `status` (None or) a writable C-contiguous intc array of it. The
// dimensions are merged where every array allows, so plain arrays make one call;
// otherwise each row of the last merged dimension is one call. The GIL is released
// while converting. Returns the number of points converted (status 0).
std::size_t convert(const Handle& h, int kindCode, const std::vector<py::array>& inputs,
                    const std::vector<py::array>& outputs, const py::object& status) {
    if (kindCode < 0 || kindCode >= KindCount) throw py::value_error("unknown conversion");
    const Kind kind = static_cast<Kind>(kindCode);
    const KindInfo info = kinds[kind];
    if (static_cast<int>(inputs.size()) != info.inputs || static_cast<int>(outputs.size()) != info.outputs)
        throw py::value_error("wrong number of arrays for this conversion");

    const py::array& first = outputs[0];
    const py::ssize_t ndim = first.ndim();
    std::vector<py::ssize_t> shape(first.shape(), first.shape() + ndim);
    std::size_t total = 1;
    for (py::ssize_t d : shape) total *= static_cast<std::size_t>(d);

    auto check = [&](const py::array& a, bool writable, const char* what) {
        // Any float64 dtype object of native byte order: one from a pickle or
        // another process is equal to numpy's own but not the same object.
        if (!py::isinstance<py::array_t<double>>(a)) throw py::type_error(std::string(what) + " array is not float64");
        if (!aligned(a)) throw py::value_error(std::string(what) + " array is not aligned for float64");
        if (a.ndim() != ndim) throw py::value_error(std::string(what) + " array has another shape");
        for (py::ssize_t d = 0; d < ndim; ++d)
            if (a.shape(d) != shape[d]) throw py::value_error(std::string(what) + " array has another shape");
        if (writable && !a.writeable()) throw py::value_error(std::string(what) + " array is read-only");
    };

    std::vector<View> views;
    for (const py::array& a : inputs) {
        check(a, false, "input");
        views.push_back({static_cast<char*>(const_cast<void*>(a.data())),
                         std::vector<ptrdiff_t>(a.strides(), a.strides() + ndim)});
    }
    if (total == 0) return 0;
    for (const py::array& a : outputs) {
        check(a, true, "output");
        for (py::ssize_t d = 0; d < ndim; ++d)
            if (a.strides(d) == 0 && shape[d] > 1) throw py::value_error("output array is broadcast");
        views.push_back({static_cast<char*>(const_cast<void*>(a.data())),
                         std::vector<ptrdiff_t>(a.strides(), a.strides() + ndim)});
    }
    bool haveStatus = !status.is_none();
    if (haveStatus) {
        py::array s = py::reinterpret_borrow<py::array>(status);
        if (!py::isinstance<py::array_t<int>>(s) || s.ndim() != ndim || !(s.flags() & py::array::c_style) ||
            !s.writeable() || !aligned(s))
            throw py::value_error("status array must be a writable C-contiguous intc array");
        for (py::ssize_t d = 0; d < ndim; ++d)
            if (s.shape(d) != shape[d]) throw py::value_error("status array has another shape");
        views.push_back({static_cast<char*>(s.mutable_data()),
                         std::vector<ptrdiff_t>(s.strides(), s.strides() + ndim)});
    }

    // Merge dimension d into d+1 where every array steps over d as over d+1 rows
    // (strides[d] == strides[d+1] * shape[d+1]); size-1 dimensions drop out.
    std::vector<py::ssize_t> mshape;
    std::vector<std::vector<ptrdiff_t>> mstrides(views.size());
    for (py::ssize_t d = 0; d < ndim; ++d) {
        if (shape[d] == 1) continue;
        bool merge = !mshape.empty();
        if (merge)
            for (std::size_t v = 0; v < views.size(); ++v)
                if (mstrides[v].back() != views[v].strides[d] * shape[d]) merge = false;
        if (merge) {
            mshape.back() *= shape[d];
            for (std::size_t v = 0; v < views.size(); ++v) mstrides[v].back() = views[v].strides[d];
        } else {
            mshape.push_back(shape[d]);
            for (std::size_t v = 0; v < views.size(); ++v) mstrides[v].push_back(views[v].strides[d]);
        }
    }
    if (mshape.empty()) {
        mshape.push_back(1);
        for (auto& s : mstrides) s.push_back(0);
    }
    const std::size_t dims = mshape.size();
    const std::size_t rowLength = static_cast<std::size_t>(mshape.back());
    const std::size_t statusView = views.size() - 1;

    const GwGeodesy* g = h.get();
    std::size_t converted = 0;
    {
        py::gil_scoped_release release;
        std::vector<py::ssize_t> index(dims, 0);
        const std::size_t rows = total / rowLength;
        for (std::size_t r = 0; r < rows; ++r) {
            std::array<Ptr, 4> in{};
            std::array<ptrdiff_t, 4> is{};
            std::array<double*, 3> out{};
            std::array<ptrdiff_t, 3> os{};
            int* st = nullptr;
            for (std::size_t v = 0; v < views.size(); ++v) {
                char* p = views[v].base;
                for (std::size_t d = 0; d + 1 < dims; ++d) p += index[d] * mstrides[v][d];
                const ptrdiff_t step = mstrides[v][dims - 1];
                if (v < inputs.size()) {
                    in[v] = reinterpret_cast<Ptr>(p);
                    is[v] = step;
                } else if (v < inputs.size() + outputs.size()) {
                    out[v - inputs.size()] = reinterpret_cast<double*>(p);
                    os[v - inputs.size()] = step;
                } else if (haveStatus && v == statusView) {
                    st = reinterpret_cast<int*>(p);
                }
            }
            converted += runRow(kind, g, rowLength, in, is, out, os, st);
            for (std::size_t d = dims - 1; d-- > 0;) {
                if (++index[d] < mshape[d]) break;
                index[d] = 0;
            }
        }
    }
    return converted;
}

// ---------------------------------------------------------------------------
// Text

std::vector<char> cText(const std::string& s) {
    std::vector<char> t(s.begin(), s.end());
    t.push_back('\0');
    return t;
}

bool onlySpaceFrom(const std::string& s, std::size_t pos) {
    for (std::size_t i = pos; i < s.size(); ++i)
        if (!(s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n' || s[i] == '\f' || s[i] == '\v'))
            return false;
    return true;
}

std::string angleText(int (*writer)(char*, double, int, int), double v, int decimals, int style) {
    char buf[64];
    std::memset(buf, 0, sizeof buf);
    writer(buf, v, decimals, style);
    return buf;
}

// Angle text read whole: a number is there and nothing but blanks follows it.
double parseAngle(const std::string& text) {
    if (text.find('\0') != std::string::npos) throw py::value_error("angle text holds a NUL character");
    double v = 0.0;
    size_t stop = 0;
    const int verdict = gwReadAngle(text.c_str(), 0, &v, &stop);
    if (verdict == 0) throw py::value_error("'" + text + "' is not an angle");
    if (verdict < 0)
        throw py::value_error("'" + text + "' is not an angle: unread text from position " + std::to_string(stop));
    return v;
}

class PyUnits {
public:
    Units units;

    static PyUnits fromSettings(const std::string& file) {
        if (gwSettingsSectionCheck(file.c_str(), "units") != GW_ERROR_NONE) raiseLastError();
        PyUnits u;
        std::vector<char> f = cText(file);
        u.units.loadData(f.data());
        return u;
    }

    int checkedUnit(int unit) const {
        if (unit < 0 || unit > 9 || units.unitTable[unit].name[0] == '\0')
            throw py::value_error("unit " + std::to_string(unit) + " is not in the unit table (0..4)");
        return unit;
    }

    // Room for the widest finite double in fixed notation, nine decimals and the
    // longest abbreviation.
    std::string distToStr(double meters, int unit, int decimals) {
        char buf[400];
        units.toStr(buf, meters, unit, decimals, sizeof buf);
        return buf;
    }

    double parseDistance(const std::string& text, int unit) {
        if (text.find('\0') != std::string::npos) throw py::value_error("distance text holds a NUL character");
        std::vector<char> t = cText(text);
        int pos = 0;
        const double v = units.fromStr(t.data(), unit, &pos);
        bool digits = false;
        for (std::size_t i = 0; i < static_cast<std::size_t>(pos) && i < text.size(); ++i)
            if (text[i] >= '0' && text[i] <= '9') digits = true;
        if (!digits) throw py::value_error("'" + text + "' is not a distance");
        if (!onlySpaceFrom(text, static_cast<std::size_t>(pos)))
            throw py::value_error("'" + text + "' is not a distance: unread text from position " +
                                  std::to_string(pos));
        return v;
    }
};

std::string timeText(double t) {
    char buf[32];
    std::memset(buf, 0, sizeof buf);
    timeToStr(buf, t);
    return buf;
}

double parseTime(const std::string& text) {
    if (text.find('\0') != std::string::npos) throw py::value_error("date text holds a NUL character");
    const double t = strToTime(text.c_str());
    if (t == 0.0) throw py::value_error("'" + text + "' is not a date (MM-DD-YY hh:mm:ss.s)");
    return t;
}

} // namespace

PYBIND11_MODULE(_gridwise, m) {
    m.doc() = "Native part of the gridwise package; use the package itself.";

    py::class_<Handle>(m, "Handle")
        .def("copy", &copyHandle)
        .def("init_string", &initString)
        .def("datum_text", &datumText)
        .def("exact_texts", &exactTexts)
        .def("describe", &describe);
    m.def("default_handle", &defaultHandle);
    m.def("from_settings", &fromSettings, py::arg("file"), py::arg("section"), py::arg("lenient") = false);
    m.def("settings_problems", &settingsProblems, py::arg("file"), py::arg("section"), py::arg("units"));
    m.def("from_text", &fromText, py::arg("init_string"), py::arg("datum_text"));
#ifdef GRIDWISE_HAVE_EPSG
    m.def("from_epsg", &fromEpsg, py::arg("code"), py::arg("transformation"));
    m.def("epsg_describe", &epsgDescribe, py::arg("code"), py::arg("transformation"));
    m.def("epsg_search", &epsgSearch, py::arg("text"));
    m.attr("HAVE_EPSG") = true;
#else
    m.attr("HAVE_EPSG") = false;
#endif
    m.def("convert", &convert, py::arg("handle"), py::arg("kind"), py::arg("inputs"), py::arg("outputs"),
          py::arg("status"));
    m.attr("GEO_TO_GRID") = static_cast<int>(GeoToGrid);
    m.attr("GRID_TO_GEO") = static_cast<int>(GridToGeo);
    m.attr("TO_WGS84") = static_cast<int>(ToWgs84);
    m.attr("FROM_WGS84") = static_cast<int>(FromWgs84);
    m.attr("CONVERGENCE") = static_cast<int>(Convergence);
    m.attr("POINT_SCALE") = static_cast<int>(PointScale);
    m.attr("INVERSE") = static_cast<int>(Inverse);
    m.attr("DIRECT") = static_cast<int>(Direct);

    py::class_<PyUnits>(m, "Units")
        .def(py::init<>())
        .def_static("from_settings", &PyUnits::fromSettings, py::arg("file"))
        .def("checked_unit", &PyUnits::checkedUnit)
        .def("dist_to_str", &PyUnits::distToStr)
        .def("parse_distance", &PyUnits::parseDistance)
        .def_property_readonly("dist_units", [](const PyUnits& u) { return u.units.distUnits; })
        .def_property_readonly("wp_units", [](const PyUnits& u) { return u.units.wpUnits; })
        .def_property_readonly("lat_lon_style", [](const PyUnits& u) { return u.units.latLonStyle; })
        .def("unit_decimals", [](const PyUnits& u, int unit) { return u.units.unitTable[unit].decimals; })
        .def("unit_abbrev", [](const PyUnits& u, int unit) { return std::string(u.units.unitTable[unit].abbrev); })
        .def("unit_name", [](const PyUnits& u, int unit) { return std::string(u.units.unitTable[unit].name); });

    m.def("lat_to_str", [](double v, int decimals, int style) { return angleText(latToStr, v, decimals, style); });
    m.def("lon_to_str", [](double v, int decimals, int style) { return angleText(lonToStr, v, decimals, style); });
    m.def("parse_angle", &parseAngle);
    m.def("time_to_str", &timeText);
    m.def("parse_time", &parseTime);
}
