// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Maps a projected CRS of the registry onto a projection's initialisation string
// and a datum text. Every number is written as the shortest decimal that reads
// back to the same double, angles as signed decimal degrees, so that the geodesy
// holds the registry's values to the last bit after the unit conversions.
#include "epsg/EpsgMapping.h"

#include "gridwise/projection.h"

#include <array>
#include <charconv>
#include <system_error>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <optional>

namespace gw::epsg {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// The polar stereographic projection keeps its grid values inside this frame.
constexpr double kPolarFrameLow = 890000.0;
constexpr double kPolarFrameHigh = 3110000.0;

// A name as a field of the comma-separated texts: no commas or control bytes,
// no blanks around it, at most `most` bytes (cut at a character boundary).
std::string fieldName(const std::string& name, std::size_t most) {
    std::string out;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        out += (c == ',' || u < 0x20 || u == 0x7f) ? ' ' : c;
    }
    std::size_t b = out.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    out = out.substr(b);
    if (out.size() > most) {
        std::size_t cut = most;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        out.resize(cut);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string codeText(int code) { return "EPSG:" + std::to_string(code); }

std::optional<double> find(const CrsDefinition& crs, int code) {
    for (const Parameter& p : crs.parameters)
        if (p.code == code) return p.value;
    return std::nullopt;
}

struct Refusal {
    std::string reason;
};

double need(const CrsDefinition& crs, int code) {
    const std::optional<double> v = find(crs, code);
    if (!v) throw Refusal{codeText(crs.code) + " lacks the parameter EPSG:" + std::to_string(code) + " of its method"};
    return *v;
}

// isometric latitude of the ellipsoid, radians
double isometric(double phi, double e) {
    const double s = std::sin(phi);
    return std::atanh(s) - e * std::atanh(e * s);
}

// ln of the Lambert 1SP scale at phi (radians) less ln k0 of the origin phi0.
double lnScaleOffset(double phi, double phi0, double e) {
    const double n = std::sin(phi0);
    auto lnM = [e](double p) {
        const double s = std::sin(p);
        return std::log(std::cos(p)) - 0.5 * std::log(1 - e * e * s * s);
    };
    return lnM(phi0) - lnM(phi) - n * (isometric(phi, e) - isometric(phi0, e));
}

// The latitude between lo and hi (radians) where ln k0 + offset crosses 0; the
// offset rises from lo to hi when `rising`.
double bisect(double lo, double hi, double lnK0, double phi0, double e, bool rising) {
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (mid == lo || mid == hi) break;
        const double v = lnK0 + lnScaleOffset(mid, phi0, e);
        if ((v < 0) == rising)
            lo = mid;
        else
            hi = mid;
    }
    return 0.5 * (lo + hi);
}

std::string degreesText(double v) { return decimal(v); }

// How a grid value of the registry reads in a refusal: "-1234.5 m".
std::string metres(double v) { return decimal(v) + " m"; }

int projectionUnit(const CrsDefinition& crs) {
    switch (crs.unitCode) {
    case kMetre: return 0;
    case kFoot: return 1;
    case kUsSurveyFoot: return 2;
    default:
        throw Refusal{codeText(crs.code) + "'s length unit is " +
                      (crs.unitName.empty() ? codeText(crs.unitCode) : crs.unitName) +
                      "; a projection shows metres, feet or US survey feet only"};
    }
}

double longitudeFromGreenwich(const CrsDefinition& crs, double lon) {
    double v = lon + crs.primeMeridian;
    if (v > 180) v -= 360;
    if (v <= -180) v += 360;
    return v;
}

std::string transverseMercator(const CrsDefinition& crs, const std::string& name, int unit) {
    const double lat0 = need(crs, param::latOfNaturalOrigin);
    const double lon0 = longitudeFromGreenwich(crs, need(crs, param::lonOfNaturalOrigin));
    const double k0 = need(crs, param::scaleAtNaturalOrigin);
    const double fe = need(crs, param::falseEasting);
    const double fn = need(crs, param::falseNorthing);
    if (!(k0 >= 0.5 && k0 <= 2))
        throw Refusal{codeText(crs.code) + "'s scale factor " + decimal(k0) + " lies outside 0.5..2"};
    // The projection keeps its grid values within +-10000000 m: a false easting
    // with a zone number before it (31500000) would put every point beyond.
    if (std::fabs(fe) > 9e6 || std::fabs(fn) > 1e7) {
        throw Refusal{codeText(crs.code) + "'s false origin (easting " + metres(fe) + ", northing " + metres(fn) +
                      ") puts its grid beyond the +-10000000 m that the Transverse Mercator keeps to"};
    }
    // 0,name,central meridian,false northing,false easting,scale,latitude of origin,units
    return std::to_string(GW_TYPE_TRANSVERSE_MERCATOR) + "," + name + "," + degreesText(lon0) + "," + decimal(fn) + "," + decimal(fe) + "," + decimal(k0) + "," +
           degreesText(lat0) + "," + std::to_string(unit);
}

double eccentricity(double invF) {
    const double f = 1 / invF;
    return std::sqrt(f * (2 - f));
}

// The Lambert projection keeps grid values within 5000 km of its false origin.
// A system whose false origin lies far from its area (at the pole for Belgium, on
// the equator for Croatia or Ontario) is written with the false origin moved
// along the central meridian to the middle of its standard parallels: the grid is
// the same (northing = FN + rho(origin) - rho cos theta, so the false northing
// takes up the difference of the two radii), and only the origin's text changes.
void moveFalseOrigin(double p1, double p2, double a, double invF, double& lat0, double& fn) {
    const double lo = std::min(p1, p2);
    const double hi = std::max(p1, p2);
    if (lat0 >= lo - 10 && lat0 <= hi + 10) return;
    using Real = long double;
    const Real pi = 3.141592653589793238462643383279502884L;
    const Real e = eccentricity(invF);
    auto psi = [&](Real latDeg) {
        const Real s = std::sin(latDeg * pi / 180);
        return std::atanh(s) - e * std::atanh(e * s);
    };
    auto lnM = [&](Real latDeg) {
        const Real s = std::sin(latDeg * pi / 180);
        return std::log(std::cos(latDeg * pi / 180)) - std::log(1 - e * e * s * s) / 2;
    };
    const Real n = (lnM(p1) - lnM(p2)) / (psi(p2) - psi(p1));
    // rho(phi) = a m1 exp(n (psi1 - psi)) / n, 0 at the pole the cone closes on.
    auto rho = [&](Real latDeg) {
        if ((latDeg == 90 && n > 0) || (latDeg == -90 && n < 0)) return Real(0);
        return a * std::exp(lnM(p1) + n * (psi(p1) - psi(latDeg))) / n;
    };
    const double mid = (p1 + p2) / 2;
    fn = static_cast<double>(fn + (rho(lat0) - rho(mid)));
    lat0 = mid;
}

std::string lambertText(const std::string& name, double first, double second, double lon0, double lat0, double fn,
                        double fe, int unit) {
    // 1,name,first parallel,second parallel,longitude of origin,latitude of origin,false northing,false easting,units
    return std::to_string(GW_TYPE_LAMBERT) + "," + name + "," + degreesText(first) + "," + degreesText(second) + "," + degreesText(lon0) + "," +
           degreesText(lat0) + "," + decimal(fn) + "," + decimal(fe) + "," + std::to_string(unit);
}

std::string lambert2sp(const CrsDefinition& crs, const std::string& name, int unit, double invF) {
    const double lat0 = need(crs, param::latOfFalseOrigin);
    const double lon0 = longitudeFromGreenwich(crs, need(crs, param::lonOfFalseOrigin));
    const double p1 = need(crs, param::firstParallel);
    const double p2 = need(crs, param::secondParallel);
    const double fe = need(crs, param::eastingAtFalseOrigin);
    const double fn = need(crs, param::northingAtFalseOrigin);
    if (p1 == p2) {
        throw Refusal{codeText(crs.code) + "'s two standard parallels are the same (" + degreesText(p1) +
                      " degrees); the Lambert projection needs two"};
    }
    if (p1 == -p2) throw Refusal{codeText(crs.code) + "'s standard parallels lie symmetric about the equator"};
    double lat = lat0, north = fn;
    moveFalseOrigin(p1, p2, crs.semiMajor, invF, lat, north);
    return lambertText(name, p1, p2, lon0, lat, north, fe, unit);
}

std::string lambert1sp(const CrsDefinition& crs, const std::string& name, int unit, double invF) {
    const double lat0 = need(crs, param::latOfNaturalOrigin);
    const double lon0 = longitudeFromGreenwich(crs, need(crs, param::lonOfNaturalOrigin));
    const double k0 = need(crs, param::scaleAtNaturalOrigin);
    const double fe = need(crs, param::falseEasting);
    const double fn = need(crs, param::falseNorthing);
    if (lat0 == 0) throw Refusal{codeText(crs.code) + "'s Lambert 1SP has its origin on the equator, where the cone is a cylinder"};
    if (k0 > 1) {
        throw Refusal{codeText(crs.code) + "'s Lambert 1SP has a scale factor of " + decimal(k0) +
                      " at its origin, above 1: no pair of standard parallels gives it"};
    }
    double first = 0, second = 0;
    if (!lambertParallels(lat0, k0, eccentricity(invF), first, second))
        throw Refusal{codeText(crs.code) + "'s Lambert 1SP scale factor " + decimal(k0) + " has no standard parallels"};
    return lambertText(name, first, second, lon0, lat0, fn, fe, unit);
}

void checkPolarOrigin(const CrsDefinition& crs, double lon0, double fe, double fn) {
    if (lon0 != 0) {
        throw Refusal{codeText(crs.code) + " has its longitude of origin at " + degreesText(lon0) +
                      " degrees; the polar stereographic projection's grid is always on the meridian 0"};
    }
    auto inFrame = [](double v) { return v >= kPolarFrameLow && v <= kPolarFrameHigh; };
    if (!inFrame(fe) || !inFrame(fn)) {
        throw Refusal{codeText(crs.code) + "'s false origin (easting " + metres(fe) + ", northing " + metres(fn) +
                      ") lies outside the grid frame 890000..3110000 m that the polar stereographic projection keeps to"};
    }
}

std::string polarText(const std::string& name, double lon0, double lat0, double k0, double fn, double fe, int unit) {
    // 4,name,longitude of origin,latitude of origin,scale at the pole,false northing,false easting,units
    return std::to_string(GW_TYPE_POLAR_STEREOGRAPHIC) + "," + name + "," + degreesText(lon0) + "," + degreesText(lat0) + "," + decimal(k0) + "," + decimal(fn) +
           "," + decimal(fe) + "," + std::to_string(unit);
}

std::string polarA(const CrsDefinition& crs, const std::string& name, int unit) {
    const double lat0 = need(crs, param::latOfNaturalOrigin);
    const double lon0 = longitudeFromGreenwich(crs, need(crs, param::lonOfNaturalOrigin));
    const double k0 = need(crs, param::scaleAtNaturalOrigin);
    const double fe = need(crs, param::falseEasting);
    const double fn = need(crs, param::falseNorthing);
    if (lat0 != 90 && lat0 != -90)
        throw Refusal{codeText(crs.code) + "'s polar stereographic origin lies at latitude " + degreesText(lat0) + ", not at a pole"};
    checkPolarOrigin(crs, lon0, fe, fn);
    return polarText(name, lon0, lat0, k0, fn, fe, unit);
}

std::string polarB(const CrsDefinition& crs, const std::string& name, int unit, double invF) {
    const double latC = need(crs, param::latOfStandardParallel);
    const double lon0 = longitudeFromGreenwich(crs, need(crs, param::lonOfOrigin));
    const double fe = need(crs, param::falseEasting);
    const double fn = need(crs, param::falseNorthing);
    if (latC == 0) throw Refusal{codeText(crs.code) + "'s standard parallel is the equator"};
    checkPolarOrigin(crs, lon0, fe, fn);
    return polarText(name, lon0, latC > 0 ? 90.0 : -90.0, polarScaleAtPole(latC, eccentricity(invF)), fn, fe, unit);
}

// The RD projection has its origin, scale and false origin built in; EPSG:28992
// is the one system of the registry that it is.
std::string rd(const CrsDefinition& crs, const std::string& name) {
    const double lat0 = need(crs, param::latOfNaturalOrigin);
    const double lon0 = longitudeFromGreenwich(crs, need(crs, param::lonOfNaturalOrigin));
    const double k0 = need(crs, param::scaleAtNaturalOrigin);
    const double fe = need(crs, param::falseEasting);
    const double fn = need(crs, param::falseNorthing);
    const bool same = std::fabs(lat0 - 52.156160555555555) < 1e-8 && std::fabs(lon0 - 5.387638888888889) < 1e-8 &&
                      k0 == 0.9999079 && fe == 155000 && fn == 463000;
    if (crs.code != 28992 || !same || crs.unitCode != kMetre) {
        throw Refusal{codeText(crs.code) + " uses " + crs.methodName +
                      ", which this library offers only as the RD projection of EPSG:28992"};
    }
    return std::to_string(GW_TYPE_RD) + "," + name;
}

std::string datumText(const CrsDefinition& crs, double invF) {
    double rx = 0, ry = 0, rz = 0, scale = 0, tx = 0, ty = 0, tz = 0;
    if (crs.shiftKind == ShiftKind::helmert) {
        const Shift& s = crs.shift;
        tx = s.tx;
        ty = s.ty;
        tz = s.tz;
        if (s.method != method::geocentricTranslations) {
            // The datum turns by the position-vector convention; the coordinate
            // frame convention has the rotations' signs the other way.
            const double sign = s.method == method::coordinateFrame ? -1.0 : 1.0;
            auto degrees = [sign](double seconds) { return static_cast<double>(sign * seconds / 3600.0L); };
            rx = degrees(s.rx);
            ry = degrees(s.ry);
            rz = degrees(s.rz);
            scale = s.scale;
        }
    }
    auto plus0 = [](double v) { return v == 0 ? 0.0 : v; }; // no "-0" in the text
    return shortName(crs.ellipsoidName, 24) + "," + decimal(crs.semiMajor) + "," + decimal(invF) + "," +
           datumFieldName(crs) + "," + decimal(plus0(tx)) + "," + decimal(plus0(ty)) + "," +
           decimal(plus0(tz)) + "," + decimal(plus0(scale)) + "," + decimal(plus0(rx)) + "," + decimal(plus0(ry)) +
           "," + decimal(plus0(rz));
}

double inverseFlattening(const CrsDefinition& crs) {
    double invF = crs.invFlattening;
    if (invF == 0 && crs.semiMinor > 0 && crs.semiMinor < crs.semiMajor)
        invF = crs.semiMajor / (crs.semiMajor - crs.semiMinor);
    if (invF == 0) {
        throw Refusal{codeText(crs.code) + "'s ellipsoid " + crs.ellipsoidName +
                      " is a sphere, which the datum cannot hold"};
    }
    if (!(crs.semiMajor >= 6e6 && crs.semiMajor <= 7e6) || !(invF >= 100 && invF <= 1000)) {
        throw Refusal{codeText(crs.code) + "'s ellipsoid " + crs.ellipsoidName + " (a " + decimal(crs.semiMajor) +
                      " m, 1/f " + decimal(invF) + ") lies outside the datum's ranges (a 6e6..7e6 m, 1/f 100..1000)"};
    }
    return invF;
}

// Words of registry names written shorter when a name has no room for them.
constexpr std::pair<const char*, const char*> kAbbreviations[] = {
    {"Definition", "Def."},
    {"Adjustment", "Adj."},
    {"international", "intl"},
};

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The name after the last whole word that fits in most bytes, with no
// parenthesis left open and no blank or punctuation at its end.
std::string cutAtWord(const std::string& name, std::size_t most) {
    if (name.size() <= most) return name;
    std::size_t cut = name.rfind(' ', most);
    if (cut == std::string::npos || cut == 0) return fieldName(name, most);
    std::string out = name.substr(0, cut);
    const std::size_t open = out.rfind('(');
    if (open != std::string::npos && out.find(')', open) == std::string::npos && open > 0) out.resize(open);
    while (!out.empty() && (out.back() == ' ' || out.back() == '-' || out.back() == '/' || out.back() == '&'))
        out.pop_back();
    return out.empty() ? fieldName(name, most) : out;
}

// The unit suffix of a projected CRS's name ("Georgia West (ftUS)") removed.
std::string withoutUnitRemark(std::string name) {
    for (const char* remark : {" (ftUS)", " (ft)", " (m)", " (ftIn)"}) {
        const std::string r = remark;
        if (name.size() > r.size() && name.compare(name.size() - r.size(), r.size(), r) == 0)
            name.resize(name.size() - r.size());
    }
    return name;
}

} // namespace

