// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The datum form (7012, "Geodetics"): the working ellipsoid and the shift of a
// Datum, opened from the Geodetics dialog.
//
// Shown: shifts in metres with 3 decimals and the semi-major axis with 2 (each
// followed by "m"), rotations as angle text with 5 decimals of seconds, the scale
// with 10 decimals, the inverse flattening with 8, the names as they are. After
// OK, apply writes them back: lengths read as distances (metres unless the text
// names a unit), rotations as angle text, numbers as numbers; text without a
// number gives 0, nothing is refused. The names are cut to the 24 characters of
// the datum's fields. The derived ellipsoid constants are left to the caller
// (Datum::update).
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_EDITDATUM_H
#define GRIDWISE_DIALOGS_EDITDATUM_H

#include <string>

#include "dialogs/Dialog.h"
#include "dialogs/FormFields.h"
#include "geodesy/Datum.h"

namespace gw::dlg {

class EditDatum : public Dialog {
public:
    explicit EditDatum(void* parent);
    void fill(const Datum& d);
    void apply(Datum& d) const;

    ValueField deltaX, deltaY, deltaZ, rotX, rotY, rotZ, scale;
    NameField datumName;
    ValueField inverseFlattening, aAxis;
    NameField ellipseName;

protected:
    void doDataExchange(DataExchange& dx) override;
    void onOK() override;
};

} // namespace gw::dlg

#endif
