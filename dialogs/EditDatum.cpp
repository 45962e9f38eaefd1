// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/EditDatum.h"

#include "dialogs/ControlIds.h"
#include "gridwise/angletext.h"
#include "units/FieldRules.h"
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

FieldReading shiftReader(const std::string& text) {
    return readDistanceField(text, 0, false, -kDatumShiftMax, kDatumShiftMax);
}

FieldReading rotationReader(const std::string& text) {
    return readAngleField(text, -kDatumRotationMax, kDatumRotationMax);
}

FieldReading scaleReader(const std::string& text) { return readNumberField(text, -kDatumScaleMax, kDatumScaleMax); }

FieldReading flatteningReader(const std::string& text) {
    return readNumberField(text, kInverseFlatteningMin, kInverseFlatteningMax);
}

FieldReading axisReader(const std::string& text) {
    return readDistanceField(text, 0, false, kSemiMajorAxisMin, kSemiMajorAxisMax);
}

} // namespace

EditDatum::EditDatum(void* parent)
    : Dialog(templateDatum, parent),
      deltaX(idDatumDX, "DX", shiftReader),
      deltaY(idDatumDY, "DY", shiftReader),
      deltaZ(idDatumDZ, "DZ", shiftReader),
      rotX(idDatumRotX, "Rot X", rotationReader),
      rotY(idDatumRotY, "Rot Y", rotationReader),
      rotZ(idDatumRotZ, "Rot Z", rotationReader),
      scale(idDatumScale, "Scale", scaleReader),
      datumName(idDatumName, "Datum Name", sizeof Datum::datumName - 1),
      inverseFlattening(idDatumInverseFlattening, "Inverse Flattening", flatteningReader),
      aAxis(idDatumSemiMajorAxis, "Semi Major Axis", axisReader),
      ellipseName(idDatumEllipsoidName, "Ellipsoid Name", sizeof Datum::ellipseName - 1) {}

void EditDatum::fill(const Datum& d) {
    deltaX.show(d.deltaX, metres(d.deltaX, 3));
    deltaY.show(d.deltaY, metres(d.deltaY, 3));
    deltaZ.show(d.deltaZ, metres(d.deltaZ, 3));
    rotX.show(d.rotX, rotation(d.rotX));
    rotY.show(d.rotY, rotation(d.rotY));
    rotZ.show(d.rotZ, rotation(d.rotZ));
    scale.show(d.scalar, cFormatString("%.10f", d.scalar));
    datumName.show(d.datumName);
    inverseFlattening.show(d.inverseFlattening, cFormatString("%.8f", d.inverseFlattening));
    aAxis.show(d.aAxis, metres(d.aAxis, 2));
    ellipseName.show(d.ellipseName);
}

void EditDatum::apply(Datum& d) const {
    d.aAxis = aAxis.value;
    d.inverseFlattening = inverseFlattening.value;
    d.deltaX = deltaX.value;
    d.deltaY = deltaY.value;
    d.deltaZ = deltaZ.value;
    d.rotX = rotX.value;
    d.rotY = rotY.value;
    d.rotZ = rotZ.value;
    d.scalar = scale.value;
    copyBounded(d.ellipseName, ellipseName.value.c_str(), sizeof d.ellipseName);
    copyBounded(d.datumName, datumName.value.c_str(), sizeof d.datumName);
}

void EditDatum::doDataExchange(DataExchange& dx) {
    for (ValueField* f : {&deltaX, &deltaY, &deltaZ, &rotX, &rotY, &rotZ, &scale}) dx.text(f->id, f->text);
    dx.text(datumName.id, datumName.text);
    dx.text(inverseFlattening.id, inverseFlattening.text);
    dx.text(aAxis.id, aAxis.text);
    dx.text(ellipseName.id, ellipseName.text);
}

void EditDatum::onOK() {
    if (!updateData(true)) return;
    if (!checkFields(*this, {deltaX, deltaY, deltaZ, rotX, rotY, rotZ, scale, datumName, inverseFlattening, aAxis,
                             ellipseName}))
        return;
    endDialog(idOk);
}

} // namespace gw::dlg
