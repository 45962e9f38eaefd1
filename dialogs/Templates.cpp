// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/Templates.h"

namespace gw::dlg {

const DialogTemplate* findTemplate(int id) {
    switch (id) {
    case templateSaveAs: return &saveAsTemplate();
    case templateGeodetics: return &geodeticsTemplate();
    case templateDatum: return &editDatumTemplate();
    case templateUtm: return &utmTemplate();
    case templateLambert: return &lambertTemplate();
    case templatePolarStereo: return &polarStereoTemplate();
    case templateDataUnits: return &dataUnitsTemplate();
    case templateKestrelLocal: return &kestrelLocalTemplate();
    case templateLocal: return &localTemplate();
    case templateStationOffset: return &stationOffsetTemplate();
    default: return nullptr;
    }
}

} // namespace gw::dlg
