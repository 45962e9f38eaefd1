// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The projection factory and helpers shared by the concrete projections.
//
// makeProjection is the one place that knows which class a projection type code
// stands for. Both the envelope's changeTo (no text) and its construction from an
// initialisation string (the whole text) go through it. A concrete projection class
// joins the factory by adding its case to the switch in Projection.cpp; every code
// without a case gives a Transverse Mercator with its defaults (the text unused).
//
// Every concrete projection:
//  - constructs its base part with Projection(ProjectionBaseCon{}) (not an envelope);
//  - relies on the base copy constructor and assignment for its base part (they copy
//    type and names of a concrete projection, and clone only for an envelope);
//  - overrides clone() with `return new ClassName(*this);` and initText();
//  - keeps its settings keys and initialisation-string fields in one table
//    (ProjectionKeys.h).
#ifndef GRIDWISE_PROJECTIONS_PROJECTIONFACTORY_H
#define GRIDWISE_PROJECTIONS_PROJECTIONFACTORY_H

#include "gridwise/projection.h"
#include "platform/CLocale.h"

// A new concrete projection of the class of `code`, built from `init` when the class
// exists (init may be null: the class's defaults), else a default Transverse
// Mercator. Never returns null (throws std::bad_alloc when memory runs out).
Projection* makeProjection(int code, char* init);

// The type code at the start of an initialisation string: the saturating integer
// reader of the platform (gw::cAtoi).
inline int projLeadingInt(const char* text) { return gw::cAtoi(text); }

#endif
