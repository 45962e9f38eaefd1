// The parameter dialogs of the Transverse Mercator, Lambert and polar
// stereographic projections.
#include "dialogs/Install.h"

namespace gw::dlg {

void installProjectionDialogs() {}

} // namespace gw::dlg
