// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The dialogs' own help, for when the host shows none: one page per dialog
// template, a Markdown file named after the template ("7011-geodetics.md").
//
// showDialogHelp opens the page in a viewer when one can be started: the program
// named by GRIDWISE_HELP_VIEWER (whatever the display), else xdg-open when there is
// a desktop (DISPLAY or WAYLAND_DISPLAY set). The viewer gets the page's path as
// its one argument; it is started without a shell, in a session of its own, and
// not waited for (a thread of ours reaps it when it ends). Without a viewer, when
// the page file is not found or the viewer cannot be started, the page's text is
// shown in the dialog's message box instead; an empty GRIDWISE_HELP_VIEWER asks
// for the message box. The text of every page is built into the library, so the
// message box never needs the file.
//
// The page files are looked for installed (share/doc/gridwise/dialogs under the
// installation prefix, found from the file this code was loaded from: the library
// in lib/ or a program in bin/), then in the source tree the library was built
// from.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_DIALOGHELP_H
#define GRIDWISE_DIALOGS_DIALOGHELP_H

#include <cstddef>
#include <string>

#include "dialogs/DialogWindow.h"

namespace gw::dlg {

// A page as built into the library: its file name without ".md" and its bytes.
struct EmbeddedHelpPage {
    const char* stem;
    const unsigned char* bytes;
    std::size_t size;
};

// The pages built into the library (generated from docs/dialogs/*.md).
extern const EmbeddedHelpPage kEmbeddedHelpPages[];
extern const std::size_t kEmbeddedHelpPageCount;

// The stem of the page of template id ("7011-geodetics"), "" when it has none.
std::string helpPageStem(int templateId);

// The page's Markdown as built into the library, "" when there is none.
std::string helpPageMarkdown(int templateId);

// The page as plain text for a message box: the picture line left out, heading
// marks, emphasis and code marks taken off.
std::string helpPageText(int templateId);

// The path of the page's file, installed or in the source tree; "" when not found.
std::string helpPagePath(int templateId);

// Shows the help of the dialog on template templateId running in window (see
// above). False when there is no page for the template.
bool showDialogHelp(DialogWindow& window, int templateId);

} // namespace gw::dlg

#endif
