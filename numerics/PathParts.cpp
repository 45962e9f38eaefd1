// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Path names split into drive, directory, file name and extension.
#include "numerics/PathParts.h"

#include "platform/CLocale.h"

#include <cstring>

namespace gw {

namespace {

void copyPart(char* dst, const char* begin, const char* end) {
    const std::size_t len = static_cast<std::size_t>(end - begin);
    std::memcpy(dst, begin, len);
    dst[len] = '\0';
}

} // namespace

PathParts splitPath(const char* path) {
    PathParts parts{};
    if (!path) return parts;
    char text[260];
    copyBounded(text, path, sizeof text);
    const char* p = text;
    const char* end = text + std::strlen(text);
    if (p[0] != '\0' && p[1] == ':') {
        copyPart(parts.drive, p, p + 2);
        p += 2;
    }
    const char* lastSep = nullptr;
    const char* lastDot = nullptr;
    for (const char* q = p; q < end; ++q) {
        if (*q == '/' || *q == '\\') {
            lastSep = q;
            lastDot = nullptr;
        } else if (*q == '.') {
            lastDot = q;
        }
    }
    const char* nameStart = lastSep ? lastSep + 1 : p;
    copyPart(parts.dir, p, nameStart);
    const char* nameEnd = lastDot ? lastDot : end;
    copyPart(parts.name, nameStart, nameEnd);
    copyPart(parts.ext, nameEnd, end);
    return parts;
}

int fileNameNumber(const char* text) { return cAtoi(text); }

} // namespace gw
