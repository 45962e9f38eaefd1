// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/ConStaOff.h"

#include "dialogs/ControlIds.h"
#include "dialogs/LocalFormSupport.h"
#include "projections/StaOff.h"

namespace gw::dlg {

namespace {
constexpr int idStartLat = idStaOffStartLat;
constexpr int idStartLon = idStaOffStartLon;
constexpr int idEndLat = idStaOffEndLat;
constexpr int idEndLon = idStaOffEndLon;
constexpr int idEdit = idStaOffEdit;
constexpr int kLineIds[6] = {
    idStaOffLine1, idStaOffLine2, idStaOffLine3, idStaOffLine4, idStaOffLine5, idStaOffLine6,
};
} // namespace

ConStaOff::ConStaOff(StaOff& staOff, void* parent, ProjDataStruct** list)
    : Dialog(templateStationOffset, parent),
      staOff_(staOff),
      list_(list),
      startLat_(idStartLat, "Baseline Start Lat", readLatitudeField),
      startLon_(idStartLon, "Baseline Start Lon", readLongitudeField),
      endLat_(idEndLat, "Baseline End Lat", readLatitudeField),
      endLon_(idEndLon, "Baseline End Lon", readLongitudeField) {
    startLat_.show(staOff_.startLat, latitudeShown(staOff_.startLat));
    startLon_.show(staOff_.startLon, longitudeShown(staOff_.startLon));
    endLat_.show(staOff_.endLat, latitudeShown(staOff_.endLat));
    endLon_.show(staOff_.endLon, longitudeShown(staOff_.endLon));
    onClick(idEdit, [this] { onEdit(); });
}

bool ConStaOff::onInitDialog() {
    if (!Dialog::onInitDialog()) return false;
    showLines();
    return true;
}

void ConStaOff::doDataExchange(DataExchange& dx) {
    for (ValueField* f : {&startLat_, &startLon_, &endLat_, &endLon_}) dx.text(f->id, f->text);
}

void ConStaOff::showLines() {
    if (window() != nullptr) showDescription(*window(), *staOff_.baseProj, kLineIds);
}

void ConStaOff::onEdit() {
    staOff_.baseProj->editDialog(static_cast<CWnd*>(windowHandle()), list_);
    showLines();
}

void ConStaOff::onOK() {
    if (!updateData(true) || !checkFields(*this, {startLat_, startLon_, endLat_, endLon_})) return;
    staOff_.startLat = startLat_.value;
    staOff_.startLon = startLon_.value;
    staOff_.endLat = endLat_.value;
    staOff_.endLon = endLon_.value;
    endDialog(idOk);
}

} // namespace gw::dlg
