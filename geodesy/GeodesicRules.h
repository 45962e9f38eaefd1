// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The fixed rules of the geodesic problems (Datum::direct, Datum::inverse), shared
// by the one-point functions and the batch kernels so both branch and stop alike.
#ifndef GRIDWISE_GEODESY_GEODESICRULES_H
#define GRIDWISE_GEODESY_GEODESICRULES_H

namespace gw::geodesic {

inline constexpr double kShortLine = 40000.0;       // metres: shorter lines use Puissant's series
inline constexpr double kEstimateRadius = 6378206.4; // metres: sphere of the inverse's length estimate
inline constexpr double kMinDistance = 0.0001;      // metres: shorter direct lines give the start point
// degrees: a short direct line uses Puissant's series only while its start and
// its end (by those series) lie within this latitude; otherwise Sodano's.
inline constexpr double kPuissantLatitude = 80.0;
// metres: the longest direct line the batch conversions solve (about once round
// the earth); the series' error grows with the length beyond.
inline constexpr double kLongestDirect = 4.0e7;
inline constexpr int kRefineSteps = 4;              // refinement steps of the short-line inverse
inline constexpr double kRefineDistance = 0.0001;   // metres: a refinement step this small settles
inline constexpr double kRefineAzimuth = 1.7453e-6; // degrees: as does an azimuth change this small
inline constexpr double kEastWest = 1e-8;           // Sodano's azimuth denominator below it: due east or west

} // namespace gw::geodesic

#endif
