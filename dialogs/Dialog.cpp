// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/Dialog.h"

#include <cctype>

#include "dialogs/DialogHelp.h"
#include "platform/CLocale.h"
#include "platform/HostServices.h"

namespace gw::dlg {

const ControlTemplate* DialogTemplate::control(int controlId) const {
    for (const ControlTemplate& c : controls)
        if (c.id == controlId) return &c;
    return nullptr;
}

std::span<const ControlTemplate> radioGroup(const DialogTemplate& t, int id) {
    const auto& cs = t.controls;
    for (std::size_t i = 0; i < cs.size(); ++i) {
        if (cs[i].id != id) continue;
        if (cs[i].kind != ControlKind::radioFirst && cs[i].kind != ControlKind::radio) return {};
        std::size_t first = i;
        while (first > 0 && cs[first].kind == ControlKind::radio &&
               (cs[first - 1].kind == ControlKind::radio || cs[first - 1].kind == ControlKind::radioFirst))
            --first;
        std::size_t end = first + 1;
        while (end < cs.size() && cs[end].kind == ControlKind::radio) ++end;
        return cs.subspan(first, end - first);
    }
    return {};
}

void DataExchange::text(int id, std::string& value) {
    if (save_)
        value = window_.text(id);
    else
        window_.setText(id, value);
}

void DataExchange::text(int id, char* value, std::size_t cap) {
    if (value == nullptr || cap == 0) return;
    if (save_)
        copyBounded(value, window_.text(id).c_str(), cap);
    else
        window_.setText(id, value);
}

void DataExchange::radio(int firstId, int& value) {
    const auto group = radioGroup(template_, firstId);
    if (save_) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (window_.checked(group[i].id)) {
                value = static_cast<int>(i);
                break;
            }
    } else {
        for (std::size_t i = 0; i < group.size(); ++i)
            window_.setChecked(group[i].id, static_cast<int>(i) == value);
    }
}

void DataExchange::listSelection(int id, int& value) {
    if (save_)
        value = window_.selection(id);
    else
        window_.select(id, value >= 0 && value < window_.itemCount(id) ? value : -1);
}

Dialog::Dialog(int templateId, void* parent) : template_(findTemplate(templateId)), parent_(parent) {}

Dialog::~Dialog() = default;

int Dialog::doModal() {
    if (template_ == nullptr) return 0;
    DialogBackend* backend = dialogBackend();
    if (backend == nullptr) return 0;
    const int result = backend->runModal(*this, *template_, parent_);
    window_ = nullptr;
    return result;
}

bool Dialog::initDialog(DialogWindow& window) {
    window_ = &window;
    return onInitDialog();
}

void Dialog::command(int id) {
    if (window_ == nullptr) return;
    if (id == idOk) {
        onOK();
        return;
    }
    if (id == idCancel) {
        onCancel();
        return;
    }
    auto it = clicks_.find(id);
    if (it != clicks_.end()) it->second();
}

void Dialog::selectionChanged(int id) {
    if (window_ == nullptr) return;
    auto it = selChanges_.find(id);
    if (it != selChanges_.end()) it->second();
}

void Dialog::helpRequest() {
    if (window_ != nullptr) onHelp();
}

bool Dialog::onInitDialog() { return updateData(false); }

void Dialog::doDataExchange(DataExchange&) {}

void Dialog::onOK() {
    if (updateData(true)) endDialog(idOk);
}

void Dialog::onCancel() { endDialog(idCancel); }

bool Dialog::onHelp() {
    if (hostServices().showHelpfile(static_cast<CWnd*>(windowHandle()))) return true;
    // The host shows no help: the dialog's own page (DialogHelp.h).
    if (window_ != nullptr && template_ != nullptr) showDialogHelp(*window_, template_->id);
    return false;
}

bool Dialog::updateData(bool save) {
    if (window_ == nullptr || template_ == nullptr) return false;
    DataExchange dx(*window_, *template_, save);
    doDataExchange(dx);
    return true;
}

void Dialog::endDialog(int result) {
    if (window_ != nullptr) window_->close(result);
}

void Dialog::onClick(int id, std::function<void()> handler) { clicks_[id] = std::move(handler); }

void Dialog::onSelChange(int id, std::function<void()> handler) { selChanges_[id] = std::move(handler); }

void* Dialog::windowHandle() const { return window_ != nullptr ? window_->handle() : nullptr; }

int selectByPrefix(DialogWindow& window, int id, const std::string& prefix) {
    const int n = window.itemCount(id);
    auto startsWith = [&prefix](const std::string& text) {
        if (text.size() < prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
                return false;
        return true;
    };
    for (int k = 0; k < n; ++k) {
        const int i = (k + 1) % n;
        if (startsWith(window.itemText(id, i))) {
            window.select(id, i);
            return i;
        }
    }
    return -1;
}

} // namespace gw::dlg
