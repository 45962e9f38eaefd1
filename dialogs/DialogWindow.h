// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The controls of a dialog while it runs, as a backend shows them, and the
// backends that run dialogs.
//
// A backend builds a window from a dialog's template, hands the dialog a
// DialogWindow through which the dialog reads and writes its controls, and
// reports the user's actions back to the dialog (Dialog::command,
// Dialog::selectionChanged, Dialog::helpRequest). The dialog code never sees a
// toolkit type: the Qt backend lives in a library of its own, loaded when a dialog
// is first shown, and a scripted backend plays recorded user actions in tests.
//
// Threads: dialogs run on the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_DIALOGWINDOW_H
#define GRIDWISE_DIALOGS_DIALOGWINDOW_H

#include <string>

namespace gw::dlg {

class Dialog;
struct DialogTemplate;

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // Text of an edit field or static text ("" for an unknown id).
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, const std::string& text) = 0;

    // Check state of a radio button.
    virtual bool checked(int id) const = 0;
    virtual void setChecked(int id, bool on) = 0;

    // Drop-down lists: items in the order added, and the selected position (-1
    // for none).
    virtual void resetList(int id) = 0;
    virtual int addItem(int id, const std::string& text) = 0; // the new item's position
    virtual int itemCount(int id) const = 0;
    virtual std::string itemText(int id, int index) const = 0;
    virtual int selection(int id) const = 0;
    virtual void select(int id, int index) = 0; // -1 clears the selection

    // Ends the modal run with result (1 OK, 2 Cancel).
    virtual void close(int result) = 0;

    // Tells the user something over this window: a modal message with an OK
    // button (a refused field, help text); returns when it is dismissed.
    virtual void messageBox(const std::string& caption, const std::string& text) = 0;

    // Moves the keyboard focus to control id; an edit field's text is selected,
    // so that typing replaces it.
    virtual void setFocus(int id) = 0;

    // The toolkit's handle of this window (a QWidget* under Qt), passed as the
    // parent of dialogs opened from this one and to the host's help provider.
    virtual void* handle() = 0;
};

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    // Runs dialog modally on its template over parent (a toolkit window handle or
    // null). Returns the result the dialog closed with (1 OK, 2 Cancel), or 0 when
    // no window can be shown (no display): then the dialog is not initialised.
    virtual int runModal(Dialog& dialog, const DialogTemplate& t, void* parent) = 0;
};

// The backend in use: the one installed with setDialogBackend, else the Qt
// backend, loaded from its library on first use; null when neither is available
// or there is no display.
DialogBackend* dialogBackend();

// Installs a backend (tests), or with null goes back to the loaded one. Not owned.
void setDialogBackend(DialogBackend* backend);

// Loads the Qt backend's library and returns its backend, or null (no library,
// no display). Called once by dialogBackend.
DialogBackend* loadToolkitBackend();

} // namespace gw::dlg

#endif
