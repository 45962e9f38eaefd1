// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Installs the projections' parameter dialogs of this layer as the runners the
// projections call (projections/EditDialogs.h). The facade installs them when the
// library is loaded; a test of the dialogs alone calls installDialogs itself.
#ifndef GRIDWISE_DIALOGS_INSTALL_H
#define GRIDWISE_DIALOGS_INSTALL_H

namespace gw::dlg {

void installDialogs();

// The two halves: Transverse Mercator, Lambert and polar stereographic; the three
// local systems.
void installProjectionDialogs();
void installLocalDialogs();

} // namespace gw::dlg

#endif
