// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The calling thread's last failure, as a class and a text: what gwLastError and
// gwLastErrorCode (gridwise/batch.h) read. It lives here, below every layer that
// reports into it, so that the unit settings can report a save that failed as the
// geodesy objects do.
//
// Threads: each thread has its own; nothing is shared.
#ifndef GRIDWISE_PLATFORM_LASTERROR_H
#define GRIDWISE_PLATFORM_LASTERROR_H

#include <string>

namespace gw {

// The class of a settings file that could not be written (GW_ERROR_FILE_UNWRITABLE
// of gridwise/batch.h, which the facade checks against this one).
inline constexpr int kErrorFileUnwritable = 8;

// Records the failure: its class and its text (null as "").
void setLastError(int code, const char* text) noexcept;
void setLastError(int code, const std::string& text) noexcept;

// The text and class of the thread's last recorded failure ("" and 0 before any).
const char* lastErrorText() noexcept;
int lastErrorCode() noexcept;

} // namespace gw

#endif
