// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Qt backend of the dialogs, in a library of its own (libgridwise-qt.so) that
// libgridwise.so loads when a dialog is first shown (dialogs/ToolkitLoader.cpp),
// so that a host that never opens a dialog needs no Qt.
//
// The library exports one C function, which returns the backend. It links Qt 6
// Widgets only, not libgridwise: the dialog it runs comes from libgridwise, and the
// backend reaches it through the dialog's virtual functions and the template's
// plain data alone.
//
// A window is a QDialog built from the template: edit fields are QLineEdits,
// static texts QLabels, frames QGroupBoxes, buttons QPushButtons (the template's
// default button answers Enter), radio buttons QRadioButtons with one exclusive
// QButtonGroup per group, drop-down lists QComboBoxes (neither sorted nor
// editable). Geometry is absolute, converted from dialog units with the dialog
// font's metrics as the platform does: 4 horizontal units are the average width of
// the letters A-Z and a-z (kept exact, not rounded to whole pixels), 8 vertical
// units the character height; a label one line high that its text does not fit
// grows to the right instead of wrapping onto a line it has no room for. Controls are
// made in template order, so the tab order is the resource order; Tab enters a
// radio group at its checked button (the first when none is), the arrow keys
// move within it. Messages are QMessageBoxes named "message", modal and centred
// over the window, dismissed with Enter or Escape. Escape and closing the window
// are Cancel (command 2), F1 a help request (the title bar gets no help button:
// Qt would take it for its "What's This" mode, not for F1). A control with an
// id is named "c<id>" and the dialog "dialog<template id>" (tests and the
// rendering program find them by these names).
//
// Modal runs go over the parent the host passes (a QWidget*, or none when null).
// A QApplication is made when the host has none, and kept; when no display can be
// reached (no platform chosen and no X or Wayland server answering) runModal
// returns 0 without showing anything.
//
// This header names no Qt type: the loader includes it for the library's names.
#ifndef GRIDWISE_DIALOGS_QT_QTBACKEND_H
#define GRIDWISE_DIALOGS_QT_QTBACKEND_H

#include "dialogs/DialogWindow.h"

namespace gw::dlg {

// The library's file name (with the soname's major version) and its entry point.
inline constexpr const char* qtBackendLibrary = "libgridwise-qt.so.1";
inline constexpr const char* qtBackendEntry = "gridwiseQtBackend";
using QtBackendEntry = DialogBackend* (*)();

} // namespace gw::dlg

extern "C" __attribute__((visibility("default"))) gw::dlg::DialogBackend* gridwiseQtBackend() noexcept;

#endif
