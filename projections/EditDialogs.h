// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The parameter dialogs of the projections, which live in the dialog layer above
// this one: that layer installs one runner per projection type code, and a
// projection's editDialog runs the runner of its type. Without a runner (a program
// built without the dialog layer) editDialog returns 0 and changes nothing.
//
// Threads: runners are installed once at start-up; dialogs run on the host's
// user-interface thread only.
#ifndef GRIDWISE_PROJECTIONS_EDITDIALOGS_H
#define GRIDWISE_PROJECTIONS_EDITDIALOGS_H

#include "gridwise/projection.h"

namespace gw {

// Runs the dialog of projection p over parent with the projection list; 1 when
// the user confirmed with OK (p then holds the new values), 0 otherwise.
using ProjectionDialog = int (*)(Projection& p, CWnd* parent, ProjDataStruct** list);

// Installs the runner of type code (0 to 7; others are ignored), or removes it with null.
void setProjectionDialog(int typeCode, ProjectionDialog runner);

// Runs the runner of typeCode on p; 0 without one or when it throws.
int runProjectionDialog(int typeCode, Projection& p, CWnd* parent, ProjDataStruct** list);

} // namespace gw

#endif
