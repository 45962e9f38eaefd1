// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Valid indices into the unit table, and the unit record of a projection's grid unit.
//
// Three rules select a record from a unit index; each is spelled here once:
//   - unitTableIndex (inUnitTable): an index into the ten-record table
//     (Units::unitTable);
//   - filledUnitIndex: one of the five records the Units constructor fills
//     (metres, feet, US survey feet, kilometres, nautical miles), whatever a host
//     has written into the table since; the distance texts and parsers use it;
//   - gridUnitIndex: a record of the table in use now (a positive factor), which
//     is what a grid value is divided by.
// Every rule gives 0 (metres) for an index it refuses.
#ifndef GRIDWISE_UNITS_GRIDUNIT_H
#define GRIDWISE_UNITS_GRIDUNIT_H

#include "gridwise/units.h"

#include <type_traits>

namespace gw {

inline constexpr int kUnitTableSize = static_cast<int>(std::extent_v<decltype(Units::unitTable)>);
inline constexpr int kFilledUnits = 5;

inline constexpr bool inUnitTable(int index) { return index >= 0 && index < kUnitTableSize; }

inline constexpr int unitTableIndex(int index) { return inUnitTable(index) ? index : 0; }

inline constexpr int filledUnitIndex(int index) {
    return index >= 0 && index < kFilledUnits ? index : 0;
}

// Record `index` of the unit table when it is in the table and in use (factor
// above 0); record 0 otherwise, so a grid value is never divided by zero nor read
// from outside the table.
inline int gridUnitIndex(const Units& units, int index) {
    if (inUnitTable(index) && units.unitTable[index].metersPerUnit > 0.0)
        return index;
    return 0;
}

inline const Unit& gridUnit(const Units& units, int index) {
    return units.unitTable[gridUnitIndex(units, index)];
}

} // namespace gw

#endif
