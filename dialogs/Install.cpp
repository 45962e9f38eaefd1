#include "dialogs/Install.h"

namespace gw::dlg {

void installDialogs() {
    installProjectionDialogs();
    installLocalDialogs();
}

} // namespace gw::dlg
