// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// checkCheckSum on any bytes; and every sentence checkSum completes is accepted.
#include <string>

#include "FuzzSupport.h"
#include "gridwise/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::ExactText text(data, size);
    const int r = checkCheckSum(text.get());
    fz::check(r == 0 || r == 1, "checkCheckSum result");

    // '$', the text up to its first NUL, then room for exactly the six characters
    // checkSum appends ("*HH\r\n" and the terminator).
    std::string body = "$" + std::string(text.get());
    fz::ExactText sentence(body + std::string(5, '\0'));
    checkSum(sentence.get());
    fz::check(sentence.length() == body.size() + 5, "checkSum length", fz::hex(sentence.get()));
    fz::check(checkCheckSum(sentence.get()) == 1, "checkSum does not check", fz::hex(sentence.get()));
    return 0;
}
