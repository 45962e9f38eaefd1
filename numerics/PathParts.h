// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Splitting a path name into drive, directory, file name and extension.
#ifndef GRIDWISE_NUMERICS_PATHPARTS_H
#define GRIDWISE_NUMERICS_PATHPARTS_H

namespace gw {

// The four parts of a path name, each terminated; together at most 259 characters
// of the path are used (the rest is ignored).
struct PathParts {
    char drive[3]; // "X:" when the path starts with a letter or sign and ':'
    char dir[260]; // up to and including the last '/' or '\\'
    char name[260]; // file name without extension
    char ext[260]; // from the last '.' of the file name on, the '.' included
};

// Splits path with Windows rules: both '/' and '\\' separate directories, a second
// character ':' ends the drive, the extension starts at the last '.' after the last
// separator. A null path gives four empty parts.
PathParts splitPath(const char* path);

// The integer at the start of text as atoi reads it (C blanks, optional sign,
// decimal digits), clamped to the int range; 0 without digits.
int fileNameNumber(const char* text);

} // namespace gw

#endif
