// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The parameter forms of the Transverse Mercator (7013), Lambert (7014) and polar
// stereographic (7015) projections.
//
// Each form is filled from its projection (fill), run modally, and only after OK
// written back (apply). Angles are shown as latitude or longitude text with four
// decimals of minutes, the scale factor with six (Transverse Mercator) or five
// (polar stereographic) decimals, and the false northing and easting as "%.2f"
// followed directly by the abbreviation of the selected unit ("500000.00m").
//
// The three unit buttons ("Meters", "Feet", "US Feet") take the controls into the
// form, select their unit and show the false northing and easting the projection
// had when the form was opened in that unit: text typed into those two fields
// before the unit changes is replaced. On OK the unit is stored first and a
// distance typed without a unit is read in it (a unit suffix overrides it) and
// stored in metres.
//
// On OK every field the user changed is read whole and checked
// (dialogs/FormFields.h): angles as latitude or longitude text within +-90 or
// +-180 degrees, the scale factor as a number from 0.1 to 10 (0.5 to 10
// for Transverse Mercator, whose settings raise a smaller one to 0.5), false values as
// distances, the name without a comma within 39 characters. A refused field is
// named in a message box, gets the focus, and nothing is written. A field left
// as shown keeps the projection's value to the bit, so OK without edits changes
// nothing; a value the text forms cannot show (a latitude beyond the poles) is
// shown as plain degrees and kept. A unit index that no button offers shows the
// false values in metres and keeps the index unless a button is chosen.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_PROJECTIONDIALOGS_H
#define GRIDWISE_DIALOGS_PROJECTIONDIALOGS_H

#include <string>

#include "dialogs/Dialog.h"
#include "dialogs/FormFields.h"
#include "projections/Lambert.h"
#include "projections/PolarStereo.h"
#include "projections/TransverseMercator.h"

namespace gw::dlg {

// What the three forms share: the unit selection (0 metres, 1 feet, 2 US survey
// feet; the first unit button's group), the false northing and easting in metres
// as the projection had them, and their two text fields.
class GridParameterForm : public Dialog {
public:
    int units = 0;
    double falseNorthMeters = 0.0; // as the projection had them when the form was filled
    double falseEastMeters = 0.0;
    ValueField falseNorth;
    ValueField falseEast;

protected:
    GridParameterForm(int templateId, void* parent, int northId, int eastId, int firstUnitId);
    // The two distance texts from the two metre values in the selected unit (in
    // metres for a selection other than 0, 1, 2).
    void showDistances();
    void exchangeDistances(DataExchange& dx);
    void onOK() override;
    // Every typed field of the form, in tab order, for the check on OK.
    virtual bool checkAll() = 0;

private:
    void selectUnit(int unit);
    // The unit the false values are shown and read in: the selected one, metres
    // for an index no button offers.
    int shownUnit() const;
    FieldReading readGrid(const std::string& text, DistanceAxis axis) const;
    int firstUnitId_;
};

class UtmDialog : public GridParameterForm {
public:
    explicit UtmDialog(void* parent);
    void fill(const TransverseMercator& p);
    void apply(TransverseMercator& p) const;

    NameField name;
    ValueField centralMeridian, latOfOrigin, scaleFactor;

protected:
    void doDataExchange(DataExchange& dx) override;
    bool checkAll() override;
};

class LambertDialog : public GridParameterForm {
public:
    explicit LambertDialog(void* parent);
    void fill(const Lambert& p);
    void apply(Lambert& p) const;

    NameField name;
    ValueField latOfOrigin, lonOfOrigin, firstParallel, secondParallel;

protected:
    void doDataExchange(DataExchange& dx) override;
    bool checkAll() override;
};

class ConPStero : public GridParameterForm {
public:
    explicit ConPStero(void* parent);
    void fill(const PolarStereo& p);
    void apply(PolarStereo& p) const;

    NameField name;
    ValueField latOfOrigin, lonOfOrigin, scaleFactor;

protected:
    void doDataExchange(DataExchange& dx) override;
    bool checkAll() override;
};

} // namespace gw::dlg

#endif
