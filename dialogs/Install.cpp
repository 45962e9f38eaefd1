// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/Install.h"

namespace gw::dlg {

void installDialogs() {
    installProjectionDialogs();
    installLocalDialogs();
}

} // namespace gw::dlg
