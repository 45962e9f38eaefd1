// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Dialog templates as data: the library's dialog resources 7010 to 7019.
//
// A template gives a dialog's caption and size and, per control, its id, kind,
// label, position and size. Positions and sizes are in dialog units: 4 horizontal
// units are the average character width of the dialog font and 8 vertical units
// its character height. The controls are listed in resource order, which is also
// the tab order; an automatic radio button of kind radioFirst starts a group that
// the following radio buttons continue.
//
// Threads: the templates are constant data; any thread may read them.
#ifndef GRIDWISE_DIALOGS_DIALOGTEMPLATE_H
#define GRIDWISE_DIALOGS_DIALOGTEMPLATE_H

#include <span>

namespace gw::dlg {

enum class ControlKind {
    edit,          // bordered single-line edit field
    staticText,    // label or text line
    groupBox,      // titled frame
    pushButton,
    defPushButton, // the default button (Enter)
    radioFirst,    // automatic radio button starting a group
    radio,         // automatic radio button continuing the group
    dropList,      // drop-down list, not sorted
};

struct ControlTemplate {
    int id; // -1 for labels and frames that nothing addresses
    ControlKind kind;
    const char* label;
    int x, y, width, height;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;
    std::span<const ControlTemplate> controls;

    // The control with this id, or null.
    const ControlTemplate* control(int controlId) const;
};

// Well-known control ids.
inline constexpr int idOk = 1;
inline constexpr int idCancel = 2;

// The template of resource id (7010 to 7019), or null.
const DialogTemplate* findTemplate(int id);

// The radio buttons of the group that control id belongs to, in order (empty when
// id is not a radio button).
std::span<const ControlTemplate> radioGroup(const DialogTemplate& t, int id);

} // namespace gw::dlg

#endif
