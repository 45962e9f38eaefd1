// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The projection envelope, its copy semantics and the factory by type code.
#include "gridwise/projection.h"

#include <cstring>
#include <string>

#include "platform/CLocale.h"
#include "projections/InitText.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/Local.h"
#include "projections/PolarStereo.h"
#include "projections/ProjectionFactory.h"
#include "projections/ProjectionTypes.h"
#include "projections/RDProj.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"
#include "units/SettingsText.h"

Projection* makeProjection(int code, char* init) {
    if (const gw::ProjectionTypeInfo* t = gw::projectionType(code)) return t->make(init);
    // Codes without a class (2, 8, negative ...): a default Transverse Mercator;
    // the text describes some other projection and is not used.
    return gw::projectionType(gw::code(gw::ProjectionType::transverseMercator))->make(nullptr);
}

namespace {
void copyName(char* dst, const char* src) { gw::copyBounded(dst, src, 30); }
} // namespace

// Without memory for the concrete projection the envelope stays bare (type 0).
Projection::Projection(char* init) noexcept : type(0), inner(nullptr), ownsInner(1) {
    general[0] = '\0';
    specific[0] = '\0';
    try {
        inner = makeProjection(gw::cAtoi(init), init);
        type = inner->type;
    } catch (...) {
        inner = nullptr;
    }
}

Projection::Projection(ProjectionBaseCon) : type(0), inner(nullptr), ownsInner(0) {
    general[0] = '\0';
    specific[0] = '\0';
}

// A copy of an envelope is an envelope around a copy of the concrete projection
// (bare, type 0, without memory for it). A copy of a concrete projection's base
// part (the base of a derived copy) copies the type and the names only.
Projection::Projection(const Projection& other) noexcept : type(other.type), inner(nullptr), ownsInner(0) {
    copyName(general, other.general);
    copyName(specific, other.specific);
    if (other.ownsInner) {
        ownsInner = 1;
        try {
            inner = other.inner != nullptr ? other.inner->clone()
                                           : makeProjection(gw::code(gw::ProjectionType::transverseMercator), nullptr);
            type = inner->type;
        } catch (...) {
            inner = nullptr;
            type = 0;
        }
    }
}

// An envelope takes a copy of the other's concrete projection (the other itself
// when it is a concrete projection) and destroys its own; a concrete projection's
// base part takes the names only (its type is its class's).
Projection& Projection::operator=(const Projection& other) {
    if (this == &other) return *this;
    if (ownsInner) {
        const Projection* source = other.ownsInner ? other.inner : &other;
        Projection* copy = source != nullptr ? source->clone()
                                             : makeProjection(gw::code(gw::ProjectionType::transverseMercator), nullptr);
        // The names first: `other` may be the concrete projection about to go.
        copyName(general, other.general);
        copyName(specific, other.specific);
        delete inner;
        inner = copy;
        type = copy->type;
    } else {
        const Projection* source = (other.ownsInner && other.inner != nullptr) ? other.inner : &other;
        copyName(general, source->general);
        copyName(specific, source->specific);
    }
    return *this;
}

Projection::~Projection() {
    if (ownsInner && inner != nullptr) delete inner;
    inner = nullptr;
}

void Projection::changeTo(int code) noexcept {
    if (!ownsInner) return; // a concrete projection cannot change its class
    Projection* next = nullptr;
    try {
        next = makeProjection(code, nullptr);
    } catch (...) {
        return; // without memory the old projection stays
    }
    delete inner;
    inner = next;
    type = next->type;
}

// Forwarding of an envelope. A concrete projection overrides these; a bare base
// part (no concrete class behind it) answers with neutral values.

int Projection::editDialog(CWnd* parent, ProjDataStruct** projList) {
    return inner != nullptr ? inner->editDialog(parent, projList) : 0;
}

void Projection::getLines(char lines[][50]) {
    if (inner != nullptr) inner->getLines(lines);
}

void Projection::loadData(char* section, char* file) {
    if (inner != nullptr) inner->loadData(section, file);
}

void Projection::saveData(char* section, char* file) {
    if (inner != nullptr) inner->saveData(section, file);
}

void Projection::getInitStr(char* init) {
    if (init == nullptr) return;
    if (inner != nullptr) {
        inner->getInitStr(init);
        return;
    }
    getInitStr(init, GW_INIT_STR_MAX);
}

void Projection::getInitStr(char* init, size_t size) {
    if (init == nullptr || size == 0) return;
    try {
        const std::string text = gw::initString(*this);
        gw::copyBounded(init, text.c_str(), size);
    } catch (...) {
        init[0] = '\0';
    }
}

void Projection::getTypeStr(char* generalOut, char* specificOut) {
    if (inner != nullptr) {
        inner->getTypeStr(generalOut, specificOut);
        return;
    }
    if (generalOut != nullptr) copyName(generalOut, general);
    if (specificOut != nullptr) copyName(specificOut, specific);
}

void Projection::setTypeStr(char* generalIn, char* specificIn) {
    if (inner != nullptr) {
        inner->setTypeStr(generalIn, specificIn);
        return;
    }
    gw::keepName(general, sizeof general, generalIn);
    gw::keepName(specific, sizeof specific, specificIn);
}

void Projection::geoparm(Datum* datum) {
    if (inner != nullptr) inner->geoparm(datum);
}

void Projection::gridToGeo(double north, double east, double& lat, double& lon) {
    if (inner != nullptr) {
        inner->gridToGeo(north, east, lat, lon);
        return;
    }
    lat = 0.0;
    lon = 0.0;
}

void Projection::geoToGrid(double lat, double lon, double& north, double& east) {
    if (inner != nullptr) {
        inner->geoToGrid(lat, lon, north, east);
        return;
    }
    north = 0.0;
    east = 0.0;
}

double Projection::lineScale(double north1, double east1, double north2, double east2) {
    return inner != nullptr ? inner->lineScale(north1, east1, north2, east2) : 1.0;
}

double Projection::converge(double north, double east) {
    return inner != nullptr ? inner->converge(north, east) : 0.0;
}

int Projection::getUnits() { return inner != nullptr ? inner->getUnits() : 0; }

int Projection::getFormat() { return inner != nullptr ? inner->getFormat() : 0; }

void Projection::initText(gw::InitText& out) const {
    if (inner != nullptr) inner->initText(out);
}

Projection* Projection::clone() const { return new Projection(*this); }
