// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The units object the library's own text forms use.
#ifndef GRIDWISE_UNITS_CURRENTUNITS_H
#define GRIDWISE_UNITS_CURRENTUNITS_H

#include "gridwise/units.h"
#include "units/SettingKey.h"

#include <span>

namespace gw {

// The process-wide units object, or, while there is none, a freshly built one
// (metres, default settings). The unit table is the same in both, so conversions
// and distance texts read from it need no units object to exist.
Units& currentUnits();

// The settings keys of the section "units", in the order they are saved.
std::span<const SettingKey> unitsSettingKeys();

} // namespace gw

#endif
