// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The dialogs of the three local systems, installed as the runners of their
// projections' editDialog.
#include "dialogs/ConStaOff.h"
#include "dialogs/Install.h"
#include "dialogs/LocalDlg.h"
#include "dialogs/LocalProj.h"
#include "projections/EditDialogs.h"
#include "projections/KestrelLocal.h"
#include "projections/Local.h"
#include "projections/ProjectionTypes.h"
#include "projections/StaOff.h"

namespace gw::dlg {

namespace {

int runLocalDlg(Projection& p, CWnd* parent, ProjDataStruct** list) {
    auto* system = dynamic_cast<KestrelLocal*>(&p);
    if (system == nullptr) return 0;
    LocalDlg dialog(*system, parent, list);
    return dialog.doModal() == idOk ? 1 : 0;
}

int runLocalProj(Projection& p, CWnd* parent, ProjDataStruct**) {
    auto* local = dynamic_cast<Local*>(&p);
    if (local == nullptr) return 0;
    LocalProj dialog(*local, parent);
    return dialog.doModal() == idOk ? 1 : 0;
}

int runConStaOff(Projection& p, CWnd* parent, ProjDataStruct** list) {
    auto* staOff = dynamic_cast<StaOff*>(&p);
    if (staOff == nullptr) return 0;
    ConStaOff dialog(*staOff, parent, list);
    return dialog.doModal() == idOk ? 1 : 0;
}

} // namespace

void installLocalDialogs() {
    setProjectionDialog(code(ProjectionType::kestrelLocal), runLocalDlg);
    setProjectionDialog(code(ProjectionType::local), runLocalProj);
    setProjectionDialog(code(ProjectionType::stationOffset), runConStaOff);
}

} // namespace gw::dlg
