// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// A projected CRS of the EPSG registry, as read from the database, and its
// mapping onto the two texts of a geodesy (the projection's initialisation
// string and the datum text that gwGeodesyFromText reads), or the reason it
// cannot be mapped. The mapping reads nothing but its argument, so the tests
// give it definitions of their own.
//
// Units of a definition: angles in degrees (longitudes from the CRS's prime
// meridian), lengths in metres, scales as plain factors, rotations of the shift
// in arc-seconds, its scale difference as a plain fraction (1 ppm = 1e-6).
//
// Threads: the functions keep no state.
#ifndef GRIDWISE_EPSG_EPSGMAPPING_H
#define GRIDWISE_EPSG_EPSGMAPPING_H

#include <string>
#include <vector>

namespace gw::epsg {

// EPSG codes of the methods and parameters the mapping reads.
namespace method {
inline constexpr int transverseMercator = 9807;
inline constexpr int lambert2sp = 9802;
inline constexpr int lambert1sp = 9801;
inline constexpr int polarA = 9810;
inline constexpr int polarB = 9829;
inline constexpr int obliqueStereographic = 9809;
inline constexpr int geocentricTranslations = 9603;
inline constexpr int positionVector = 9606;
inline constexpr int coordinateFrame = 9607;
} // namespace method

namespace param {
inline constexpr int latOfNaturalOrigin = 8801;
inline constexpr int lonOfNaturalOrigin = 8802;
inline constexpr int scaleAtNaturalOrigin = 8805;
inline constexpr int falseEasting = 8806;
inline constexpr int falseNorthing = 8807;
inline constexpr int latOfFalseOrigin = 8821;
inline constexpr int lonOfFalseOrigin = 8822;
inline constexpr int firstParallel = 8823;
inline constexpr int secondParallel = 8824;
inline constexpr int eastingAtFalseOrigin = 8826;
inline constexpr int northingAtFalseOrigin = 8827;
inline constexpr int latOfStandardParallel = 8832;
inline constexpr int lonOfOrigin = 8833;
} // namespace param

// EPSG codes of the three length units a projection can show.
inline constexpr int kMetre = 9001;
inline constexpr int kFoot = 9002;
inline constexpr int kUsSurveyFoot = 9003;

// How the datum reaches WGS 84.
enum class ShiftKind {
    wgs84,    // the datum is WGS 84: nothing to shift
    helmert,  // the transformation in `shift`
    gridOnly, // the registry has grid-based transformations only
    none,     // the registry has no transformation at all
};

struct Shift {
    int code = 0;
    std::string name;
    int method = 0;         // 9603, 9606 or 9607
    double accuracy = -1.0; // metres; negative when the registry gives none
    double tx = 0.0, ty = 0.0, tz = 0.0;
    double rx = 0.0, ry = 0.0, rz = 0.0; // arc-seconds, in the method's own convention
    double scale = 0.0;
};

struct Parameter {
    int code = 0;
    double value = 0.0;
};

struct CrsDefinition {
    int code = 0;
    std::string name;
    std::string conversionName; // "UTM zone 33N", "SPCS83 Georgia West zone (US Survey feet)"
    std::string baseName;       // the base geographic CRS: "NAD83", "WGS 84"
    int method = 0;
    std::string methodName;
    std::vector<Parameter> parameters;
    int unitCode = kMetre; // the length unit of the CRS's axes
    std::string unitName;
    int datumCode = 0;
    std::string datumName;
    std::string ellipsoidName;
    double semiMajor = 0.0;   // metres
    double invFlattening = 0; // 0 when the registry gives b instead
    double semiMinor = 0.0;   // metres; 0 when the registry gives 1/f
    double primeMeridian = 0.0;
    ShiftKind shiftKind = ShiftKind::none;
    Shift shift;
};

struct Mapping {
    bool ok = false;
    std::string reason;     // why not, when !ok
    std::string initString; // gwGeodesyFromText's two texts, when ok
    std::string datumText;
};

// The geodesy texts of a definition, or the reason it is refused.
Mapping mapCrs(const CrsDefinition& crs);

// A name shortened to at most `most` bytes, as a field of the comma-separated
// texts: commas and control bytes become blanks; a longer name loses its
// parenthesised remark when the rest fits ("Everest 1830 (1962 Definition)"
// first tries "Everest 1830 (1962 Def.)"), else is cut after its last whole
// word that fits (at a character boundary when it has no blank).
std::string shortName(const std::string& name, std::size_t most);

// The datum's name as the datum text carries it (24 bytes): the registry's own
// when it fits, else the base CRS's when that fits ("North American Datum 1983"
// is "NAD83", "European Terrestrial Reference System 1989 ensemble" "ETRS89"),
// else shortened as shortName does.
std::string datumFieldName(const CrsDefinition& crs);

// The two names a projection-list entry shows (general at most 19 bytes,
// specific at most 29): UTM zones as "UTM WGS 84" / "Zone 33N", state plane
// zones as "SPCS83 ftUS" / "Georgia West" (NAD27's "SPCS27", a realisation
// kept: "SPCS83(HARN)"), any other system as its base CRS / the rest of its
// name ("OSGB36" / "British National Grid"). The length unit other than the
// metre is added to the general name ("ftUS", "ft"), or to the specific one
// when the general has no room.
struct ListNames {
    std::string general;
    std::string specific;
};
ListNames listNames(const CrsDefinition& crs);

// The shortest "C"-locale decimal that reads back to the same double.
std::string decimal(double v);

// Degrees of an angle in EPSG's packed sexagesimal form DDD.MMSSsss (unit 9110).
double packedDmsToDegrees(double packed);

// The two latitudes (degrees, southern first) at which a Lambert 1SP cone of scale
// k0 < 1 at latitude lat0 (degrees) has scale 1, on an ellipsoid of eccentricity e:
// the standard parallels of the same projection written as 2SP.
bool lambertParallels(double lat0, double k0, double e, double& first, double& second);

// The scale at the pole of a polar stereographic projection whose scale is 1 on
// the parallel latC (degrees), on an ellipsoid of eccentricity e.
double polarScaleAtPole(double latC, double e);

} // namespace gw::epsg

#endif
