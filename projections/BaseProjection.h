// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The base projection of a local system over a map projection (the affine local
// system and the station/offset system): an envelope that the local system owns.
//
// A BaseProjection is a value. It holds its envelope in place, so it always has
// one (it is never null), even when memory runs out; the envelope's concrete
// projection is then missing (a bare envelope, see gridwise/projection.h).
//  - A new one holds a default Transverse Mercator; one built from text the
//    projection that text describes, except that a local system is never a base
//    (see acceptedBaseType): null, empty or blank text, and text whose type code
//    is 3 or 6, give a default Transverse Mercator.
//  - A copy owns a copy of the concrete projection (bare when memory runs out;
//    constructors never throw).
//  - Assignment copies the other's concrete projection first and only then
//    replaces its own, so std::bad_alloc leaves it as it was.
//  - Destruction destroys the concrete projection.
// It is used like a pointer to its envelope: base->changeTo(1), base.get(), and
// it converts to Projection* where one is wanted (the address is that of the
// envelope inside it, so it changes when the local system is copied).
//
// Threads: as for the local system that holds it.
#ifndef GRIDWISE_PROJECTIONS_BASEPROJECTION_H
#define GRIDWISE_PROJECTIONS_BASEPROJECTION_H

#include "gridwise/projection.h"

namespace gw {

class BaseProjection {
public:
    BaseProjection() noexcept = default;
    explicit BaseProjection(char* text) noexcept;
    BaseProjection(const BaseProjection& other) noexcept = default;
    BaseProjection& operator=(const BaseProjection& other) = default;
    ~BaseProjection() = default;

    // Replaces the projection by the one text describes (the rules above).
    void reset(char* text) noexcept;

    Projection* get() noexcept { return &envelope_; }
    const Projection* get() const noexcept { return &envelope_; }
    Projection* operator->() noexcept { return &envelope_; }
    const Projection* operator->() const noexcept { return &envelope_; }
    Projection& operator*() noexcept { return envelope_; }
    const Projection& operator*() const noexcept { return envelope_; }
    operator Projection*() noexcept { return &envelope_; }
    operator const Projection*() const noexcept { return &envelope_; }

private:
    Projection envelope_;
};

} // namespace gw

#endif
