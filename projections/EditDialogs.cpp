// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/EditDialogs.h"

#include "projections/ProjectionTypes.h"

namespace gw {

namespace {
ProjectionDialog runners[kProjectionTypeCodes] = {};
} // namespace

void setProjectionDialog(int typeCode, ProjectionDialog runner) {
    if (typeCode >= 0 && typeCode < kProjectionTypeCodes) runners[typeCode] = runner;
}

int runProjectionDialog(int typeCode, Projection& p, CWnd* parent, ProjDataStruct** list) {
    if (typeCode < 0 || typeCode >= kProjectionTypeCodes || runners[typeCode] == nullptr) return 0;
    try {
        return runners[typeCode](p, parent, list);
    } catch (...) {
        return 0;
    }
}

} // namespace gw