std::string shortName(const std::string& name, std::size_t most) {
    std::string clean = fieldName(name, std::string::npos);
    if (clean.size() <= most) return clean;
    for (const auto& [word, shorter] : kAbbreviations) {
        clean = replaceAll(clean, word, shorter);
        if (clean.size() <= most) return clean;
    }
    // A trailing remark in parentheses goes first.
    if (clean.back() == ')') {
        const std::size_t open = clean.rfind('(');
        if (open != std::string::npos && open > 0) {
            std::string bare = clean.substr(0, open);
            while (!bare.empty() && bare.back() == ' ') bare.pop_back();
            if (!bare.empty() && bare.size() <= most) return bare;
        }
    }
    return cutAtWord(clean, most);
}

std::string datumFieldName(const CrsDefinition& crs) {
    const std::string own = fieldName(crs.datumName, std::string::npos);
    if (own.size() <= 24) return own;
    const std::string base = fieldName(crs.baseName, std::string::npos);
    if (!base.empty() && base.size() <= 24) return base;
    return shortName(crs.datumName, 24);
}

ListNames listNames(const CrsDefinition& crs) {
    constexpr std::size_t kGeneral = 19;
    constexpr std::size_t kSpecific = 29;
    const std::string base = fieldName(crs.baseName, std::string::npos);
    const std::string name = fieldName(crs.name, std::string::npos);
    const std::size_t slash = name.find(" / ");
    std::string rest = withoutUnitRemark(slash == std::string::npos ? name : name.substr(slash + 3));
    std::string general = base.empty() && slash != std::string::npos ? name.substr(0, slash) : base;

    const std::string& conversion = crs.conversionName;
    if (conversion.rfind("UTM zone ", 0) == 0) {
        general = "UTM " + general;
        if (rest.rfind("UTM zone ", 0) == 0) rest = "Zone " + rest.substr(9);
    } else if (conversion.rfind("SPCS83 ", 0) == 0 || conversion.find(" CS27") != std::string::npos) {
        // The realisation of the datum is kept: NAD83(HARN) gives SPCS83(HARN).
        const bool nad27 = conversion.rfind("SPCS83 ", 0) != 0;
        const std::string datum = nad27 ? "NAD27" : "NAD83";
        std::string realisation = general.rfind(datum, 0) == 0 ? general.substr(datum.size()) : "";
        while (!realisation.empty() && realisation.front() == ' ') realisation.erase(0, 1);
        general = (nad27 ? "SPCS27" : "SPCS83") + realisation;
    }
    const char* unit = crs.unitCode == kUsSurveyFoot ? "ftUS" : crs.unitCode == kFoot ? "ft" : nullptr;
    if (unit != nullptr) {
        if (general.size() + 1 + std::strlen(unit) <= kGeneral) general += std::string(" ") + unit;
        else rest += std::string(" (") + unit + ")";
    }
    ListNames names;
    names.general = shortName(general, kGeneral);
    names.specific = shortName(rest, kSpecific);
    return names;
}

