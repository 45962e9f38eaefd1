#include "dialogs/LocalProj.h"

#include "dialogs/LocalFormSupport.h"
#include "gridwise/angletext.h"
#include "projections/Local.h"
#include "units/SettingsText.h"

namespace gw::dlg {

namespace {
constexpr int idLat = 7125;
constexpr int idLon = 7134;
} // namespace

LocalProj::LocalProj(Local& local, void* parent) : Dialog(7018, parent), local_(local) {
    lat_ = latText(local_.centerLat);
    lon_ = lonText(local_.centerLon);
}

void LocalProj::doDataExchange(DataExchange& dx) {
    dx.text(idLat, lat_);
    dx.text(idLon, lon_);
}

void LocalProj::onOK() {
    if (!updateData(true)) return;
    local_.centerLat = strToAng(lat_.data());
    local_.centerLon = strToAng(lon_.data());
    endDialog(idOk);
}

} // namespace gw::dlg
