// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The units file name: the settings file last given to loadUnits, read by the
// data-units dialog when it saves the user's choice.
#ifndef GRIDWISE_UNITS_UNITSFILENAME_H
#define GRIDWISE_UNITS_UNITSFILENAME_H

namespace gw {

// The remembered name (at most 255 characters; empty until loadUnits was called with
// a name that fits). The text stays valid until the next loadUnits.
const char* unitsFileName();

} // namespace gw

#endif