std::string decimal(double v) {
    // Plain decimals ("500000", "0.0000035") as long as they stay short; the
    // exponent form only for values that would need more than 24 characters.
    std::array<char, 400> buf{};
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
    if (r.ec == std::errc() && r.ptr - buf.data() <= 24) return std::string(buf.data(), r.ptr);
    r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return std::string(buf.data(), r.ptr);
}

double packedDmsToDegrees(double packed) {
    // The decimal digits as written in the registry: DDD.MMSSsss.
    const bool negative = std::signbit(packed);
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(packed), std::chars_format::fixed);
    const std::string text(buf.data(), r.ptr);
    const std::size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : text.substr(dot + 1);
    while (frac.size() < 4) frac += '0';
    const double deg = std::strtod(whole.c_str(), nullptr);
    const double min = (frac[0] - '0') * 10 + (frac[1] - '0');
    const std::string secText = frac.substr(2, 2) + "." + frac.substr(4);
    double sec = 0;
    std::from_chars(secText.data(), secText.data() + secText.size(), sec);
    const long double v = deg + min / 60.0L + sec / 3600.0L;
    return static_cast<double>(negative ? -v : v);
}

bool lambertParallels(double lat0, double k0, double e, double& first, double& second) {
    if (!(k0 > 0 && k0 <= 1) || lat0 == 0 || !(std::fabs(lat0) < 90)) return false;
    if (k0 == 1) {
        // A tangent cone: two parallels a hair apart give it within 2e-10 of its scale.
        first = lat0 - 0.001;
        second = lat0 + 0.001;
        return true;
    }
    const double phi0 = lat0 * kDeg;
    const double lnK0 = std::log(k0);
    const double edge = (90 - 1e-7) * kDeg;
    // The scale falls towards the origin from either side, in either hemisphere:
    // d ln k / d phi has the sign of sin phi - sin phi0.
    const double lower = bisect(-edge, phi0, lnK0, phi0, e, false);
    const double upper = bisect(phi0, edge, lnK0, phi0, e, true);
    first = lower / kDeg;
    second = upper / kDeg;
    return std::isfinite(first) && std::isfinite(second) && first < lat0 && second > lat0;
}

