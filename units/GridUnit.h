// The unit record of a projection's grid unit.
#ifndef GRIDWISE_UNITS_GRIDUNIT_H
#define GRIDWISE_UNITS_GRIDUNIT_H

#include "gridwise/units.h"

namespace gw {

// Record `index` of the unit table; an index outside the table, or one of the
// records not in use (factor 0), gives record 0 (metres), so a grid value is
// never divided by zero nor read from outside the table.
inline int gridUnitIndex(const Units& units, int index) {
    if (index >= 0 && index < 10 && units.unitTable[index].metersPerUnit > 0.0)
        return index;
    return 0;
}

inline const Unit& gridUnit(const Units& units, int index) {
    return units.unitTable[gridUnitIndex(units, index)];
}

} // namespace gw

#endif
