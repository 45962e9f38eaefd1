// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// checkDosFileName on any bytes: the stem stays within the name, holds none of the
// characters it leaves out and at most 151 characters, and the result says whether
// it is empty.
#include "FuzzSupport.h"
#include "gridwise/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::ExactText name(data, size);
    const int r = checkDosFileName(name.get());
    const std::string stem = name.get();
    fz::check(stem.size() <= 151, "stem longer than 151", fz::hex(stem));
    fz::check(stem.find_first_of("\"/\\[}:;=,. ") == std::string::npos, "stem keeps a left-out character",
              fz::hex(stem));
    fz::check(r == (stem.empty() ? 0 : 1), "result and stem disagree", fz::hex(stem));
    return 0;
}
