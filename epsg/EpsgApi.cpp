// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The C functions of gridwise/epsg.h: a definition read from the registry,
// mapped onto the two texts of a geodesy, built by gwGeodesyFromText. Failures
// go to the core's per-thread gwLastError; no exception leaves these functions.
#include "gridwise/epsg.h"

#include <cstring>
#include <new>
#include <string>

#include "epsg/EpsgMapping.h"
#include "epsg/EpsgRegistry.h"

namespace {

using gw::epsg::CrsDefinition;
using gw::epsg::Failure;
using gw::epsg::Mapping;

std::string accuracyText(double a) {
    return a < 0 ? std::string("accuracy unknown") : "accuracy " + gw::epsg::decimal(a) + " m";
}

std::string shiftLine(const CrsDefinition& crs) {
    switch (crs.shiftKind) {
    case gw::epsg::ShiftKind::wgs84: return "shift: none, the datum is WGS 84";
    case gw::epsg::ShiftKind::helmert:
        return "shift: EPSG:" + std::to_string(crs.shift.code) + " " + crs.shift.name + ", " +
               accuracyText(crs.shift.accuracy);
    case gw::epsg::ShiftKind::gridOnly:
        return "shift: none, the registry has only grid-based transformations to WGS 84 for " + crs.datumName;
    case gw::epsg::ShiftKind::none: break;
    }
    return "shift: none, the registry has no transformation to WGS 84 for " + crs.datumName;
}

struct Built {
    CrsDefinition crs;
    Mapping mapping;
};

// The definition and its mapping; throws Failure for a refused CRS.
Built build(int code, int transformation) {
    Built b;
    b.crs = gw::epsg::readCrs(code, transformation);
    b.mapping = gw::epsg::mapCrs(b.crs);
    if (!b.mapping.ok) throw Failure{GW_ERROR_UNSUPPORTED, b.mapping.reason};
    return b;
}

ptrdiff_t copyOut(const std::string& text, char* dst, size_t size) {
    if (dst != nullptr && size > 0) {
        const size_t n = text.size() < size - 1 ? text.size() : size - 1;
        std::memcpy(dst, text.data(), n);
        dst[n] = '\0';
    }
    return static_cast<ptrdiff_t>(text.size());
}

ptrdiff_t failText(int code, const char* reason, char* dst, size_t size) {
    gwSetLastError(code, reason);
    if (dst != nullptr && size > 0) dst[0] = '\0';
    return -1;
}

// Records the exception being handled as this thread's last error: a refusal
// with its class, memory running out, or any other failure as internal. Called
// only from within a catch block.
void recordCurrentException() noexcept {
    try {
        throw;
    } catch (const Failure& f) {
        gwSetLastError(f.code, f.reason.c_str());
    } catch (const std::bad_alloc&) {
        gwSetLastError(GW_ERROR_OUT_OF_MEMORY, "out of memory");
    } catch (const std::exception& e) {
        gwSetLastError(GW_ERROR_INTERNAL, e.what());
    } catch (...) {
        gwSetLastError(GW_ERROR_INTERNAL, "unknown failure reading the EPSG registry");
    }
}

// The same for a text function: its buffer emptied, -1 returned.
ptrdiff_t failCurrent(char* dst, size_t size) noexcept {
    recordCurrentException();
    if (dst != nullptr && size > 0) dst[0] = '\0';
    return -1;
}

} // namespace

extern "C" {

GwGeodesy* gwGeodesyFromEpsg(int code, int transformation) {
    try {
        const Built b = build(code, transformation);
        // gwGeodesyFromText sets gwLastError itself when it refuses.
        return gwGeodesyFromText(b.mapping.initString.c_str(), b.mapping.datumText.c_str());
    } catch (...) {
        recordCurrentException();
    }
    return nullptr;
}

ptrdiff_t gwEpsgDescribe(int code, int transformation, char* dst, size_t size) {
    try {
        const Built b = build(code, transformation);
        const gw::epsg::ListNames names = gw::epsg::listNames(b.crs);
        const std::string unit = b.crs.unitName.empty() ? "metre" : b.crs.unitName;
        const std::string text = "EPSG:" + std::to_string(code) + " " + b.crs.name + "\nmethod: " + b.crs.methodName +
                                 " (EPSG:" + std::to_string(b.crs.method) + ")\nunit: " + unit + "\n" +
                                 "general name: " + names.general + "\nspecific name: " + names.specific + "\n" +
                                 shiftLine(b.crs) + "\ninit: " + b.mapping.initString +
                                 "\ndatum: " + b.mapping.datumText;
        return copyOut(text, dst, size);
    } catch (...) {
        return failCurrent(dst, size);
    }
}

ptrdiff_t gwEpsgSearch(const char* text, char* dst, size_t size) {
    try {
        if (text == nullptr) return failText(GW_ERROR_BAD_ARGUMENT, "no search text", dst, size);
        std::string out;
        for (const gw::epsg::SearchRow& row : gw::epsg::search(text)) {
            out += std::to_string(row.code) + "\t" + row.name + "\t" + row.method + "\t" + row.unit + "\t" +
                   (row.supported ? "yes" : "no") + "\n";
        }
        return copyOut(out, dst, size);
    } catch (...) {
        return failCurrent(dst, size);
    }
}

} // extern "C"
