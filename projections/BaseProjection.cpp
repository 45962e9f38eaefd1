// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/BaseProjection.h"

#include <utility>

#include "platform/CLocale.h"
#include "projections/LocalSystemSupport.h"

namespace gw {

namespace {

// The text a base is built from: null for blank text and for a local system
// (the type code read the way the envelope reads it), which give the default.
char* acceptedBaseText(char* text) {
    bool blank = true;
    if (text != nullptr)
        for (const char* p = text; *p != '\0'; ++p)
            if (!cIsSpace(static_cast<unsigned char>(*p))) {
                blank = false;
                break;
            }
    if (blank) return nullptr;
    const int code = cAtoi(text);
    return acceptedBaseType(code) == code ? text : nullptr;
}

// Exchanges what two envelopes hold.
void swapEnvelopes(Projection& a, Projection& b) noexcept {
    std::swap(a.type, b.type);
    std::swap(a.general, b.general);
    std::swap(a.specific, b.specific);
    std::swap(a.inner, b.inner);
    std::swap(a.ownsInner, b.ownsInner);
}

} // namespace

BaseProjection::BaseProjection(char* text) noexcept : envelope_(acceptedBaseText(text)) {}

void BaseProjection::reset(char* text) noexcept {
    Projection fresh(acceptedBaseText(text));
    swapEnvelopes(envelope_, fresh);
}

} // namespace gw
