// Templates 7017 to 7019: the local-system dialogs.
#include "dialogs/Templates.h"

namespace gw::dlg {

namespace {
constexpr ControlTemplate kOkCancel[] = {
    {idOk, ControlKind::defPushButton, "OK", 10, 100, 50, 14},
    {idCancel, ControlKind::pushButton, "Cancel", 70, 100, 50, 14},
};
} // namespace

const DialogTemplate& kestrelLocalTemplate() { static const DialogTemplate t{7017, "Kestrel Local Coordinate System", 130, 120, kOkCancel}; return t; }
const DialogTemplate& localTemplate() { static const DialogTemplate t{7018, "Local Coordinate System", 130, 120, kOkCancel}; return t; }
const DialogTemplate& stationOffsetTemplate() { static const DialogTemplate t{7019, "Station/Offset System", 130, 120, kOkCancel}; return t; }

} // namespace gw::dlg
