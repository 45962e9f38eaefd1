// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The EPSG registry as data: the SQLite database of Debian's proj-data package
// (/usr/share/proj/proj.db, or the file GRIDWISE_EPSG_DB names), opened read-only
// once per process. readCrs gathers what the mapping needs for one projected CRS;
// search lists the projected CRSs by name or code.
//
// Failures are thrown as Failure (a class of gridwise/batch.h and the reason);
// the C functions of epsg.h turn them into gwLastError.
//
// Threads: any number of threads may call these at once. The one connection is
// shared; each call takes its reads under the registry's lock.
#ifndef GRIDWISE_EPSG_EPSGREGISTRY_H
#define GRIDWISE_EPSG_EPSGREGISTRY_H

#include <string>
#include <vector>

#include "epsg/EpsgMapping.h"

namespace gw::epsg {

struct Failure {
    int code; // GW_ERROR_*
    std::string reason;
};

// The definition of the projected CRS EPSG:code with its shift to WGS 84: the
// registry's choice when transformation is 0, else that transformation. Throws
// Failure for a code that is not a non-deprecated projected CRS, an unfit
// transformation, or a database that cannot be read.
CrsDefinition readCrs(int code, int transformation);

struct SearchRow {
    int code = 0;
    std::string name;
    std::string method;
    std::string unit;
    bool supported = false;
};

// The non-deprecated projected CRSs whose name holds text (ASCII case ignored)
// or whose code it names ("2240", "EPSG:2240"), by code.
std::vector<SearchRow> search(const std::string& text);

} // namespace gw::epsg

#endif
