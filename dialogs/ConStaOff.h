// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The station/offset system's dialog (template 7019, "Station/Offset System"):
// the baseline start (7126, 7135) and end (7143, 7151) as latitude and longitude
// text with 4 decimals of a minute, the base projection's six description lines,
// and "Edit" (7180), which runs the base projection's own dialog over this one
// with the projection list. What that dialog changes applies to the base at once
// and stays even when this one is cancelled; only the lines are refreshed, so
// text typed into the baseline fields stays. The list 7184 is left empty. OK
// reads the four texts back as angles into the StaOff (its grid positions and
// direction follow at its next geoparm); Cancel changes nothing else.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_CONSTAOFF_H
#define GRIDWISE_DIALOGS_CONSTAOFF_H

#include <string>

#include "dialogs/Dialog.h"
#include "dialogs/FormFields.h"

class StaOff;
struct ProjDataStruct;

namespace gw::dlg {

class ConStaOff : public Dialog {
public:
    // staOff must outlive the dialog; list (may be null) is the projection list
    // handed to the base projection's dialog.
    ConStaOff(StaOff& staOff, void* parent, ProjDataStruct** list);

protected:
    bool onInitDialog() override;
    void doDataExchange(DataExchange& dx) override;
    void onOK() override;

private:
    void showLines();
    void onEdit();

    StaOff& staOff_;
    ProjDataStruct** list_;
    ValueField startLat_, startLon_, endLat_, endLon_;
};

} // namespace gw::dlg

#endif
