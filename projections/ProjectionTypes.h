// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The registry of projection types: the one table that says which class a type
// code stands for, with what each type brings along (its name, its factory, its
// batch operations, its settings keys). The factory (makeProjection), the batch conversions and the
// dialog layer consult it; no other place names a type code by its number.
#ifndef GRIDWISE_PROJECTIONS_PROJECTIONTYPES_H
#define GRIDWISE_PROJECTIONS_PROJECTIONTYPES_H

#include <memory>
#include <span>
#include <vector>

#include "gridwise/projection.h"
#include "units/SettingKey.h"

namespace gw {

class GridBatch;
struct InitField;

// The type codes of the concrete projections, as initialisation strings and
// settings carry them (their public names in gridwise/projection.h). 2 and 8 have
// no class.
enum class ProjectionType : int {
    transverseMercator = GW_TYPE_TRANSVERSE_MERCATOR,
    lambert = GW_TYPE_LAMBERT,
    kestrelLocal = GW_TYPE_AFFINE_LOCAL,
    polarStereo = GW_TYPE_POLAR_STEREOGRAPHIC,
    local = GW_TYPE_LOCAL_TANGENT,
    stationOffset = GW_TYPE_STATION_OFFSET,
    rd = GW_TYPE_RD,
};

constexpr int code(ProjectionType t) { return static_cast<int>(t); }

// One past the largest type code with a class.
inline constexpr int kProjectionTypeCodes = 8;

struct ProjectionTypeInfo {
    ProjectionType type;
    const char* name; // the class's own name
    // A new projection of the class, built from an initialisation string (null:
    // the class's defaults).
    Projection* (*make)(char* init);
    // The batch operations of a projection of the class (null: none of its own).
    std::unique_ptr<GridBatch> (*batch)(Projection& concrete);
    // The class's settings keys, in the order of a new section.
    std::span<const SettingKey> (*settingKeys)();
    // The fields of the class's initialisation string (projections/ProjectionKeys.h).
    std::vector<InitField> (*fields)();
};

// The fields of each class's initialisation string, from its key table.
std::vector<InitField> transverseMercatorFields();
std::vector<InitField> lambertFields();
std::vector<InitField> kestrelLocalFields();
std::vector<InitField> polarStereoFields();
std::vector<InitField> localFields();
std::vector<InitField> stationOffsetFields();
std::vector<InitField> rdFields();

// Every type with a class, in code order.
std::span<const ProjectionTypeInfo> projectionTypes();
// The entry of a type code; null for a code without a class.
const ProjectionTypeInfo* projectionType(int code);

} // namespace gw

#endif
