// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/LocalFormSupport.h"

#include "gridwise/angletext.h"

namespace gw::dlg {

void showDescription(DialogWindow& window, Projection& p, const int (&ids)[6]) {
    char lines[6][50] = {};
    p.getLines(lines);
    for (int i = 0; i < 6; ++i) {
        lines[i][49] = '\0';
        window.setText(ids[i], lines[i]);
    }
}

} // namespace gw::dlg
