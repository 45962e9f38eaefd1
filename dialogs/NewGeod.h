// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Geodetics form (7011): the user picks the working projection and datum from
// the projection list (see ProjectionList.h), edits the projection's parameters
// and the datum, and appends the working projection to the list under a new name.
//
// The caller hands the form a working projection (the form owns it from then on)
// and a working datum (the caller's copy), runs it, and after OK takes the
// projection back with commit. After Cancel the form destroys its projection and
// the caller drops its datum copy, so nothing reaches the caller's objects.
//
// Opening: the general list (7186) shows every distinct general name of the list
// entries, in order of first appearance, and selects the working projection's
// general name (else its first item); the specific list (7189) shows the specific
// names under that general name and selects by the select-by-prefix rule with the
// working projection's specific name. Nothing is applied on opening.
//
// Choosing a general name refills the specific list and selects in it by prefix
// with the unchanged specific name; choosing a specific name takes its text. Both
// then apply the entries whose general and specific names equal the form's exactly
// (the last one in the file decides): the working projection is rebuilt from the
// entry's initialisation string and the working datum from its datum fields. When
// no entry matches, projection and datum stay as they were.
//
// "Edit" (7160) runs the working projection's own dialog with the list, "Edit"
// (7128) the datum form (EditDatum), "Save As" (7100) appends the working
// projection and datum under the name typed into CSaveAsDlg. The new entry does
// not join the open form's lists.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_NEWGEOD_H
#define GRIDWISE_DIALOGS_NEWGEOD_H

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/Dialog.h"
#include "dialogs/ProjectionList.h"
#include "geodesy/Datum.h"
#include "gridwise/projection.h"

namespace gw::dlg {

class NewGeod : public Dialog {
public:
    explicit NewGeod(void* parent = nullptr);
    ~NewGeod() override;

    // Hands over the working projection (owned by the form from now on) and the
    // working datum (the caller's; it must outlive the form's run).
    void setWorking(Projection* projection, Datum* datum);

    // After OK: gives the working projection the form's general and specific
    // names and hands it to the caller (the form no longer owns it), and copies
    // the working datum's values into record.
    Projection* commit(Datum& record);

    const char* generalName() const { return general_; }
    const char* specificName() const { return specific_; }
    // The working projection (still owned by the form), or null after commit.
    Projection* workingProjection() const { return projection_.get(); }

protected:
    bool onInitDialog() override;
    void doDataExchange(DataExchange& dx) override;

private:
    void fillSpecificList();
    void generalChanged();
    void specificChanged();
    void applyEntry();
    void refreshDescription();
    void editProjection();
    void editDatum();
    void saveAs();

    std::unique_ptr<Projection> projection_;
    Datum* datum_ = nullptr;
    std::vector<std::unique_ptr<ProjDataStruct>> entries_;
    // The entries as the projections' dialogs take them: null after the last.
    std::array<ProjDataStruct*, kMaxProjEntries + 1> entryPointers_{};
    char specific_[30] = "";
    char general_[30] = "";
    std::array<std::string, 6> projectionLines_;
    std::array<std::string, 7> datumLines_;
};

} // namespace gw::dlg

#endif
