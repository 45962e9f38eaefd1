// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/LocalDlg.h"

#include <cstring>
#include <new>
#include <utility>

#include "dialogs/ControlIds.h"
#include "dialogs/LocalFormSupport.h"
#include "dialogs/ProjectionList.h"
#include "platform/CLocale.h"
#include "projections/KestrelLocal.h"
#include "projections/LocalSystemSupport.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"

namespace gw::dlg {

namespace {

constexpr int idEdit = idKestrelEdit;
constexpr int idBases = idKestrelBases;
constexpr int kLineIds[6] = {
    idKestrelLine1, idKestrelLine2, idKestrelLine3, idKestrelLine4, idKestrelLine5, idKestrelLine6,
};

// The factor fields and their coefficients, group by group.
constexpr int kFactorIds[8] = {
    idKestrelLocalToNNorth, idKestrelLocalToNEast, idKestrelLocalToENorth, idKestrelLocalToEEast,
    idKestrelNToLocalNorth, idKestrelNToLocalEast, idKestrelEToLocalNorth, idKestrelEToLocalEast,
};
constexpr const char* kFactorLabels[8] = {
    "North (Local To Map Northing)", "East (Local To Map Northing)", "North (Local To Map Easting)",
    "East (Local To Map Easting)",   "North (Map To Local Northing)", "East (Map To Local Northing)",
    "North (Map To Local Easting)",  "East (Map To Local Easting)",
};
double KestrelLocal::*const kFactors[8] = {
    &KestrelLocal::localToNNorth, &KestrelLocal::localToNEast, &KestrelLocal::localToENorth,
    &KestrelLocal::localToEEast,  &KestrelLocal::nToLocalNorth, &KestrelLocal::nToLocalEast,
    &KestrelLocal::eToLocalNorth, &KestrelLocal::eToLocalEast,
};

// The constant fields and their constants.
constexpr int kConstantIds[4] = {
    idKestrelLocalToNConst, idKestrelLocalToEConst, idKestrelNToLocalConst, idKestrelEToLocalConst,
};
// The axis each constant is added to: a northing or an easting.
constexpr DistanceAxis kConstantAxes[4] = {DistanceAxis::north, DistanceAxis::east, DistanceAxis::north,
                                           DistanceAxis::east};
constexpr const char* kConstantLabels[4] = {"Const (Local To Map Northing)", "Const (Local To Map Easting)",
                                            "Const (Map To Local Northing)", "Const (Map To Local Easting)"};
double KestrelLocal::*const kConstants[4] = {
    &KestrelLocal::localToNConst, &KestrelLocal::localToEConst, &KestrelLocal::nToLocalConst,
    &KestrelLocal::eToLocalConst,
};

// Gives `to` what `from` holds and `from` what `to` held: the concrete projections
// change owners without a copy, so nothing can fail and neither is ever owned twice.
void exchangeEnvelopes(Projection& to, Projection& from) noexcept {
    std::swap(to.type, from.type);
    std::swap(to.general, from.general);
    std::swap(to.specific, from.specific);
    std::swap(to.inner, from.inner);
    std::swap(to.ownsInner, from.ownsInner);
}

// An entry can be a base when it describes a projection that is not itself a
// local system over a base.
bool canBeBase(const ProjDataStruct& entry) {
    const char* init = initStringOf(entry);
    if (init == nullptr) return false;
    const int code = cAtoi(init);
    return acceptedBaseType(code) == code;
}

FieldReading readFactor(const std::string& text) { return readNumberField(text, -kLocalFactorMax, kLocalFactorMax); }

int entryCount(ProjDataStruct** list) {
    int n = 0;
    if (list != nullptr)
        while (n < kMaxProjEntries && list[n] != nullptr) ++n;
    return n;
}

} // namespace

LocalDlg::LocalDlg(KestrelLocal& system, void* parent, ProjDataStruct** list)
    : Dialog(templateKestrelLocal, parent), system_(system), list_(list), base_(system.baseProj.get()) {
    factors_.reserve(8);
    for (int i = 0; i < 8; ++i) {
        factors_.emplace_back(kFactorIds[i], kFactorLabels[i], readFactor);
        factors_.back().show(system_.*kFactors[i], cFormatString("%.12f", system_.*kFactors[i]));
    }
    constantFields_.reserve(4);
    for (int i = 0; i < 4; ++i) {
        constants_[i] = system_.*kConstants[i];
        constantFields_.emplace_back(kConstantIds[i], kConstantLabels[i],
                                     [this, axis = kConstantAxes[i]](const std::string& t) {
                                         return readConstant(t, axis);
                                     });
    }
    char general[30] = "";
    ownSpecific_[0] = '\0';
    system_.getTypeStr(general, ownSpecific_);
    baseGeneral_[0] = '\0';
    baseSpecific_[0] = '\0';
    base_->getTypeStr(baseGeneral_, baseSpecific_);
    onClick(idEdit, [this] { onEdit(); });
    onSelChange(idBases, [this] { onChooseBase(); });
}

LocalDlg::~LocalDlg() = default;

bool LocalDlg::onInitDialog() {
    DialogWindow* w = window();
    if (w == nullptr) return false;
    w->resetList(idBases);
    const int n = entryCount(list_);
    for (int i = 0; i < n; ++i)
        if (std::strcmp(list_[i]->general, baseGeneral_) == 0 && std::strcmp(list_[i]->specific, ownSpecific_) != 0 &&
            canBeBase(*list_[i]))
            w->addItem(idBases, list_[i]->specific);
    selectByPrefix(*w, idBases, baseSpecific_);
    constantTexts();
    if (!updateData(false)) return false;
    showLines();
    return true;
}

void LocalDlg::doDataExchange(DataExchange& dx) {
    for (ValueField& f : factors_) dx.text(f.id, f.text);
    for (ValueField& f : constantFields_) dx.text(f.id, f.text);
}

void LocalDlg::showLines() {
    if (window() != nullptr) showDescription(*window(), *base_, kLineIds);
}

// The kept constants as distances in the base's unit.
void LocalDlg::constantTexts() {
    const int unit = base_->getUnits();
    for (int i = 0; i < 4; ++i) {
        char text[512] = "";
        currentUnits().toStr(text, constants_[i], unit, 3, static_cast<int>(sizeof text));
        constantFields_[static_cast<std::size_t>(i)].show(constants_[i], text);
    }
}

void LocalDlg::showConstants() {
    constantTexts();
    if (DialogWindow* w = window())
        for (const ValueField& f : constantFields_) w->setText(f.id, f.text);
}

void LocalDlg::onEdit() {
    const int unit = base_->getUnits();
    base_->editDialog(static_cast<CWnd*>(windowHandle()), list_);
    showLines();
    if (base_->getUnits() != unit) showConstants();
}

void LocalDlg::onChooseBase() {
    DialogWindow* w = window();
    if (w == nullptr) return;
    char general[30] = "";
    char specific[30] = "";
    base_->getTypeStr(general, specific);
    const int chosen = w->selection(idBases);
    if (chosen < 0) return;
    copyBounded(specific, w->itemText(idBases, chosen).c_str(), sizeof specific);

    bool changed = false;
    bool found = false;
    const int n = entryCount(list_);
    for (int i = 0; i < n; ++i) {
        const ProjDataStruct& entry = *list_[i];
        if (std::strcmp(entry.general, general) != 0 || std::strcmp(entry.specific, specific) != 0) continue;
        if (!canBeBase(entry)) continue;
        found = true;
        try {
            // The new base is made before the one in use goes: without memory for
            // it, the one in use stays.
            const char* init = initStringOf(entry);
            std::string text = init != nullptr ? init : "";
            std::unique_ptr<BaseProjection> fresh(new (std::nothrow) BaseProjection(init != nullptr ? text.data() : nullptr));
            if (fresh == nullptr || (*fresh)->inner == nullptr) continue;
            (*fresh)->setTypeStr(general, specific);
            owned_ = std::move(fresh);
            base_ = owned_->get();
            changed = true;
        } catch (const std::bad_alloc&) {
        }
    }
    if (!found) {
        // Nothing by that name can be a base: the base in use stays, and so
        // does the selection of its name.
        refuseField(*this, idBases, "Base projection",
                    std::string("\"") + specific + "\" cannot be a base: choose a map projection that is not a local system");
        selectByPrefix(*w, idBases, baseSpecific_);
        return;
    }
    if (changed) {
        copyBounded(baseSpecific_, specific, sizeof baseSpecific_);
        showLines();
        showConstants();
    }
}

FieldReading LocalDlg::readConstant(const std::string& text, DistanceAxis axis) const {
    return readDistanceField(text, base_->getUnits(), currentGridStyle() == gridStyleStation, -kLocalConstantMax,
                             kLocalConstantMax, axis);
}

void LocalDlg::onOK() {
    if (!updateData(true)) return;
    std::vector<CheckedField> fields(factors_.begin(), factors_.end());
    fields.insert(fields.end(), constantFields_.begin(), constantFields_.end());
    if (!checkFields(*this, fields)) return;
    for (int i = 0; i < 8; ++i) system_.*kFactors[i] = factors_[static_cast<std::size_t>(i)].value;
    for (int i = 0; i < 4; ++i) system_.*kConstants[i] = constantFields_[static_cast<std::size_t>(i)].value;
    if (owned_ != nullptr) {
        exchangeEnvelopes(*system_.baseProj, **owned_);
        base_ = system_.baseProj.get();
        owned_.reset(); // the system's old base
    }
    endDialog(idOk);
}

} // namespace gw::dlg
