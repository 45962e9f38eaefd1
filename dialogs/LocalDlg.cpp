#include "dialogs/LocalDlg.h"

#include <cstring>
#include <new>
#include <utility>

#include "dialogs/LocalFormSupport.h"
#include "dialogs/ProjectionList.h"
#include "platform/CLocale.h"
#include "projections/KestrelLocal.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"

namespace gw::dlg {

namespace {

constexpr int idEdit = 7179;
constexpr int idBases = 7183;
constexpr int kLineIds[6] = {7187, 7190, 7193, 7196, 7199, 7202};

// The factor fields and their coefficients, group by group.
constexpr int kFactorIds[8] = {7106, 7112, 7124, 7133, 7150, 7158, 7170, 7173};
double KestrelLocal::*const kFactors[8] = {
    &KestrelLocal::localToNNorth, &KestrelLocal::localToNEast, &KestrelLocal::localToENorth,
    &KestrelLocal::localToEEast,  &KestrelLocal::nToLocalNorth, &KestrelLocal::nToLocalEast,
    &KestrelLocal::eToLocalNorth, &KestrelLocal::eToLocalEast,
};

// The constant fields and their constants.
constexpr int kConstantIds[4] = {7118, 7142, 7163, 7176};
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

int entryCount(ProjDataStruct** list) {
    int n = 0;
    if (list != nullptr)
        while (n < kMaxProjEntries && list[n] != nullptr) ++n;
    return n;
}

} // namespace

LocalDlg::LocalDlg(KestrelLocal& system, void* parent, ProjDataStruct** list)
    : Dialog(7017, parent), system_(system), list_(list), base_(system.baseProj.get()) {
    for (int i = 0; i < 8; ++i) factors_[i] = cFormatString("%.12f", system_.*kFactors[i]);
    for (int i = 0; i < 4; ++i) constants_[i] = system_.*kConstants[i];
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
        if (std::strcmp(list_[i]->general, baseGeneral_) == 0 && std::strcmp(list_[i]->specific, ownSpecific_) != 0)
            w->addItem(idBases, list_[i]->specific);
    selectByPrefix(*w, idBases, baseSpecific_);
    constantTexts();
    if (!updateData(false)) return false;
    showLines();
    return true;
}

void LocalDlg::doDataExchange(DataExchange& dx) {
    for (int i = 0; i < 8; ++i) dx.text(kFactorIds[i], factors_[i]);
    for (int i = 0; i < 4; ++i) dx.text(kConstantIds[i], constantText_[i]);
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
        constantText_[i] = text;
    }
}

void LocalDlg::showConstants() {
    constantTexts();
    if (DialogWindow* w = window())
        for (int i = 0; i < 4; ++i) w->setText(kConstantIds[i], constantText_[i]);
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
    const int n = entryCount(list_);
    for (int i = 0; i < n; ++i) {
        const ProjDataStruct& entry = *list_[i];
        if (std::strcmp(entry.general, general) != 0 || std::strcmp(entry.specific, specific) != 0) continue;
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
    if (changed) {
        showLines();
        showConstants();
    }
}

void LocalDlg::onOK() {
    if (!updateData(true)) return;
    for (int i = 0; i < 8; ++i) system_.*kFactors[i] = cAtof(factors_[i].c_str());
    const int unit = base_->getUnits();
    const bool station = currentGridStyle() == gridStyleStation;
    for (int i = 0; i < 4; ++i) system_.*kConstants[i] = readGridValue(constantText_[i].data(), nullptr, unit, station);
    if (owned_ != nullptr) {
        exchangeEnvelopes(*system_.baseProj, **owned_);
        base_ = system_.baseProj.get();
        owned_.reset(); // the system's old base
    }
    endDialog(idOk);
}

} // namespace gw::dlg
