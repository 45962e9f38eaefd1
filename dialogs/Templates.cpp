// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/Templates.h"

namespace gw::dlg {

const DialogTemplate* findTemplate(int id) {
    switch (id) {
    case 7010: return &saveAsTemplate();
    case 7011: return &geodeticsTemplate();
    case 7012: return &editDatumTemplate();
    case 7013: return &utmTemplate();
    case 7014: return &lambertTemplate();
    case 7015: return &polarStereoTemplate();
    case 7016: return &dataUnitsTemplate();
    case 7017: return &kestrelLocalTemplate();
    case 7018: return &localTemplate();
    case 7019: return &stationOffsetTemplate();
    default: return nullptr;
    }
}

} // namespace gw::dlg
