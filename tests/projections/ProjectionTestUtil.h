// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Shared fixtures of the projection tests.
#ifndef GRIDWISE_TESTS_PROJECTIONS_UTIL_H
#define GRIDWISE_TESTS_PROJECTIONS_UTIL_H

#include <fstream>
#include <string>

#include "geodesy/Datum.h"
#include "support/SettingsFiles.h"

namespace gwtest {

// A datum with the ellipsoid (a, 1/f) and no shift.
inline Datum ellipsoid(double a, double rf) {
    Datum d;
    d.aAxis = a;
    d.inverseFlattening = rf;
    d.update();
    return d;
}

// The WGS 84 ellipsoid with its defining inverse flattening.
inline Datum wgs84() { return ellipsoid(6378137.0, 298.257223563); }

// The char* that the projection interface takes for a section, file or text.
inline char* mut(std::string& s) { return s.data(); }

// A C string as std::string, so that EXPECT_EQ compares texts.
inline std::string text(const char* s) { return s; }

// Writes file with one section of a local system over a base projection: every
// key of ownKeys and baseKeys set to value, the base type code, and longText as
// local, general and specific name.
template <class OwnKeys, class BaseKeys>
void writeLocalSystemSection(const std::string& file, const std::string& section, const OwnKeys& ownKeys,
                             const BaseKeys& baseKeys, const char* value, const char* baseType,
                             const std::string& longText) {
    std::ofstream out(file);
    out << "[" << section << "]\n";
    out << "localProjName=" << longText << "\n";
    for (const char* key : ownKeys) out << key << "=" << value << "\n";
    for (const char* key : baseKeys) out << key << "=" << value << "\n";
    out << "localGeodesyType=" << baseType << "\n";
    out << "general=" << longText << "\nspecific=" << longText << "\n";
}

} // namespace gwtest

#endif
