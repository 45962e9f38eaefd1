// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/SaveAsDlg.h"

namespace gw::dlg {

namespace {
constexpr std::size_t kSpecificNameMax = 29;
}

CSaveAsDlg::CSaveAsDlg(void* parent) : Dialog(templateSaveAs, parent) {}

void CSaveAsDlg::doDataExchange(DataExchange& dx) { dx.text(idSaveAsName, name_); }

void CSaveAsDlg::onOK() {
    if (!updateData(true)) return;
    std::string accepted;
    const FieldReading r = readNameField(name_, kSpecificNameMax, accepted);
    if (!r.ok) {
        if (DialogWindow* w = window())
            w->setText(idSaveAsMessage, name_.find(',') != std::string::npos ? commaMessage : "The name " + r.problem + ".");
        refuseField(*this, idSaveAsName, "User Projection Name", r.problem);
        return;
    }
    name_ = accepted;
    endDialog(idOk);
}

} // namespace gw::dlg
