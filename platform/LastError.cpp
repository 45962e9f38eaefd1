// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/LastError.h"

namespace gw {

namespace {
thread_local std::string lastText;
thread_local int lastCode = 0;
} // namespace

void setLastError(int code, const char* text) noexcept {
    lastCode = code;
    try {
        lastText = text != nullptr ? text : "";
    } catch (...) {
        lastText.clear();
    }
}

void setLastError(int code, const std::string& text) noexcept { setLastError(code, text.c_str()); }

const char* lastErrorText() noexcept { return lastText.c_str(); }

int lastErrorCode() noexcept { return lastCode; }

} // namespace gw
