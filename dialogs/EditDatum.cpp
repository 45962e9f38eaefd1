#include "dialogs/EditDatum.h"

#include "gridwise/angletext.h"
#include "platform/CLocale.h"
#include "units/CurrentUnits.h"

namespace gw::dlg {

namespace {

std::string metres(double value, int decimals) {
    char text[50] = "";
    currentUnits().toStr(text, value, 0, decimals, sizeof text);
    return text;
}

std::string rotation(double degrees) {
    char text[40] = "";
    angToStr(text, degrees, 5, 0);
    return text;
}

double metresOf(const std::string& text) {
    std::string copy = text;
    return currentUnits().fromStr(copy.data(), 0);
}

double angleOf(const std::string& text) {
    std::string copy = text;
    return strToAng(copy.data());
}

} // namespace

EditDatum::EditDatum(void* parent) : Dialog(7012, parent) {}

void EditDatum::fill(const Datum& d) {
    deltaX = metres(d.deltaX, 3);
    deltaY = metres(d.deltaY, 3);
    deltaZ = metres(d.deltaZ, 3);
    rotX = rotation(d.rotX);
    rotY = rotation(d.rotY);
    rotZ = rotation(d.rotZ);
    scale = cFormatString("%.10f", d.scalar);
    datumName = d.datumName;
    inverseFlattening = cFormatString("%.8f", d.inverseFlattening);
    aAxis = metres(d.aAxis, 2);
    ellipseName = d.ellipseName;
}

void EditDatum::apply(Datum& d) const {
    d.aAxis = metresOf(aAxis);
    d.inverseFlattening = cAtof(inverseFlattening.c_str());
    d.deltaX = metresOf(deltaX);
    d.deltaY = metresOf(deltaY);
    d.deltaZ = metresOf(deltaZ);
    d.rotX = angleOf(rotX);
    d.rotY = angleOf(rotY);
    d.rotZ = angleOf(rotZ);
    d.scalar = cAtof(scale.c_str());
    copyBounded(d.ellipseName, ellipseName.c_str(), sizeof d.ellipseName);
    copyBounded(d.datumName, datumName.c_str(), sizeof d.datumName);
}

void EditDatum::doDataExchange(DataExchange& dx) {
    dx.text(7177, deltaX);
    dx.text(7181, deltaY);
    dx.text(7185, deltaZ);
    dx.text(7159, rotX);
    dx.text(7164, rotY);
    dx.text(7171, rotZ);
    dx.text(7174, scale);
    dx.text(7152, datumName);
    dx.text(7144, inverseFlattening);
    dx.text(7127, aAxis);
    dx.text(7136, ellipseName);
}

} // namespace gw::dlg
