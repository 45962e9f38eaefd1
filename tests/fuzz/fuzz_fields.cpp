// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Every breakFields form (20-, 30- and 80-wide fields in every mode, and the
// 25-wide comma form) on any bytes, into a field array of exactly the size given:
// the count stays within it and every field is terminated within its width.
#include <vector>

#include "FuzzSupport.h"
#include "gridwise/fields.h"

namespace {

template <int W> void split(char* text, int maxFields, int mode, int form) {
    const int rows = maxFields > 0 ? maxFields : 1;
    std::unique_ptr<char[][W]> fields(new char[rows][W]);
    std::memset(fields.get(), 'x', sizeof(char[W]) * rows);
    int n;
    if constexpr (W == 25) {
        (void)mode;
        (void)form;
        n = breakFields(text, fields.get());
    } else {
        n = breakFields(text, fields.get(), maxFields, mode);
    }
    if (maxFields <= 0) {
        fz::check(n == 0, "fields with maxFields <= 0");
        return;
    }
    fz::check(n >= 0 && n <= maxFields, "field count out of range");
    for (int i = 0; i < maxFields; ++i)
        fz::check(std::memchr(fields[i], '\0', W) != nullptr, "field not terminated");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int form = data[0] % 4;
    const int mode = static_cast<std::int8_t>(data[1]) % 3; // 0 blanks and commas, others commas only
    const int maxFields = form == 3 ? 115 : static_cast<int>(data[0] / 4) % 40 - 2;
    fz::ExactText text(data + 2, size - 2);
    switch (form) {
    case 0: split<20>(text.get(), maxFields, mode, form); break;
    case 1: split<30>(text.get(), maxFields, mode, form); break;
    case 2: split<80>(text.get(), maxFields, mode, form); break;
    default: split<25>(text.get(), maxFields, mode, form); break;
    }
    fz::check(text.length() <= text.size(), "text grew");
    return 0;
}
