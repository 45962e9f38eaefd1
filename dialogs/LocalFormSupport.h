// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// What the local-system dialogs share: the base projection's description lines.
// Their angle fields are the settings' latitude and longitude texts
// (units/SettingsText.h).
#ifndef GRIDWISE_DIALOGS_LOCALFORMSUPPORT_H
#define GRIDWISE_DIALOGS_LOCALFORMSUPPORT_H

#include <string>

#include "dialogs/DialogWindow.h"
#include "gridwise/projection.h"

namespace gw::dlg {

// Puts the six description lines of p into the static texts ids (empty lines when
// p has none, as a bare envelope).
void showDescription(DialogWindow& window, Projection& p, const int (&ids)[6]);

} // namespace gw::dlg

#endif
