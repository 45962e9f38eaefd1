#include "dialogs/SaveAsDlg.h"

namespace gw::dlg {

namespace {
constexpr std::size_t kSpecificNameMax = 29;
}

CSaveAsDlg::CSaveAsDlg(void* parent) : Dialog(7010, parent) {}

void CSaveAsDlg::doDataExchange(DataExchange& dx) { dx.text(idSaveAsName, name_); }

void CSaveAsDlg::onOK() {
    if (!updateData(true)) return;
    if (name_.find(',') != std::string::npos) {
        if (DialogWindow* w = window()) w->setText(idSaveAsMessage, commaMessage);
        return;
    }
    if (name_.size() > kSpecificNameMax) name_.resize(kSpecificNameMax);
    endDialog(idOk);
}

} // namespace gw::dlg
