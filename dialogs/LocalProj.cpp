// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/LocalProj.h"

#include "dialogs/ControlIds.h"
#include "dialogs/LocalFormSupport.h"
#include "projections/Local.h"

namespace gw::dlg {

namespace {
constexpr int idLat = idLocalLat;
constexpr int idLon = idLocalLon;
} // namespace

LocalProj::LocalProj(Local& local, void* parent)
    : Dialog(templateLocal, parent), local_(local), lat_(idLat, "Lat", readLatitudeField), lon_(idLon, "Lon", readLongitudeField) {
    lat_.show(local_.centerLat, latitudeShown(local_.centerLat));
    lon_.show(local_.centerLon, longitudeShown(local_.centerLon));
}

void LocalProj::doDataExchange(DataExchange& dx) {
    dx.text(lat_.id, lat_.text);
    dx.text(lon_.id, lon_.text);
}

void LocalProj::onOK() {
    if (!updateData(true) || !checkFields(*this, {lat_, lon_})) return;
    local_.centerLat = lat_.value;
    local_.centerLon = lon_.value;
    endDialog(idOk);
}

} // namespace gw::dlg
