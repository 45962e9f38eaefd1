// The parameter dialogs of the Transverse Mercator, Lambert and polar
// stereographic projections, and the runners through which the projections open
// them.
#include "dialogs/ProjectionDialogs.h"

#include "dialogs/Install.h"
#include "gridwise/angletext.h"
#include "platform/CLocale.h"
#include "projections/EditDialogs.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"
#include "units/SettingsText.h"

namespace gw::dlg {

namespace {

double angleOf(const std::string& text) {
    std::string copy = text;
    return strToAng(copy.data());
}

// A typed longitude as the settings keep it; a typed latitude beyond the poles
// keeps the value the projection had.
double typedLongitude(const std::string& text) { return keptLongitude(angleOf(text)); }
double typedLatitude(const std::string& text, double old) { return keptLatitude(angleOf(text), old); }

void keepTypedName(char* dst, std::size_t cap, const std::string& text) { keepName(dst, cap, text.c_str()); }

} // namespace

GridParameterForm::GridParameterForm(int templateId, void* parent, int northId, int eastId, int firstUnitId)
    : Dialog(templateId, parent), northId_(northId), eastId_(eastId), firstUnitId_(firstUnitId) {
    const DialogTemplate* t = dialogTemplate();
    if (t == nullptr) return;
    int unit = 0;
    for (const ControlTemplate& c : radioGroup(*t, firstUnitId)) {
        onClick(c.id, [this, unit] { selectUnit(unit); });
        ++unit;
    }
}

void GridParameterForm::showDistances() {
    if (units < 0 || units > 2) return;
    const Unit& unit = currentUnits().unitTable[units];
    falseNorthText = cFormatString("%.2f%s", falseNorthMeters / unit.metersPerUnit, unit.abbrev);
    falseEastText = cFormatString("%.2f%s", falseEastMeters / unit.metersPerUnit, unit.abbrev);
}

void GridParameterForm::selectUnit(int unit) {
    updateData(true);
    units = unit;
    showDistances();
    updateData(false);
}

double GridParameterForm::northFromText() const {
    std::string copy = falseNorthText;
    return readGridValue(copy.data(), nullptr, units, currentGridStyle() == gridStyleStation);
}

double GridParameterForm::eastFromText() const {
    std::string copy = falseEastText;
    return readGridValue(copy.data(), nullptr, units, currentGridStyle() == gridStyleStation);
}

void GridParameterForm::exchangeDistances(DataExchange& dx) {
    dx.text(northId_, falseNorthText);
    dx.text(eastId_, falseEastText);
    // With no unit button checked (a projection in a unit the form does not
    // offer) the unit stays as it was.
    int selected = units;
    dx.radio(firstUnitId_, selected);
    if (selected >= 0) units = selected;
}

// Transverse Mercator -------------------------------------------------------

UtmDialog::UtmDialog(void* parent) : GridParameterForm(7013, parent, 7114, 7108, 7138) {}

void UtmDialog::fill(const TransverseMercator& p) {
    name = p.projName;
    centralMeridian = lonText(p.originLon);
    latOfOrigin = latText(p.originLat);
    scaleFactor = cFormatString("%.6f", p.scaleFactor);
    units = p.units;
    falseNorthMeters = p.falseNorth;
    falseEastMeters = p.falseEast;
    showDistances();
}

void UtmDialog::apply(TransverseMercator& p) const {
    keepTypedName(p.projName, sizeof p.projName, name);
    p.originLon = typedLongitude(centralMeridian);
    p.originLat = typedLatitude(latOfOrigin, p.originLat);
    p.scaleFactor = cAtof(scaleFactor.c_str());
    p.units = units;
    p.falseNorth = northFromText();
    p.falseEast = eastFromText();
}

void UtmDialog::doDataExchange(DataExchange& dx) {
    dx.text(7129, name);
    dx.text(7102, centralMeridian);
    dx.text(7166, latOfOrigin);
    dx.text(7120, scaleFactor);
    exchangeDistances(dx);
}

// Lambert -------------------------------------------------------------------

LambertDialog::LambertDialog(void* parent) : GridParameterForm(7014, parent, 7167, 7109, 7161) {}

void LambertDialog::fill(const Lambert& p) {
    name = p.projName;
    latOfOrigin = latText(p.latOfOrigin);
    lonOfOrigin = lonText(p.lonOfOrigin);
    firstParallel = latText(p.firstParallel);
    secondParallel = latText(p.secondParallel);
    units = p.units;
    falseNorthMeters = p.falseNorth;
    falseEastMeters = p.falseEast;
    showDistances();
}

void LambertDialog::apply(Lambert& p) const {
    keepTypedName(p.projName, sizeof p.projName, name);
    p.latOfOrigin = typedLatitude(latOfOrigin, p.latOfOrigin);
    p.lonOfOrigin = typedLongitude(lonOfOrigin);
    p.firstParallel = typedLatitude(firstParallel, p.firstParallel);
    p.secondParallel = typedLatitude(secondParallel, p.secondParallel);
    p.units = units;
    p.falseNorth = northFromText();
    p.falseEast = eastFromText();
}

void LambertDialog::doDataExchange(DataExchange& dx) {
    dx.text(7139, name);
    dx.text(7103, latOfOrigin);
    dx.text(7115, lonOfOrigin);
    dx.text(7121, firstParallel);
    dx.text(7130, secondParallel);
    exchangeDistances(dx);
}

// Polar stereographic -------------------------------------------------------

ConPStero::ConPStero(void* parent) : GridParameterForm(7015, parent, 7116, 7110, 7140) {}

void ConPStero::fill(const PolarStereo& p) {
    name = p.projName;
    latOfOrigin = latText(p.latOfOrigin);
    lonOfOrigin = lonText(p.lonOfOrigin);
    scaleFactor = cFormatString("%.5f", p.scaleFactor);
    units = p.units;
    falseNorthMeters = p.falseNorth;
    falseEastMeters = p.falseEast;
    showDistances();
}

void ConPStero::apply(PolarStereo& p) const {
    keepTypedName(p.projName, sizeof p.projName, name);
    p.latOfOrigin = typedLatitude(latOfOrigin, p.latOfOrigin);
    p.lonOfOrigin = typedLongitude(lonOfOrigin);
    p.scaleFactor = cAtof(scaleFactor.c_str());
    p.units = units;
    p.falseNorth = northFromText();
    p.falseEast = eastFromText();
}

void ConPStero::doDataExchange(DataExchange& dx) {
    dx.text(7131, name);
    dx.text(7168, latOfOrigin);
    dx.text(7104, lonOfOrigin);
    dx.text(7122, scaleFactor);
    exchangeDistances(dx);
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
    setProjectionDialog(0, &runUtm);
    setProjectionDialog(1, &runLambert);
    setProjectionDialog(4, &runPolar);
}

} // namespace gw::dlg
