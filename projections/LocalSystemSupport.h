// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Helpers shared by the local coordinate systems (the flat local grid, the
// affine local system and the station/offset system): their names, their
// description lines over a base projection, and the rules for the base that the
// affine and station/offset systems read from their settings and from the tail of
// their initialisation string (see BaseProjection.h). Settings values and names
// go through units/SettingsText.h.
#ifndef GRIDWISE_PROJECTIONS_LOCALSYSTEMSUPPORT_H
#define GRIDWISE_PROJECTIONS_LOCALSYSTEMSUPPORT_H

#include "gridwise/projection.h"

namespace gw {

// The names of a new local system: type code, general name "USER" and the
// specific name given.
void setLocalSystemNames(Projection& p, int type, const char* specific);

// Description lines of a local system over a base projection: its name, the
// base's specific name, then "<tag> Line2" to "<tag> Line5".
void baseSystemLines(char lines[][50], const char* name, Projection& base, const char* tag);

// The text behind the n-th comma of text, or null when text has fewer commas.
char* textAfterCommas(char* text, int n);

// A base projection may not be an affine local system (3) or a station/offset
// system (6): such a base would read the outer system's keys again and again.
// Returns code, or 0 (Transverse Mercator) for 3 and 6.
int acceptedBaseType(int code);

} // namespace gw

#endif
