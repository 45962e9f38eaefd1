// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The settings keys of a class as the settings check reads them: the
// key, the text form of its value and its default text, taken from the class's
// key table (projections/ProjectionKeys.h) so that the check and the reader never
// disagree on which keys a class has.
#ifndef GRIDWISE_UNITS_SETTINGKEY_H
#define GRIDWISE_UNITS_SETTINGKEY_H

#include <cstddef>
#include <span>

namespace gw {

// The text form of a value (see projections/ProjectionKeys.h for how each is read
// and written).
enum class Form { none, name, latitude, longitude, number, grid, scale, integer, base };

struct SettingKey {
    const char* key = nullptr; // settings key
    Form form = Form::none;    // its form in the settings (base: the base's type code)
    const char* def = nullptr; // the default text, read as the reader reads a missing key
    std::size_t width = 0;     // a name's longest kept length in bytes (0 for other forms)
};

} // namespace gw

#endif
