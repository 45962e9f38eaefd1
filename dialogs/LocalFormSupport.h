// Pieces the local-system dialogs share: the angle texts of their fields and the
// base projection's description lines.
#ifndef GRIDWISE_DIALOGS_LOCALFORMSUPPORT_H
#define GRIDWISE_DIALOGS_LOCALFORMSUPPORT_H

#include <string>

#include "dialogs/DialogWindow.h"
#include "gridwise/projection.h"

namespace gw::dlg {

// Latitude and longitude in degrees and decimal minutes, 4 decimals ("N52 05.1240").
std::string latitudeText(double lat);
std::string longitudeText(double lon);

// Puts the six description lines of p into the static texts ids (empty lines when
// p has none, as a bare envelope).
void showDescription(DialogWindow& window, Projection& p, const int (&ids)[6]);

} // namespace gw::dlg

#endif
