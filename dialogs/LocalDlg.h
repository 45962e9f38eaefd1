// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The affine local system's dialog (template 7017, "Kestrel Local Coordinate
// System").
//
// Shows the eight factors of a KestrelLocal as "%.12f" and its four constants
// (kept as metres) as distances in the unit of the base projection with 3
// decimals ("1000.000m"), the base projection's six description lines, and in
// list 7183 the candidate bases: the specific names of the projection list's
// entries under the base's general name, the system's own specific name left
// out, with the base's specific name selected by prefix.
//
// Only entries that can be a base are offered: an entry with an initialisation
// string of a projection that is not itself a local system (affine or
// station/offset). Choosing a candidate builds a new base from that entry's
// initialisation string (the last matching entry that can be a base wins), names
// it with the base's general name and the chosen specific name and shows it; the
// dialog owns it until OK, and a base it chose before is destroyed. A chosen name
// with no entry that can be a base is refused with a message and the base stays
// as it was. When the new base cannot be made (memory), the current one stays in
// use. "Edit" (7179) runs the current base's own dialog over this one with the
// projection list; its changes apply to that base at once, even when it is still
// the system's own and this dialog is cancelled afterwards, and when they change
// the base's unit the constants are shown again, in the new unit, from the kept
// numbers (text typed into them is replaced).
//
// OK reads every changed field whole (dialogs/FormFields.h): the factors as
// numbers, the constants as grid values with the current base's unit as default
// (a unit suffix overriding it; in the station form while the projection in use
// is a station/offset system). A refused field is named in a message box and
// gets the focus, and nothing is written; a field left as shown keeps its value
// to the bit. Then, when the dialog chose a base, that base goes to the system,
// whose old one is destroyed. Cancel leaves the system as it was apart from what
// "Edit" changed; a chosen base goes with the dialog.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_LOCALDLG_H
#define GRIDWISE_DIALOGS_LOCALDLG_H

#include <memory>
#include <string>
#include <vector>

#include "dialogs/Dialog.h"
#include "dialogs/FormFields.h"
#include "projections/BaseProjection.h"

class KestrelLocal;
class Projection;
struct ProjDataStruct;

namespace gw::dlg {

class LocalDlg : public Dialog {
public:
    // system must outlive the dialog; list (may be null) is the projection list.
    LocalDlg(KestrelLocal& system, void* parent, ProjDataStruct** list);
    ~LocalDlg() override;

protected:
    bool onInitDialog() override;
    void doDataExchange(DataExchange& dx) override;
    void onOK() override;

private:
    void showLines();
    void constantTexts();
    void showConstants();
    void onEdit();
    void onChooseBase();
    FieldReading readConstant(const std::string& text, DistanceAxis axis) const;

    KestrelLocal& system_;
    ProjDataStruct** list_;
    double constants_[4];    // the four constants, metres, in field order
    Projection* base_;       // the base in use
    std::unique_ptr<BaseProjection> owned_; // the base the dialog chose, until OK
    char baseGeneral_[30];
    char baseSpecific_[30];
    char ownSpecific_[30];
    std::vector<ValueField> factors_;   // the eight factor fields, in field order
    std::vector<ValueField> constantFields_; // the four constant fields
};

} // namespace gw::dlg

#endif
