// Loading the toolkit backend's library: not built yet, so no dialog can be shown.
#include "dialogs/DialogWindow.h"

namespace gw::dlg {

DialogBackend* loadToolkitBackend() { return nullptr; }

} // namespace gw::dlg
