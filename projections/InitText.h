// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The initialisation string of a projection as the library writes it.
//
// Projection::initText appends a projection's string to an InitText; initString
// gives the whole string, without a length limit. Both stay inside the library:
// hosts get the string through getInitStr, into their own buffer.
//
// Threads: as for the projection written (see gridwise/projection.h); an InitText
// belongs to the one call that fills it.
#ifndef GRIDWISE_PROJECTIONS_INITTEXT_H
#define GRIDWISE_PROJECTIONS_INITTEXT_H

#include <string>
#include <utility>

#include "gridwise/projection.h"

namespace gw {

class InitText {
public:
    void append(const std::string& text) { text_ += text; }
    void append(const char* text) { text_ += text; }
    void append(char c) { text_ += c; }

    const std::string& str() const { return text_; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

// The initialisation string of p: an envelope's is its concrete projection's, a
// bare envelope's is empty. Throws std::bad_alloc when memory runs out.
inline std::string initString(const Projection& p) {
    InitText text;
    p.initText(text);
    return text.take();
}

} // namespace gw

#endif
