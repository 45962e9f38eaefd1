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
// Nothing typed is refused: texts go through the angle, number and grid readers
// and what they give is stored. A longitude beyond +-180 degrees is brought into
// (-180, 180] and a latitude beyond the poles keeps the value the field had, as the
// settings keep them; the name is kept as the settings keep names (cut to 39
// characters).
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_PROJECTIONDIALOGS_H
#define GRIDWISE_DIALOGS_PROJECTIONDIALOGS_H

#include <string>

#include "dialogs/Dialog.h"
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
    double falseNorthMeters = 0.0;
    double falseEastMeters = 0.0;
    std::string falseNorthText;
    std::string falseEastText;

protected:
    GridParameterForm(int templateId, void* parent, int northId, int eastId, int firstUnitId);
    // The two distance texts from the two metre values in the selected unit; a
    // selection other than 0, 1, 2 leaves them as they are.
    void showDistances();
    // The typed distances in metres, in the selected unit unless they name one.
    double northFromText() const;
    double eastFromText() const;
    void exchangeDistances(DataExchange& dx);

private:
    void selectUnit(int unit);
    int northId_;
    int eastId_;
    int firstUnitId_;
};

class UtmDialog : public GridParameterForm {
public:
    explicit UtmDialog(void* parent);
    void fill(const TransverseMercator& p);
    void apply(TransverseMercator& p) const;

    std::string name, centralMeridian, latOfOrigin, scaleFactor;

protected:
    void doDataExchange(DataExchange& dx) override;
};

class LambertDialog : public GridParameterForm {
public:
    explicit LambertDialog(void* parent);
    void fill(const Lambert& p);
    void apply(Lambert& p) const;

    std::string name, latOfOrigin, lonOfOrigin, firstParallel, secondParallel;

protected:
    void doDataExchange(DataExchange& dx) override;
};

class ConPStero : public GridParameterForm {
public:
    explicit ConPStero(void* parent);
    void fill(const PolarStereo& p);
    void apply(PolarStereo& p) const;

    std::string name, latOfOrigin, lonOfOrigin, scaleFactor;

protected:
    void doDataExchange(DataExchange& dx) override;
};

} // namespace gw::dlg

#endif
