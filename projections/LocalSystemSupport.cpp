// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/LocalSystemSupport.h"

#include <cstring>

#include "platform/CLocale.h"
#include "projections/ProjectionTypes.h"

namespace gw {

void setLocalSystemNames(Projection& p, int type, const char* specific) {
    p.type = type;
    copyBounded(p.general, "USER", sizeof p.general);
    copyBounded(p.specific, specific, sizeof p.specific);
}

void baseSystemLines(char lines[][50], const char* name, Projection& base, const char* tag) {
    char general[30] = "";
    char specific[30] = "";
    base.getTypeStr(general, specific);
    specific[sizeof specific - 1] = '\0';
    cFormat(lines[0], 50, "%s", name);
    cFormat(lines[1], 50, "%s", specific);
    for (int i = 2; i < 6; ++i) cFormat(lines[i], 50, "%s Line%d", tag, i);
}

char* textAfterCommas(char* text, int n) {
    if (!text) return nullptr;
    char* p = text;
    for (int i = 0; i < n; ++i) {
        p = std::strchr(p, ',');
        if (!p) return nullptr;
        ++p;
    }
    return p;
}

int acceptedBaseType(int typeCode) {
    return (typeCode == code(ProjectionType::kestrelLocal) || typeCode == code(ProjectionType::stationOffset))
               ? code(ProjectionType::transverseMercator)
               : typeCode;
}

} // namespace gw
