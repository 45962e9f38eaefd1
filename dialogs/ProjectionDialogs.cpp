// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The parameter dialogs of the Transverse Mercator, Lambert and polar
// stereographic projections, and the runners through which the projections open
// them.
#include "dialogs/ProjectionDialogs.h"

#include "dialogs/ControlIds.h"
#include "dialogs/Install.h"
#include "gridwise/angletext.h"
#include "platform/CLocale.h"
#include "projections/EditDialogs.h"
#include "projections/ProjectionTypes.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"
#include "units/SettingsText.h"

namespace gw::dlg {

GridParameterForm::GridParameterForm(int templateId, void* parent, int northId, int eastId, int firstUnitId)
    : Dialog(templateId, parent),
      falseNorth(northId, "False Northing", [this](const std::string& t) { return readGrid(t, DistanceAxis::north); }),
      falseEast(eastId, "False Easting", [this](const std::string& t) { return readGrid(t, DistanceAxis::east); }),
      firstUnitId_(firstUnitId) {
    const DialogTemplate* t = dialogTemplate();
    if (t == nullptr) return;
    int unit = 0;
    for (const ControlTemplate& c : radioGroup(*t, firstUnitId)) {
        onClick(c.id, [this, unit] { selectUnit(unit); });
        ++unit;
    }
}

int GridParameterForm::shownUnit() const { return units >= 0 && units <= 2 ? units : 0; }

FieldReading GridParameterForm::readGrid(const std::string& text, DistanceAxis axis) const {
    return readDistanceField(text, shownUnit(), currentGridStyle() == gridStyleStation, -kFalseValueMax,
                             kFalseValueMax, axis);
}

void GridParameterForm::showDistances() {
    const Unit& unit = currentUnits().unitTable[shownUnit()];
    falseNorth.show(falseNorthMeters, cFormatString("%.2f%s", falseNorthMeters / unit.metersPerUnit, unit.abbrev));
    falseEast.show(falseEastMeters, cFormatString("%.2f%s", falseEastMeters / unit.metersPerUnit, unit.abbrev));
}

void GridParameterForm::selectUnit(int unit) {
    updateData(true);
    units = unit;
    showDistances();
    updateData(false);
}

void GridParameterForm::exchangeDistances(DataExchange& dx) {
    dx.text(falseNorth.id, falseNorth.text);
    dx.text(falseEast.id, falseEast.text);
    // With no unit button checked (a projection in a unit the form does not
    // offer) the unit stays as it was.
    int selected = units;
    dx.radio(firstUnitId_, selected);
    if (selected >= 0) units = selected;
}

void GridParameterForm::onOK() {
    if (!updateData(true) || !checkAll()) return;
    endDialog(idOk);
}

// Transverse Mercator -------------------------------------------------------

UtmDialog::UtmDialog(void* parent)
    : GridParameterForm(templateUtm, parent, idUtmFalseNorth, idUtmFalseEast, idUtmMeters),
      name(idUtmName, "Name", sizeof TransverseMercator::projName - 1),
      centralMeridian(idUtmCentralMeridian, "Central Meridian", readLongitudeField),
      latOfOrigin(idUtmLatOfOrigin, "Lat Of Origin", readLatitudeField),
      scaleFactor(idUtmScaleFactor, "Scale Factor At CM", [](const std::string& t) {
          return readNumberField(t, kTransverseMercatorScaleMin, kScaleFactorMax);
      }) {}

void UtmDialog::fill(const TransverseMercator& p) {
    name.show(p.projName);
    centralMeridian.show(p.originLon, longitudeShown(p.originLon));
    latOfOrigin.show(p.originLat, latitudeShown(p.originLat));
    scaleFactor.show(p.scaleFactor, cFormatString("%.6f", p.scaleFactor));
    units = p.units;
    falseNorthMeters = p.falseNorth;
    falseEastMeters = p.falseEast;
    showDistances();
}

void UtmDialog::apply(TransverseMercator& p) const {
    copyBounded(p.projName, name.value.c_str(), sizeof p.projName);
    p.originLon = centralMeridian.value;
    p.originLat = latOfOrigin.value;
    p.scaleFactor = scaleFactor.value;
    p.units = units;
    p.falseNorth = falseNorth.value;
    p.falseEast = falseEast.value;
}

void UtmDialog::doDataExchange(DataExchange& dx) {
    dx.text(name.id, name.text);
    dx.text(centralMeridian.id, centralMeridian.text);
    dx.text(latOfOrigin.id, latOfOrigin.text);
    dx.text(scaleFactor.id, scaleFactor.text);
    exchangeDistances(dx);
}

bool UtmDialog::checkAll() {
    return checkFields(*this, {centralMeridian, falseNorth, falseEast, latOfOrigin, scaleFactor, name});
}

// Lambert -------------------------------------------------------------------

LambertDialog::LambertDialog(void* parent)
    : GridParameterForm(templateLambert, parent, idLambertFalseNorth, idLambertFalseEast, idLambertMeters),
      name(idLambertName, "Name", sizeof Lambert::projName - 1),
      latOfOrigin(idLambertLatOfOrigin, "Latitude Of Origin", readLatitudeField),
      lonOfOrigin(idLambertLonOfOrigin, "Longitude Of Origin", readLongitudeField),
      firstParallel(idLambertFirstParallel, "First Standard Parallel", readLatitudeField),
      secondParallel(idLambertSecondParallel, "Second Standard Parallel", readLatitudeField) {}

void LambertDialog::fill(const Lambert& p) {
    name.show(p.projName);
    latOfOrigin.show(p.latOfOrigin, latitudeShown(p.latOfOrigin));
    lonOfOrigin.show(p.lonOfOrigin, longitudeShown(p.lonOfOrigin));
    firstParallel.show(p.firstParallel, latitudeShown(p.firstParallel));
    secondParallel.show(p.secondParallel, latitudeShown(p.secondParallel));
    units = p.units;
    falseNorthMeters = p.falseNorth;
    falseEastMeters = p.falseEast;
    showDistances();
}

void LambertDialog::apply(Lambert& p) const {
    copyBounded(p.projName, name.value.c_str(), sizeof p.projName);
    p.latOfOrigin = latOfOrigin.value;
    p.lonOfOrigin = lonOfOrigin.value;
    p.firstParallel = firstParallel.value;
    p.secondParallel = secondParallel.value;
    p.units = units;
    p.falseNorth = falseNorth.value;
    p.falseEast = falseEast.value;
}

void LambertDialog::doDataExchange(DataExchange& dx) {
    dx.text(name.id, name.text);
    dx.text(latOfOrigin.id, latOfOrigin.text);
    dx.text(lonOfOrigin.id, lonOfOrigin.text);
    dx.text(firstParallel.id, firstParallel.text);
    dx.text(secondParallel.id, secondParallel.text);
    exchangeDistances(dx);
}

bool LambertDialog::checkAll() {
    return checkFields(*this, {name, latOfOrigin, lonOfOrigin, falseEast, falseNorth, firstParallel, secondParallel});
}

// Polar stereographic -------------------------------------------------------

ConPStero::ConPStero(void* parent)
    : GridParameterForm(templatePolarStereo, parent, idPolarStereoFalseNorth, idPolarStereoFalseEast,
                        idPolarStereoMeters),
      name(idPolarStereoName, "Name", sizeof PolarStereo::projName - 1),
      latOfOrigin(idPolarStereoLatOfOrigin, "Lat Of Origin", readLatitudeField),
      lonOfOrigin(idPolarStereoLonOfOrigin, "Lon Of Origin", readLongitudeField),
      scaleFactor(idPolarStereoScaleFactor, "Scale Factor at Origin", scaleFactorReader) {}

void ConPStero::fill(const PolarStereo& p) {
    name.show(p.projName);
    latOfOrigin.show(p.latOfOrigin, latitudeShown(p.latOfOrigin));
    lonOfOrigin.show(p.lonOfOrigin, longitudeShown(p.lonOfOrigin));
    scaleFactor.show(p.scaleFactor, cFormatString("%.5f", p.scaleFactor));
    units = p.units;
    falseNorthMeters = p.falseNorth;
    falseEastMeters = p.falseEast;
    showDistances();
}

void ConPStero::apply(PolarStereo& p) const {
    copyBounded(p.projName, name.value.c_str(), sizeof p.projName);
    p.latOfOrigin = latOfOrigin.value;
    p.lonOfOrigin = lonOfOrigin.value;
    p.scaleFactor = scaleFactor.value;
    p.units = units;
    p.falseNorth = falseNorth.value;
    p.falseEast = falseEast.value;
}

void ConPStero::doDataExchange(DataExchange& dx) {
    dx.text(name.id, name.text);
    dx.text(latOfOrigin.id, latOfOrigin.text);
    dx.text(lonOfOrigin.id, lonOfOrigin.text);
    dx.text(scaleFactor.id, scaleFactor.text);
    exchangeDistances(dx);
}

bool ConPStero::checkAll() {
    return checkFields(*this, {lonOfOrigin, falseNorth, falseEast, latOfOrigin, scaleFactor, name});
}

// Runners -------------------------------------------------------------------

namespace {

// Fills the form from the concrete projection, runs it and takes the fields back
// after OK; 0 when p is not of the form's projection class or the user cancelled.
template <typename Form, typename Concrete>
int runForm(Projection& p, CWnd* parent) {
    auto* concrete = dynamic_cast<Concrete*>(&p);
    if (concrete == nullptr) return 0;
    Form form(parent);
    form.fill(*concrete);
    if (form.doModal() != idOk) return 0;
    form.apply(*concrete);
    return 1;
}

int runUtm(Projection& p, CWnd* parent, ProjDataStruct**) { return runForm<UtmDialog, TransverseMercator>(p, parent); }
int runLambert(Projection& p, CWnd* parent, ProjDataStruct**) { return runForm<LambertDialog, Lambert>(p, parent); }
int runPolar(Projection& p, CWnd* parent, ProjDataStruct**) { return runForm<ConPStero, PolarStereo>(p, parent); }

} // namespace

void installProjectionDialogs() {
    setProjectionDialog(code(ProjectionType::transverseMercator), &runUtm);
    setProjectionDialog(code(ProjectionType::lambert), &runLambert);
    setProjectionDialog(code(ProjectionType::polarStereo), &runPolar);
}

} // namespace gw::dlg
