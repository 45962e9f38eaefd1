// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The geodesy object behind a GwGeodesy handle (gridwise/batch.h).
//
// A handle owns a whole Geodetics (its working datum and its projection envelope,
// which clones on copy) and a unit table of its own, taken from a freshly built
// Units, so that nothing it converts with is shared with the process-wide geodesy
// instance or units object. The batch conversions only read it (the projections'
// and the datum's conversion members keep no state of a conversion), so one handle
// serves many threads at once for conversions; the general rule of Projection (one
// object, one thread) holds for everything else (docs/threads.md).
#ifndef GRIDWISE_FACADE_GEODESYHANDLE_H
#define GRIDWISE_FACADE_GEODESYHANDLE_H

#include "facade/Geodetics.h"
#include "gridwise/batch.h"
#include "gridwise/units.h"

struct GwGeodesy {
    Geodetics geo; // whole: projection and inner projection present
    Units units;   // the handle's own unit table and settings (defaults)
};

namespace gw {

// Records why this thread's last call of the handle interface failed: the class
// of the failure (GW_ERROR_...) and its text. Without a class it is a bad argument.
void setBatchError(int code, const char* reason) noexcept;
void setBatchError(const char* reason) noexcept;

} // namespace gw

#endif
