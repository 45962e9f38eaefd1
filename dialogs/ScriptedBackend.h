// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// A backend that plays recorded user actions against the dialog code, for tests.
//
// Each dialog run takes the next script pushed (a dialog run without a script is
// cancelled at once). A script is a list of actions: type text into an edit
// field, click a button (a radio button is checked first, as a click does), select
// item k of a list (the list's selection-change notification follows), OK,
// Cancel, a help request, or an inspection that lets the test read every
// control's text, check state, list items and selection at that point. The run
// ends when the dialog closes; a script that ends before that closes the window
// as Cancel does. Dialogs opened from a running dialog take the following
// scripts.
#ifndef GRIDWISE_DIALOGS_SCRIPTEDBACKEND_H
#define GRIDWISE_DIALOGS_SCRIPTEDBACKEND_H

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/DialogTemplate.h"
#include "dialogs/DialogWindow.h"

namespace gw::dlg {

struct Action {
    enum class Kind { type, click, select, ok, cancel, help, inspect } kind;
    int id = 0;
    std::string text;
    int index = -1;
    std::function<void(DialogWindow&)> inspect;

    static Action make(Kind kind, int id = 0, std::string text = {}, int index = -1) {
        Action a{kind, id, std::move(text), index, {}};
        return a;
    }
    static Action typeText(int id, std::string text) { return make(Kind::type, id, std::move(text)); }
    static Action click(int id) { return make(Kind::click, id); }
    static Action selectItem(int id, int index) { return make(Kind::select, id, {}, index); }
    static Action ok() { return make(Kind::ok); }
    static Action cancel() { return make(Kind::cancel); }
    static Action help() { return make(Kind::help); }
    static Action check(std::function<void(DialogWindow&)> f) {
        Action a = make(Kind::inspect);
        a.inspect = std::move(f);
        return a;
    }
};

// The controls of a scripted dialog, kept in memory.
class ScriptedWindow final : public DialogWindow {
public:
    explicit ScriptedWindow(const DialogTemplate& t);

    std::string text(int id) const override;
    void setText(int id, const std::string& text) override;
    bool checked(int id) const override;
    void setChecked(int id, bool on) override;
    void resetList(int id) override;
    int addItem(int id, const std::string& text) override;
    int itemCount(int id) const override;
    std::string itemText(int id, int index) const override;
    int selection(int id) const override;
    void select(int id, int index) override;
    void close(int result) override;
    void messageBox(const std::string& caption, const std::string& text) override;
    void setFocus(int id) override { focus_ = id; }
    void* handle() override { return this; }

    // The messages shown so far ({caption, text}) and the control with the focus
    // (0 before any was given it).
    const std::vector<std::pair<std::string, std::string>>& messages() const { return messages_; }
    int focus() const { return focus_; }

    bool closed() const { return result_ != 0; }
    int result() const { return result_; }
    std::vector<std::string> items(int id) const;

private:
    struct Control {
        std::string text;
        bool checked = false;
        std::vector<std::string> items;
        int selection = -1;
    };
    const Control* find(int id) const;
    Control* find(int id);
    const DialogTemplate& template_;
    std::map<int, Control> controls_;
    int result_ = 0;
    std::vector<std::pair<std::string, std::string>> messages_;
    int focus_ = 0;
};

class ScriptedBackend final : public DialogBackend {
public:
    void push(std::vector<Action> script) { scripts_.push_back(std::move(script)); }
    int runModal(Dialog& dialog, const DialogTemplate& t, void* parent) override;

    std::vector<int> opened;      // template ids of the dialogs run, in order
    std::vector<void*> parents;   // the parent each was run with
    // The messages ({caption, text}) every run showed, in order, kept after its window closed.
    std::vector<std::pair<std::string, std::string>> messages;
    int scriptsLeft() const { return static_cast<int>(scripts_.size()); }

private:
    std::vector<std::vector<Action>> scripts_;
};

// Installs a scripted backend for its lifetime.
class ScriptedBackendScope {
public:
    ScriptedBackendScope() { setDialogBackend(&backend); }
    ~ScriptedBackendScope() { setDialogBackend(nullptr); }
    ScriptedBackendScope(const ScriptedBackendScope&) = delete;
    ScriptedBackendScope& operator=(const ScriptedBackendScope&) = delete;
    ScriptedBackend backend;
};

} // namespace gw::dlg

#endif
