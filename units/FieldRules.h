// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Typed fields of the settings forms: what a text must be to be accepted, read
// by the same readers that read the settings.
//
// A text is accepted only when the whole of it (blanks around it aside) reads in
// the field's form; a reader that stops early, a text without a digit, a decimal
// comma and a value outside the field's range are refused. A refusal says what
// was wrong and what the field expects, as a sentence that follows the field's
// label ("Semi Major Axis is not a distance: ...").
//
//   number    digits with an optional sign, a point as decimal mark and an
//             exponent ("0.9996", "-1.5e-6"); read in the "C" locale
//   latitude  latitude text with N or S, first or last, or a sign ("N34 00.0000",
//             "34 0 0 S", "-12.5"); degrees, minutes and seconds apart, minutes
//             and seconds below 60; within +-90 degrees
//   longitude the same with E or W; within +-180 degrees
//   angle     an angle with an optional sign ("  0 00 01.50000", "-0.5")
//   distance  a number with an optional unit (m, km, nm, ft, yd), read in the
//             field's default unit without one ("500000.00m", "1640416.67ft",
//             "12.5"), whatever the number of its digits; only the label of the
//             field's own axis may stand in front: N or Y on a northing, E or X
//             on an easting (and in the station form S and O), none on a
//             distance of no axis (a datum shift, an axis of the ellipsoid); in
//             the station form "S12+34.56" is a station (two digits after the
//             '+': "S1+5" is refused)
//   name      not empty, no comma (it would end the field in a projection list or
//             an initialisation string), no control characters, not starting with
//             ':' or ';' (the field reader skips them), at most the field's width
//             in bytes; blanks around it are dropped
//
// Ranges used by the forms (inclusive):
//   scale factor of a projection      0.1 to 10 (Transverse Mercator 0.5 to 10: its
//                                     settings raise a smaller one to 0.5)
//   semi-major axis                   6,000,000 to 7,000,000 m
//   inverse flattening                100 to 1000
//   datum scale (a pure fraction)     -0.1 to 0.1
//   datum rotations                   -180 to 180 degrees
//   datum shifts                      -100,000 to 100,000 m
//   factors of an affine local system -1,000,000 to 1,000,000 (their settings
//                                     keys hold twelve decimals)
//   false northing and easting        -100,000,000 to 100,000,000 m
//   constants of an affine local system -10,000,000 to 10,000,000 m
//
// Threads: the readers use only their arguments and the process-wide unit table
// (read only), so any thread may call them while nothing changes that table.
#ifndef GRIDWISE_UNITS_FIELDRULES_H
#define GRIDWISE_UNITS_FIELDRULES_H

#include <cstddef>
#include <limits>
#include <string>

namespace gw {

// What a typed text reads as: ok and its value, or the reason it was refused.
struct FieldReading {
    bool ok = false;
    double value = 0.0;
    std::string problem; // "is not a number: ...", empty when ok
};

inline constexpr double kAnyValue = std::numeric_limits<double>::max();

inline constexpr double kScaleFactorMin = 0.1;
inline constexpr double kScaleFactorMax = 10.0;
inline constexpr double kTransverseMercatorScaleMin = 0.5;
inline constexpr double kSemiMajorAxisMin = 6.0e6;
inline constexpr double kSemiMajorAxisMax = 7.0e6;
inline constexpr double kInverseFlatteningMin = 100.0;
inline constexpr double kInverseFlatteningMax = 1000.0;
inline constexpr double kDatumScaleMax = 0.1;
inline constexpr double kDatumRotationMax = 180.0;
inline constexpr double kDatumShiftMax = 100000.0;
inline constexpr double kLocalFactorMax = 1.0e6;
inline constexpr double kFalseValueMax = 1.0e8;
inline constexpr double kLocalConstantMax = 1.0e7;

// A number within [lo, hi].
FieldReading readNumberField(const std::string& text, double lo = -kAnyValue, double hi = kAnyValue);

// Latitude and longitude text (degrees).
FieldReading readLatitudeField(const std::string& text);
FieldReading readLongitudeField(const std::string& text);

// A signed angle without hemisphere letters, within [lo, hi] degrees.
FieldReading readAngleField(const std::string& text, double lo, double hi);

// The axis a distance field belongs to, which decides the label it takes.
enum class DistanceAxis { none, north, east };

// A distance or grid value in metres: a number without a unit is in unit
// `unit` (an index of the unit table); station folds the station form first.
// Within [lo, hi] metres. A label in front must be one of `axis` (none by
// default: a settings value carries no label).
FieldReading readDistanceField(const std::string& text, int unit, bool station, double lo = -kAnyValue,
                               double hi = kAnyValue, DistanceAxis axis = DistanceAxis::none);

// A name of at most width bytes; value stays 0 and the accepted name (blanks
// around it dropped) is given in name.
FieldReading readNameField(const std::string& text, std::size_t width, std::string& name);

} // namespace gw

#endif
