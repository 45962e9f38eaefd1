#include "dialogs/ConStaOff.h"

#include "dialogs/LocalFormSupport.h"
#include "gridwise/angletext.h"
#include "projections/StaOff.h"
#include "units/SettingsText.h"

namespace gw::dlg {

namespace {
constexpr int idStartLat = 7126;
constexpr int idStartLon = 7135;
constexpr int idEndLat = 7143;
constexpr int idEndLon = 7151;
constexpr int idEdit = 7180;
constexpr int kLineIds[6] = {7188, 7191, 7194, 7197, 7200, 7203};
} // namespace

ConStaOff::ConStaOff(StaOff& staOff, void* parent, ProjDataStruct** list)
    : Dialog(7019, parent), staOff_(staOff), list_(list) {
    startLat_ = latText(staOff_.startLat);
    startLon_ = lonText(staOff_.startLon);
    endLat_ = latText(staOff_.endLat);
    endLon_ = lonText(staOff_.endLon);
    onClick(idEdit, [this] { onEdit(); });
}

bool ConStaOff::onInitDialog() {
    if (!Dialog::onInitDialog()) return false;
    showLines();
    return true;
}

void ConStaOff::doDataExchange(DataExchange& dx) {
    dx.text(idStartLat, startLat_);
    dx.text(idStartLon, startLon_);
    dx.text(idEndLat, endLat_);
    dx.text(idEndLon, endLon_);
}

void ConStaOff::showLines() {
    if (window() != nullptr) showDescription(*window(), *staOff_.baseProj, kLineIds);
}

void ConStaOff::onEdit() {
    staOff_.baseProj->editDialog(static_cast<CWnd*>(windowHandle()), list_);
    showLines();
}

void ConStaOff::onOK() {
    if (!updateData(true)) return;
    staOff_.startLat = strToAng(startLat_.data());
    staOff_.startLon = strToAng(startLon_.data());
    staOff_.endLat = strToAng(endLat_.data());
    staOff_.endLon = strToAng(endLon_.data());
    endDialog(idOk);
}

} // namespace gw::dlg
