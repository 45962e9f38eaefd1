// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The "Save As" form (7010): the name under which the Geodetics dialog appends
// the working projection to the projection list.
//
// OK reads the name as the settings forms read names (dialogs/FormFields.h): an
// empty name, one with a comma (a comma would split the entry's fields) or one
// longer than the 29 characters of a specific name is refused with a message box,
// the form stays open with the focus in the name and shows why in its message line
// (7210) as well. Blanks around an accepted name are dropped.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_SAVEASDLG_H
#define GRIDWISE_DIALOGS_SAVEASDLG_H

#include <string>

#include "dialogs/ControlIds.h"
#include "dialogs/Dialog.h"
#include "dialogs/FormFields.h"

namespace gw::dlg {

class CSaveAsDlg : public Dialog {
public:
    explicit CSaveAsDlg(void* parent);
    // The typed name, after OK.
    const std::string& name() const { return name_; }

    static constexpr const char* commaMessage = "A projection name cannot contain a comma.";

protected:
    void doDataExchange(DataExchange& dx) override;
    void onOK() override;

private:
    std::string name_;
};

} // namespace gw::dlg

#endif
