// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Plain decimal numbers read exactly: an optional sign, digits with at most one
// point. The value is the correctly rounded double, whatever the length of the
// text (infinite beyond the largest double, as strtod reads it; zero below the
// smallest). Exported for the gridwise tool, which reads its decimal fields with
// them; not part of the public interface.
#ifndef GRIDWISE_UNITS_DECIMALTEXT_H
#define GRIDWISE_UNITS_DECIMALTEXT_H

#include <cstddef>
#include <string_view>

#include "gridwise/export.h"

namespace gw {

// Whether the length bytes at text are such a number: [+-] digits [. digits], at
// least one digit.
GW_EXPORT bool isPlainDecimal(const char* text, std::size_t length);

// Its value; the text must be a plain decimal (isPlainDecimal).
GW_EXPORT double plainDecimalValue(const char* text, std::size_t length);

inline bool isPlainDecimal(std::string_view s) { return isPlainDecimal(s.data(), s.size()); }
inline double plainDecimalValue(std::string_view s) { return plainDecimalValue(s.data(), s.size()); }

} // namespace gw

#endif
