// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The base of the library's dialogs: a modal form on a dialog template, with the
// life cycle the forms rely on.
//
// doModal runs the form through the backend in use (see DialogWindow.h):
//   1. the backend builds the window and calls initDialog, which runs
//      onInitDialog; its default moves the form's fields into the controls
//      (updateData(false));
//   2. each user action reaches the form as a command (a button click; OK is
//      id 1, Cancel id 2), a selection change of a list, or a help request
//      (F1); handlers are bound to control ids with onClick / onSelChange;
//   3. OK (onOK) takes the controls back into the fields (updateData(true)) and
//      closes with 1; Cancel (onCancel), Escape and closing the window close with
//      2 and take nothing back.
// doModal returns 1 or 2, or 0 when no window could be shown (no backend or no
// display; nothing was done).
//
// Data exchange (doDataExchange) binds fields to controls in both directions:
// texts of edit fields and static texts, the checked button of a radio group (its
// position in the group, -1 for none), the selected position of a list.
//
// Help: every form answers a help request through the host's help provider
// (platform/HostServices.h) with its window; when the host does not handle it,
// the form's own help page is shown (dialogs/DialogHelp.h).
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_DIALOG_H
#define GRIDWISE_DIALOGS_DIALOG_H

#include <functional>
#include <map>
#include <string>

#include "dialogs/DialogTemplate.h"
#include "dialogs/DialogWindow.h"

namespace gw::dlg {

class DataExchange {
public:
    DataExchange(DialogWindow& window, const DialogTemplate& t, bool save)
        : window_(window), template_(t), save_(save) {}
    bool saving() const { return save_; }

    void text(int id, std::string& value);
    // A text field of cap bytes (cut to cap - 1 characters when taken back).
    void text(int id, char* value, std::size_t cap);
    // The position of the checked button in the radio group of firstId.
    void radio(int firstId, int& value);
    // The selected position of list id (-1 for none).
    void listSelection(int id, int& value);

private:
    DialogWindow& window_;
    const DialogTemplate& template_;
    bool save_;
};

class Dialog {
public:
    // parent: a toolkit window handle (as passed to editDialog) or null.
    Dialog(int templateId, void* parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int doModal();

    // Called by the backend. Virtual, so that a backend in a library of its own
    // reaches them through the object alone.
    virtual bool initDialog(DialogWindow& window);
    virtual void command(int id);
    virtual void selectionChanged(int id);
    virtual void helpRequest();

    const DialogTemplate* dialogTemplate() const { return template_; }
    // The window while the form runs, null otherwise.
    DialogWindow* window() const { return window_; }

protected:
    virtual bool onInitDialog();
    virtual void doDataExchange(DataExchange& dx);
    virtual void onOK();
    virtual void onCancel();
    // Shared help handler: true when the host showed help; otherwise the
    // dialog's own page was shown.
    virtual bool onHelp();

    bool updateData(bool save);
    void endDialog(int result);

    void onClick(int id, std::function<void()> handler);
    void onSelChange(int id, std::function<void()> handler);

    // The window handle to pass as parent to a dialog opened from this one.
    void* windowHandle() const;

private:
    const DialogTemplate* template_;
    void* parent_;
    DialogWindow* window_ = nullptr;
    std::map<int, std::function<void()>> clicks_;
    std::map<int, std::function<void()>> selChanges_;
};

// The toolkit's select-by-prefix rule: selects in list id the first item whose
// text begins with prefix (ignoring ASCII case), searching from the second item
// onward and wrapping round to the first; when no item matches the selection
// stays. Returns the selected position, or -1 when nothing matched.
int selectByPrefix(DialogWindow& window, int id, const std::string& prefix);

} // namespace gw::dlg

#endif
