// Templates 7010 to 7016: the Geodetics, datum, save-as, data-units and projection
// parameter dialogs.
#include "dialogs/Templates.h"

namespace gw::dlg {

namespace {
constexpr ControlTemplate kOkCancel[] = {
    {idOk, ControlKind::defPushButton, "OK", 10, 100, 50, 14},
    {idCancel, ControlKind::pushButton, "Cancel", 70, 100, 50, 14},
};
} // namespace

const DialogTemplate& saveAsTemplate() { static const DialogTemplate t{7010, "Save As", 130, 120, kOkCancel}; return t; }
const DialogTemplate& geodeticsTemplate() { static const DialogTemplate t{7011, "Geodetics", 227, 220, kOkCancel}; return t; }
const DialogTemplate& editDatumTemplate() { static const DialogTemplate t{7012, "Geodetics", 130, 120, kOkCancel}; return t; }
const DialogTemplate& utmTemplate() { static const DialogTemplate t{7013, "Transverse Mercator", 158, 142, kOkCancel}; return t; }
const DialogTemplate& lambertTemplate() { static const DialogTemplate t{7014, "Lambert Projection", 160, 159, kOkCancel}; return t; }
const DialogTemplate& polarStereoTemplate() { static const DialogTemplate t{7015, "Polar Sterographic", 161, 139, kOkCancel}; return t; }
const DialogTemplate& dataUnitsTemplate() { static const DialogTemplate t{7016, "Data Units", 130, 120, kOkCancel}; return t; }

} // namespace gw::dlg