double polarScaleAtPole(double latC, double e) {
    const double phi = std::fabs(latC) * kDeg;
    if (phi == kPi / 2) return 1.0;
    const double s = std::sin(phi);
    const double tF = std::exp(-isometric(phi, e));
    const double mC = std::cos(phi) / std::sqrt(1 - e * e * s * s);
    return mC * std::sqrt(std::pow(1 + e, 1 + e) * std::pow(1 - e, 1 - e)) / (2 * tF);
}

Mapping mapCrs(const CrsDefinition& crs) {
    Mapping m;
    try {
        const std::string name = shortName(crs.name, 39);
        const double invF = inverseFlattening(crs);
        switch (crs.method) {
        case method::transverseMercator: m.initString = transverseMercator(crs, name, projectionUnit(crs)); break;
        case method::lambert2sp: m.initString = lambert2sp(crs, name, projectionUnit(crs), invF); break;
        case method::lambert1sp: m.initString = lambert1sp(crs, name, projectionUnit(crs), invF); break;
        case method::polarA: m.initString = polarA(crs, name, projectionUnit(crs)); break;
        case method::polarB: m.initString = polarB(crs, name, projectionUnit(crs), invF); break;
        case method::obliqueStereographic: m.initString = rd(crs, name); break;
        default:
            throw Refusal{codeText(crs.code) + " uses " +
                          (crs.methodName.empty() ? "method " + codeText(crs.method) : crs.methodName) +
                          ", which this library does not offer"};
        }
        m.datumText = datumText(crs, invF);
        m.ok = true;
    } catch (const Refusal& r) {
        m = Mapping{};
        m.reason = r.reason;
    }
    return m;
}

} // namespace gw::epsg
