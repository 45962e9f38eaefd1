// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/ScriptedBackend.h"

#include "dialogs/Dialog.h"

namespace gw::dlg {

ScriptedWindow::ScriptedWindow(const DialogTemplate& t) : template_(t) {
    for (const ControlTemplate& c : t.controls) {
        if (c.id < 0) continue;
        Control& control = controls_[c.id];
        if (c.kind == ControlKind::staticText || c.kind == ControlKind::groupBox ||
            c.kind == ControlKind::pushButton || c.kind == ControlKind::defPushButton ||
            c.kind == ControlKind::radioFirst || c.kind == ControlKind::radio)
            control.text = c.label != nullptr ? c.label : "";
    }
}

const ScriptedWindow::Control* ScriptedWindow::find(int id) const {
    auto it = controls_.find(id);
    return it != controls_.end() ? &it->second : nullptr;
}

ScriptedWindow::Control* ScriptedWindow::find(int id) {
    auto it = controls_.find(id);
    return it != controls_.end() ? &it->second : nullptr;
}

std::string ScriptedWindow::text(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->text : std::string();
}

void ScriptedWindow::setText(int id, const std::string& text) {
    if (Control* c = find(id)) c->text = text;
}

bool ScriptedWindow::checked(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->checked;
}

void ScriptedWindow::setChecked(int id, bool on) {
    if (Control* c = find(id)) c->checked = on;
}

void ScriptedWindow::resetList(int id) {
    if (Control* c = find(id)) {
        c->items.clear();
        c->selection = -1;
    }
}

int ScriptedWindow::addItem(int id, const std::string& text) {
    Control* c = find(id);
    if (c == nullptr) return -1;
    c->items.push_back(text);
    return static_cast<int>(c->items.size()) - 1;
}

int ScriptedWindow::itemCount(int id) const {
    const Control* c = find(id);
    return c != nullptr ? static_cast<int>(c->items.size()) : 0;
}

std::string ScriptedWindow::itemText(int id, int index) const {
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return {};
    return c->items[static_cast<std::size_t>(index)];
}

int ScriptedWindow::selection(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->selection : -1;
}

void ScriptedWindow::select(int id, int index) {
    Control* c = find(id);
    if (c == nullptr) return;
    c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}

void ScriptedWindow::close(int result) {
    if (result_ == 0) result_ = result;
}

void ScriptedWindow::messageBox(const std::string& caption, const std::string& text) {
    messages_.emplace_back(caption, text);
}

std::vector<std::string> ScriptedWindow::items(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->items : std::vector<std::string>{};
}

int ScriptedBackend::runModal(Dialog& dialog, const DialogTemplate& t, void* parent) {
    opened.push_back(t.id);
    parents.push_back(parent);
    std::vector<Action> script;
    if (!scripts_.empty()) {
        script = std::move(scripts_.front());
        scripts_.erase(scripts_.begin());
    }
    ScriptedWindow window(t);
    dialog.initDialog(window);
    for (Action& a : script) {
        if (window.closed()) break;
        switch (a.kind) {
        case Action::Kind::type: window.setText(a.id, a.text); break;
        case Action::Kind::click: {
            for (const ControlTemplate& c : radioGroup(t, a.id)) window.setChecked(c.id, c.id == a.id);
            dialog.command(a.id);
            break;
        }
        case Action::Kind::select:
            window.select(a.id, a.index);
            dialog.selectionChanged(a.id);
            break;
        case Action::Kind::ok: dialog.command(idOk); break;
        case Action::Kind::cancel: dialog.command(idCancel); break;
        case Action::Kind::help: dialog.helpRequest(); break;
        case Action::Kind::inspect:
            if (a.inspect) a.inspect(window);
            break;
        }
    }
    if (!window.closed()) dialog.command(idCancel);
    if (!window.closed()) window.close(idCancel);
    messages.insert(messages.end(), window.messages().begin(), window.messages().end());
    return window.result();
}

} // namespace gw::dlg
