// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The flat local grid's dialog (template 7018, "Local Coordinate System"): the
// origin's latitude (7125) and longitude (7134) as text, degrees and decimal
// minutes with 4 decimals ("N52 05.1240"). OK reads both texts back as angles
// (text without a number gives 0) into the Local it was built on; Cancel changes
// nothing.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_LOCALPROJ_H
#define GRIDWISE_DIALOGS_LOCALPROJ_H

#include <string>

#include "dialogs/Dialog.h"
#include "dialogs/FormFields.h"

class Local;

namespace gw::dlg {

class LocalProj : public Dialog {
public:
    // Fills the fields from local, which must outlive the dialog.
    LocalProj(Local& local, void* parent);

protected:
    void doDataExchange(DataExchange& dx) override;
    void onOK() override;

private:
    Local& local_;
    ValueField lat_;
    ValueField lon_;
};

} // namespace gw::dlg

#endif
