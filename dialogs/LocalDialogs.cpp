// The dialogs of the three local systems.
#include "dialogs/Install.h"

namespace gw::dlg {

void installLocalDialogs() {}

} // namespace gw::dlg
