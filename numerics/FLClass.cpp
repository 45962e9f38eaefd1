// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// A path name ordered by the numbers in its file name.
#include "gridwise/filters.h"
#include "numerics/PathParts.h"
#include "platform/CLocale.h"

#include <cstring>
#include <new>

namespace {

constexpr std::size_t kNameSize = 260;

// The number read from the fifth character of a file name on (0 when shorter).
int numberFromFifth(const char* name) {
    return std::strlen(name) > 4 ? gw::fileNameNumber(name + 4) : 0;
}

// The name buffer, or null when memory runs out (copyBounded skips a null
// destination and reads a null source as "").
char* newNameBuffer() noexcept { return new (std::nothrow) char[kNameSize]; }

} // namespace

FLClass::FLClass() noexcept : fileName(newNameBuffer()) { gw::copyBounded(fileName, "", kNameSize); }

FLClass::FLClass(const char* text) noexcept : fileName(newNameBuffer()) {
    gw::copyBounded(fileName, text, kNameSize);
}

FLClass::FLClass(const FLClass& other) noexcept : fileName(newNameBuffer()) {
    gw::copyBounded(fileName, other.fileName, kNameSize);
}

FLClass& FLClass::operator=(const FLClass& other) noexcept {
    if (this == &other) return *this;
    if (fileName == nullptr) fileName = newNameBuffer();
    gw::copyBounded(fileName, other.fileName, kNameSize);
    return *this;
}

FLClass::~FLClass() { delete[] fileName; }

int FLClass::operator==(const FLClass& other) const {
    const gw::PathParts mine = gw::splitPath(fileName);
    const gw::PathParts theirs = gw::splitPath(other.fileName);
    return std::strcmp(mine.name, theirs.name) == 0 ? 1 : 0;
}

int FLClass::operator<(const FLClass& other) const {
    const gw::PathParts mine = gw::splitPath(fileName);
    const gw::PathParts theirs = gw::splitPath(other.fileName);
    const int lead1 = gw::fileNameNumber(mine.name);
    const int lead2 = gw::fileNameNumber(theirs.name);
    if (lead1 != lead2) return lead1 < lead2 ? 1 : 0;
    return numberFromFifth(mine.name) < numberFromFifth(theirs.name) ? 1 : 0;
}
