// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Reading grid values, plain or in the station form, and the grid style of the
// projection in use.
//
// The station form "S12+34.56m" (station 1234.56 m) and "S-12-34.56m" is folded
// in place into a plain number ("S1234.56m", "S-1234.56m") before it is read; an
// offset line behind a line break ("\r\nO-5.00m") keeps its single minus sign.
// The separator joins whole hundreds and a remainder of exactly two integer
// digits with optional decimals, as the station writer writes them ("S1+05m" is
// 105 m). A separator that does not ("S1+5m", "S1+0.5m", "S1+", "S-1-5m") is left
// in the text, so the reader stops there and the position tells that the text
// was not read whole; a '+' or '-' that follows no digit is a sign, read as one.
//
// Which form a text is in depends on the projection of the geodesy instance,
// which lives above this layer: the instance installs a source of its grid style
// (setGridStyleSource) and texts are read in the station form while that source
// answers 2. Without a source, or while it answers anything else, grid values are
// read as plain distances. Called from the host's user-interface thread only.
// A GridStyleScope gives its thread a style of its own while it lives, whatever
// the source answers (geodesy handles read and write their texts in the style of
// their own projection, not the geodesy instance's).
#ifndef GRIDWISE_UNITS_GRIDTEXT_H
#define GRIDWISE_UNITS_GRIDTEXT_H

namespace gw {

// Grid label styles of a projection (Projection::getFormat).
enum GridStyle { gridStyleNorthEast = 0, gridStyleYX = 1, gridStyleStation = 2 };

// Folds the station form into a plain number, in place (see above).
void foldStation(char* text);

// A grid value in metres read by parseStrToUnit with `unit` as the default unit;
// the station form is folded first when station is true. pos may be null.
double readGridValue(char* text, int* pos, int unit, bool station);

// The grid style of the projection in use: the installed source's answer, or -1.
using GridStyleSource = int (*)();
void setGridStyleSource(GridStyleSource source);
int currentGridStyle();

class GridStyleScope {
public:
    explicit GridStyleScope(int style) noexcept;
    ~GridStyleScope();
    GridStyleScope(const GridStyleScope&) = delete;
    GridStyleScope& operator=(const GridStyleScope&) = delete;

private:
    int previous_;
};

} // namespace gw

#endif
