// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The ten dialog templates of the library, one function each (resource id in the
// comment). findTemplate (DialogTemplate.h) maps ids to them.
#ifndef GRIDWISE_DIALOGS_TEMPLATES_H
#define GRIDWISE_DIALOGS_TEMPLATES_H

#include "dialogs/ControlIds.h"
#include "dialogs/DialogTemplate.h"

namespace gw::dlg {

const DialogTemplate& saveAsTemplate();        // 7010 "Save As"
const DialogTemplate& geodeticsTemplate();     // 7011 "Geodetics"
const DialogTemplate& editDatumTemplate();     // 7012 "Geodetics" (datum)
const DialogTemplate& utmTemplate();           // 7013 "Transverse Mercator"
const DialogTemplate& lambertTemplate();       // 7014 "Lambert Projection"
const DialogTemplate& polarStereoTemplate();   // 7015 "Polar Sterographic"
const DialogTemplate& dataUnitsTemplate();     // 7016 "Data Units"
const DialogTemplate& kestrelLocalTemplate();  // 7017 "Kestrel Local Coordinate System"
const DialogTemplate& localTemplate();         // 7018 "Local Coordinate System"
const DialogTemplate& stationOffsetTemplate(); // 7019 "Station/Offset System"

} // namespace gw::dlg

#endif
