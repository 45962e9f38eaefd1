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

// Takes the minus sign off a number written as zero. When text[at] is '-' and the
// digits after it, up to the first character that is neither a digit nor a point,
// are all zeros ("-0.00m", "N-0.00ft"), the '-' is removed and the rest of the text
// moves one place left; any other text is left as it is. A value that rounds to zero
// at the decimals shown is written without a sign in every text form.
void unsignZero(char* text, std::size_t at);

inline bool isPlainDecimal(std::string_view s) { return isPlainDecimal(s.data(), s.size()); }
inline double plainDecimalValue(std::string_view s) { return plainDecimalValue(s.data(), s.size()); }

} // namespace gw

#endif
