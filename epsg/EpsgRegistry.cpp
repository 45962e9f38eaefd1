// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Reads projected CRSs, their datums, ellipsoids, units and Helmert shifts to
// WGS 84 from the registry database. The connection is opened once per process
// (read-only, without SQLite's own locking); the prepared statements are kept
// for the life of the process and used one call at a time under one lock.
#include "epsg/EpsgRegistry.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gridwise/batch.h"

namespace gw::epsg {
namespace {

constexpr const char* kDefaultDatabase = "/usr/share/proj/proj.db";
constexpr double kPi = 3.14159265358979323846;
constexpr int kWgs84Datum = 6326;

struct Registry {
    std::mutex lock;
    sqlite3* db = nullptr;
    std::string path;
    std::string failure; // why the database cannot be used; empty when it can
    std::unordered_map<const char*, sqlite3_stmt*> statements;
    std::map<std::pair<int, int>, CrsDefinition> definitions; // by code and transformation

    [[noreturn]] void fail(const std::string& what) const {
        throw Failure{GW_ERROR_FILE_UNREADABLE, "the EPSG registry '" + path + "' cannot be read: " + what};
    }
};

Registry& registry() {
    static Registry r;
    static std::once_flag opened;
    std::call_once(opened, [] {
        const char* env = std::getenv("GRIDWISE_EPSG_DB");
        r.path = (env != nullptr && *env != '\0') ? env : kDefaultDatabase;
        sqlite3* db = nullptr;
        const int rc = sqlite3_open_v2(r.path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            r.failure = "the EPSG registry '" + r.path + "' cannot be opened: " +
                        (db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc)) +
                        " (install Debian's proj-data, or name a copy in GRIDWISE_EPSG_DB)";
            sqlite3_close(db);
            return;
        }
        // A file that is no registry opens; its first read tells.
        sqlite3_stmt* probe = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT 1 FROM projected_crs LIMIT 1", -1, &probe, nullptr) != SQLITE_OK) {
            r.failure = "'" + r.path + "' is not an EPSG registry database: " + sqlite3_errmsg(db);
            sqlite3_close(db);
            return;
        }
        sqlite3_finalize(probe);
        r.db = db;
    });
    if (!r.failure.empty()) throw Failure{GW_ERROR_FILE_UNREADABLE, r.failure};
    return r;
}

// One use of a kept statement: bound, stepped, and reset when it goes.
class Query {
public:
    Query(Registry& r, const char* sql) : r_(r) {
        auto it = r.statements.find(sql);
        if (it == r.statements.end()) {
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare_v2(r.db, sql, -1, &s, nullptr) != SQLITE_OK) r.fail(sqlite3_errmsg(r.db));
            it = r.statements.emplace(sql, s).first;
        }
        s_ = it->second;
    }
    ~Query() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& bind(int i, long long v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    Query& bind(int i, const std::string& v) {
        sqlite3_bind_text(s_, i, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        r_.fail(sqlite3_errmsg(r_.db));
    }
    bool null(int c) const { return sqlite3_column_type(s_, c) == SQLITE_NULL; }
    double real(int c) const { return sqlite3_column_double(s_, c); }
    long long integer(int c) const { return sqlite3_column_int64(s_, c); }
    std::string text(int c) const {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s_, c));
        return t != nullptr ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(s_, c))) : std::string();
    }

private:
    Registry& r_;
    sqlite3_stmt* s_ = nullptr;
};

std::string codeText(long long code) { return "EPSG:" + std::to_string(code); }

[[noreturn]] void refuse(int code, const std::string& reason) { throw Failure{code, reason}; }

struct Unit {
    std::string name;
    std::string type;
    double factor = 1.0; // to metres, radians or unity
};

// Units are keyed by authority and code (a code may be text in other authorities).
Unit unit(Registry& r, const std::string& auth, const std::string& code) {
    Query q(r, "SELECT name, type, conv_factor FROM unit_of_measure WHERE auth_name = ? AND code = ?");
    q.bind(1, auth).bind(2, code);
    if (!q.step()) refuse(GW_ERROR_UNSUPPORTED, "unit " + auth + ":" + code + " is not in the registry");
    return Unit{q.text(0), q.text(1), q.null(2) ? 0.0 : q.real(2)};
}

bool isEpsg(const std::string& auth, const std::string& code, int epsg) {
    return auth == "EPSG" && code == std::to_string(epsg);
}

// A value of the registry in degrees, metres or a plain factor, by its unit's
// type. The units the registry uses most are converted by their exact factors.
double canonical(Registry& r, double v, const std::string& auth, const std::string& code) {
    if (auth == "EPSG") {
        const long c = std::strtol(code.c_str(), nullptr, 10);
        // In long double, so that the result is the double nearest the exact value
        // for the registry's decimals (52 grads is 46.8 degrees, -3.52 ppm is -3.52e-06).
        const long double x = v;
        switch (c) {
        case 9001: case 9102: case 9122: case 9201: case 9203: return v; // metre, degree, unity
        case 9002: return static_cast<double>(x * 3048 / 10000);
        case 9003: return static_cast<double>(x * 1200 / 3937);
        case 9101: return static_cast<double>(x * 180 / 3.141592653589793238462643383279502884L);
        case 9104: return static_cast<double>(x / 3600);
        case 9105: return static_cast<double>(x * 9 / 10);
        case 9110: return packedDmsToDegrees(v);
        case 9202: return static_cast<double>(x / 1000000);
        default: break;
        }
    }
    const Unit u = unit(r, auth, code);
    if (u.factor == 0) refuse(GW_ERROR_UNSUPPORTED, "unit " + u.name + " has no conversion factor");
    return u.type == "angle" ? v * u.factor * 180.0 / kPi : v * u.factor;
}

void readShiftValues(Registry& r, Query& q, int first, Shift& s) {
    // columns from `first`: tx ty tz tuom_auth tuom rx ry rz ruom_auth ruom ds dsuom_auth dsuom
    s.tx = canonical(r, q.real(first), q.text(first + 3), q.text(first + 4));
    s.ty = canonical(r, q.real(first + 1), q.text(first + 3), q.text(first + 4));
    s.tz = canonical(r, q.real(first + 2), q.text(first + 3), q.text(first + 4));
    if (!q.null(first + 5)) {
        // arc-seconds as the registry writes them, other angle units by way of degrees
        const bool seconds = isEpsg(q.text(first + 8), q.text(first + 9), 9104);
        auto arcSeconds = [&](int c) {
            return seconds ? q.real(c) : canonical(r, q.real(c), q.text(first + 8), q.text(first + 9)) * 3600;
        };
        s.rx = arcSeconds(first + 5);
        s.ry = arcSeconds(first + 6);
        s.rz = arcSeconds(first + 7);
    }
    if (!q.null(first + 10)) s.scale = canonical(r, q.real(first + 10), q.text(first + 11), q.text(first + 12));
}

constexpr const char* kShiftColumns =
    "h.code, h.name, h.method_code, h.accuracy, h.tx, h.ty, h.tz, h.translation_uom_auth_name, "
    "h.translation_uom_code, h.rx, h.ry, h.rz, h.rotation_uom_auth_name, h.rotation_uom_code, "
    "h.scale_difference, h.scale_difference_uom_auth_name, h.scale_difference_uom_code";

Shift shiftFrom(Registry& r, Query& q) {
    Shift s;
    s.code = static_cast<int>(q.integer(0));
    s.name = q.text(1);
    s.method = static_cast<int>(q.integer(2));
    s.accuracy = q.null(3) ? -1.0 : q.real(3);
    readShiftValues(r, q, 4, s);
    return s;
}

// Every candidate shift of a datum, once per extent of its areas of use.
const std::string& candidateShiftSql() {
    static const std::string sql = std::string("SELECT ") + kShiftColumns +
        ", e.south_lat, e.north_lat, e.west_lon, e.east_lon"
        " FROM helmert_transformation_table h"
        " JOIN geodetic_crs s ON s.auth_name = h.source_crs_auth_name AND s.code = h.source_crs_code"
        " JOIN geodetic_crs t ON t.auth_name = h.target_crs_auth_name AND t.code = h.target_crs_code"
        " LEFT JOIN usage u ON u.object_table_name = 'helmert_transformation' AND u.object_auth_name = h.auth_name"
        " AND u.object_code = h.code"
        " LEFT JOIN extent e ON e.auth_name = u.extent_auth_name AND e.code = u.extent_code"
        " WHERE h.auth_name = 'EPSG' AND h.deprecated = 0 AND h.method_auth_name = 'EPSG'"
        " AND h.method_code IN (9603, 9606, 9607) AND s.datum_auth_name = 'EPSG' AND s.datum_code = ?"
        " AND t.datum_auth_name = 'EPSG' AND t.datum_code = 6326 ORDER BY h.code";
    return sql;
}

// A box of latitudes and longitudes (degrees); west > east crosses 180.
struct Box {
    double south = 0, north = 0, west = 0, east = 0;
    double width() const { return east >= west ? east - west : east - west + 360; }
    double area() const { return (north - south) * width(); }
};

bool overlap(const Box& a, const Box& b) {
    if (a.north < b.south || b.north < a.south) return false;
    // Longitudes as intervals from each box's west edge, in 0..360.
    auto from = [](double lon, double west) {
        double d = std::fmod(lon - west, 360.0);
        return d < 0 ? d + 360 : d;
    };
    return from(b.west, a.west) <= a.width() || from(a.west, b.west) <= b.width();
}

std::vector<Box> crsExtents(Registry& r, int code) {
    Query q(r, "SELECT e.south_lat, e.north_lat, e.west_lon, e.east_lon FROM usage u"
               " JOIN extent e ON e.auth_name = u.extent_auth_name AND e.code = u.extent_code"
               " WHERE u.object_table_name = 'projected_crs' AND u.object_auth_name = 'EPSG' AND u.object_code = ?"
               " AND e.south_lat IS NOT NULL");
    q.bind(1, code);
    std::vector<Box> boxes;
    while (q.step()) boxes.push_back(Box{q.real(0), q.real(1), q.real(2), q.real(3)});
    return boxes;
}

// The registry's choice of shift for the datum of crs: among the candidates whose
// area of use meets the CRS's (all of them when none does), the most accurate
// (unknown accuracy last), then the widest area, then the lowest code.
bool chooseShift(Registry& r, CrsDefinition& crs) {
    struct Candidate {
        Shift shift;
        double area = 0;
        bool meets = false;
    };
    const std::vector<Box> mine = crsExtents(r, crs.code);
    std::vector<Candidate> all;
    Query q(r, candidateShiftSql().c_str());
    q.bind(1, crs.datumCode);
    while (q.step()) {
        const int code = static_cast<int>(q.integer(0));
        if (all.empty() || all.back().shift.code != code) all.push_back(Candidate{shiftFrom(r, q), 0, false});
        if (q.null(17)) continue;
        const Box box{q.real(17), q.real(18), q.real(19), q.real(20)};
        Candidate& c = all.back();
        c.area = std::max(c.area, box.area());
        for (const Box& b : mine) c.meets = c.meets || overlap(box, b);
    }
    const bool anyMeets = std::any_of(all.begin(), all.end(), [](const Candidate& c) { return c.meets; });
    const Candidate* best = nullptr;
    auto better = [](const Candidate& a, const Candidate& b) {
        const double accA = a.shift.accuracy < 0 ? HUGE_VAL : a.shift.accuracy;
        const double accB = b.shift.accuracy < 0 ? HUGE_VAL : b.shift.accuracy;
        if (accA != accB) return accA < accB;
        if (a.area != b.area) return a.area > b.area;
        return a.shift.code < b.shift.code;
    };
    for (const Candidate& c : all) {
        if (anyMeets && !c.meets) continue;
        if (best == nullptr || better(c, *best)) best = &c;
    }
    if (best == nullptr) return false;
    crs.shift = best->shift;
    return true;
}

const std::string& givenShiftSql() {
    static const std::string sql = std::string("SELECT ") + kShiftColumns +
        ", h.deprecated, s.datum_auth_name, s.datum_code, t.datum_auth_name, t.datum_code, h.method_auth_name"
        " FROM helmert_transformation_table h"
        " LEFT JOIN geodetic_crs s ON s.auth_name = h.source_crs_auth_name AND s.code = h.source_crs_code"
        " LEFT JOIN geodetic_crs t ON t.auth_name = h.target_crs_auth_name AND t.code = h.target_crs_code"
        " WHERE h.auth_name = 'EPSG' AND h.code = ?";
    return sql;
}

void readShift(Registry& r, CrsDefinition& crs, int transformation) {
    if (transformation != 0) {
        Query q(r, givenShiftSql().c_str());
        q.bind(1, transformation);
        const std::string what = codeText(transformation);
        if (!q.step()) {
            refuse(GW_ERROR_BAD_ARGUMENT, what + " is not a Helmert transformation of the registry (methods 9603, 9606, 9607)");
        }
        const int m = static_cast<int>(q.integer(2));
        if (q.text(22) != "EPSG" || (m != method::geocentricTranslations && m != method::positionVector &&
                                     m != method::coordinateFrame)) {
            refuse(GW_ERROR_BAD_ARGUMENT, what + " uses a method other than 9603, 9606 and 9607");
        }
        if (q.integer(17) != 0) refuse(GW_ERROR_BAD_ARGUMENT, what + " (" + q.text(1) + ") is deprecated in the registry");
        if (!isEpsg(q.text(18), q.text(19), crs.datumCode) || !isEpsg(q.text(20), q.text(21), kWgs84Datum)) {
            refuse(GW_ERROR_BAD_ARGUMENT, what + " (" + q.text(1) + ") does not shift " + crs.datumName + " to WGS 84");
        }
        crs.shift = shiftFrom(r, q);
        crs.shiftKind = ShiftKind::helmert;
        return;
    }
    if (crs.datumCode == kWgs84Datum) {
        crs.shiftKind = ShiftKind::wgs84;
        return;
    }
    if (chooseShift(r, crs)) {
        crs.shiftKind = ShiftKind::helmert;
        return;
    }
    Query g(r, "SELECT 1 FROM grid_transformation g"
               " JOIN geodetic_crs s ON s.auth_name = g.source_crs_auth_name AND s.code = g.source_crs_code"
               " JOIN geodetic_crs t ON t.auth_name = g.target_crs_auth_name AND t.code = g.target_crs_code"
               " WHERE g.deprecated = 0 AND s.datum_auth_name = 'EPSG' AND s.datum_code = ?"
               " AND t.datum_auth_name = 'EPSG' AND t.datum_code = 6326 LIMIT 1");
    g.bind(1, crs.datumCode);
    crs.shiftKind = g.step() ? ShiftKind::gridOnly : ShiftKind::none;
}

// Why a code that is no projected CRS of the registry is refused.
[[noreturn]] void notProjected(Registry& r, int code) {
    const std::string what = codeText(code);
    {
        Query q(r, "SELECT type, name FROM geodetic_crs WHERE auth_name = 'EPSG' AND code = ?");
        q.bind(1, code);
        if (q.step())
            refuse(GW_ERROR_BAD_ARGUMENT, what + " is a " + q.text(0) + " CRS (" + q.text(1) + "), not a projected one");
    }
    {
        Query q(r, "SELECT name FROM vertical_crs WHERE auth_name = 'EPSG' AND code = ?");
        q.bind(1, code);
        if (q.step()) refuse(GW_ERROR_BAD_ARGUMENT, what + " is a vertical CRS (" + q.text(0) + "), not a projected one");
    }
    {
        Query q(r, "SELECT name FROM compound_crs WHERE auth_name = 'EPSG' AND code = ?");
        q.bind(1, code);
        if (q.step()) refuse(GW_ERROR_BAD_ARGUMENT, what + " is a compound CRS (" + q.text(0) + "), not a projected one");
    }
    refuse(GW_ERROR_BAD_ARGUMENT, what + " names no coordinate reference system of the registry");
}

// The definition of EPSG:code, with its shift when withShift; under the lock.
CrsDefinition readDefinition(Registry& r, int code, bool withShift, int transformation) {
    CrsDefinition crs;
    crs.code = code;
    std::string csAuth, csCode, geoAuth, geoCode, convAuth, convCode;
    {
        Query q(r, "SELECT name, coordinate_system_auth_name, coordinate_system_code, geodetic_crs_auth_name,"
                   " geodetic_crs_code, conversion_auth_name, conversion_code, deprecated"
                   " FROM projected_crs WHERE auth_name = 'EPSG' AND code = ?");
        q.bind(1, code);
        if (!q.step()) notProjected(r, code);
        crs.name = q.text(0);
        csAuth = q.text(1);
        csCode = q.text(2);
        geoAuth = q.text(3);
        geoCode = q.text(4);
        convAuth = q.text(5);
        convCode = q.text(6);
        if (q.integer(7) != 0) {
            std::string reason = codeText(code) + " (" + crs.name + ") is deprecated in the registry";
            Query d(r, "SELECT replacement_auth_name, replacement_code FROM deprecation"
                       " WHERE table_name = 'projected_crs' AND deprecated_auth_name = 'EPSG' AND deprecated_code = ?");
            d.bind(1, code);
            if (d.step()) reason += "; its replacement is " + d.text(0) + ":" + d.text(1);
            refuse(GW_ERROR_BAD_ARGUMENT, reason);
        }
    }
    {
        Query q(r, "SELECT c.method_auth_name, c.method_code, m.name,"
                   " c.param1_code, c.param1_value, c.param1_uom_auth_name, c.param1_uom_code,"
                   " c.param2_code, c.param2_value, c.param2_uom_auth_name, c.param2_uom_code,"
                   " c.param3_code, c.param3_value, c.param3_uom_auth_name, c.param3_uom_code,"
                   " c.param4_code, c.param4_value, c.param4_uom_auth_name, c.param4_uom_code,"
                   " c.param5_code, c.param5_value, c.param5_uom_auth_name, c.param5_uom_code,"
                   " c.param6_code, c.param6_value, c.param6_uom_auth_name, c.param6_uom_code,"
                   " c.param7_code, c.param7_value, c.param7_uom_auth_name, c.param7_uom_code, c.name"
                   " FROM conversion_table c LEFT JOIN conversion_method m"
                   " ON m.auth_name = c.method_auth_name AND m.code = c.method_code"
                   " WHERE c.auth_name = ? AND c.code = ?");
        q.bind(1, convAuth).bind(2, convCode);
        if (!q.step()) refuse(GW_ERROR_UNSUPPORTED, codeText(code) + " has no conversion in the registry");
        crs.method = q.text(0) == "EPSG" ? static_cast<int>(q.integer(1)) : 0;
        crs.methodName = q.null(2) ? q.text(1) : q.text(2);
        crs.conversionName = q.text(31);
        // The parameters are read only for the methods that are mapped; the
        // others are refused by name.
        const bool mapped = crs.method == method::transverseMercator || crs.method == method::lambert2sp ||
                            crs.method == method::lambert1sp || crs.method == method::polarA ||
                            crs.method == method::polarB || crs.method == method::obliqueStereographic;
        for (int i = 0; mapped && i < 7; ++i) {
            const int c = 3 + 4 * i;
            if (q.null(c) || q.null(c + 1)) continue;
            crs.parameters.push_back(
                Parameter{static_cast<int>(q.integer(c)), canonical(r, q.real(c + 1), q.text(c + 2), q.text(c + 3))});
        }
    }
    {
        Query q(r, "SELECT a.uom_auth_name, a.uom_code, u.name FROM axis a LEFT JOIN unit_of_measure u"
                   " ON u.auth_name = a.uom_auth_name AND u.code = a.uom_code"
                   " WHERE a.coordinate_system_auth_name = ? AND a.coordinate_system_code = ?"
                   " ORDER BY a.coordinate_system_order LIMIT 1");
        q.bind(1, csAuth).bind(2, csCode);
        if (q.step()) {
            crs.unitCode = q.text(0) == "EPSG" ? static_cast<int>(q.integer(1)) : 0;
            crs.unitName = q.text(2);
        }
    }
    std::string datumAuth, pmAuth, pmCode, ellAuth, ellCode;
    {
        Query q(r, "SELECT d.auth_name, d.code, d.name, d.ellipsoid_auth_name, d.ellipsoid_code,"
                   " d.prime_meridian_auth_name, d.prime_meridian_code, g.name FROM geodetic_crs g"
                   " JOIN geodetic_datum d ON d.auth_name = g.datum_auth_name AND d.code = g.datum_code"
                   " WHERE g.auth_name = ? AND g.code = ?");
        q.bind(1, geoAuth).bind(2, geoCode);
        if (!q.step()) refuse(GW_ERROR_UNSUPPORTED, codeText(code) + "'s base CRS has no datum in the registry");
        datumAuth = q.text(0);
        crs.datumCode = datumAuth == "EPSG" ? static_cast<int>(q.integer(1)) : 0;
        crs.datumName = q.text(2);
        ellAuth = q.text(3);
        ellCode = q.text(4);
        pmAuth = q.text(5);
        pmCode = q.text(6);
        crs.baseName = q.text(7);
    }
    {
        Query q(r, "SELECT name, semi_major_axis, uom_auth_name, uom_code, inv_flattening, semi_minor_axis"
                   " FROM ellipsoid WHERE auth_name = ? AND code = ?");
        q.bind(1, ellAuth).bind(2, ellCode);
        if (!q.step()) refuse(GW_ERROR_UNSUPPORTED, codeText(code) + "'s datum has no ellipsoid in the registry");
        crs.ellipsoidName = q.text(0);
        crs.semiMajor = canonical(r, q.real(1), q.text(2), q.text(3));
        crs.invFlattening = q.null(4) ? 0.0 : q.real(4);
        crs.semiMinor = q.null(5) ? 0.0 : canonical(r, q.real(5), q.text(2), q.text(3));
    }
    {
        Query q(r, "SELECT longitude, uom_auth_name, uom_code FROM prime_meridian WHERE auth_name = ? AND code = ?");
        q.bind(1, pmAuth).bind(2, pmCode);
        if (q.step()) crs.primeMeridian = canonical(r, q.real(0), q.text(1), q.text(2));
    }
    if (withShift) readShift(r, crs, transformation);
    return crs;
}

} // namespace

CrsDefinition readCrs(int code, int transformation) {
    Registry& r = registry();
    const std::lock_guard<std::mutex> hold(r.lock);
    // The registry does not change while the process runs: a definition read once
    // is kept (a few hundred bytes a system).
    const auto key = std::make_pair(code, transformation);
    const auto kept = r.definitions.find(key);
    if (kept != r.definitions.end()) return kept->second;
    CrsDefinition crs = readDefinition(r, code, true, transformation);
    r.definitions.emplace(key, crs);
    return crs;
}

std::vector<SearchRow> search(const std::string& text) {
    Registry& r = registry();
    const std::lock_guard<std::mutex> hold(r.lock);
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    const std::string needle = lower(text);
    // "2240" or "EPSG:2240" names a code (as well as matching names).
    std::string digits = needle.rfind("epsg:", 0) == 0 ? needle.substr(5) : needle;
    long long wanted = -1;
    if (!digits.empty() && digits.size() < 10 && digits.find_first_not_of("0123456789") == std::string::npos)
        wanted = std::stoll(digits);

    std::vector<SearchRow> rows;
    std::vector<int> codes;
    {
        Query q(r, "SELECT p.code, p.name, m.name, u.name FROM projected_crs p"
                   " LEFT JOIN conversion_table c ON c.auth_name = p.conversion_auth_name AND c.code = p.conversion_code"
                   " LEFT JOIN conversion_method m ON m.auth_name = c.method_auth_name AND m.code = c.method_code"
                   " LEFT JOIN axis a ON a.coordinate_system_auth_name = p.coordinate_system_auth_name"
                   " AND a.coordinate_system_code = p.coordinate_system_code AND a.coordinate_system_order = 1"
                   " LEFT JOIN unit_of_measure u ON u.auth_name = a.uom_auth_name AND u.code = a.uom_code"
                   " WHERE p.auth_name = 'EPSG' AND p.deprecated = 0 ORDER BY p.code");
        while (q.step()) {
            const long long code = q.integer(0);
            const std::string name = q.text(1);
            if (code != wanted && lower(name).find(needle) == std::string::npos) continue;
            rows.push_back(SearchRow{static_cast<int>(code), name, q.text(2), q.text(3), false});
        }
    }
    for (SearchRow& row : rows) {
        try {
            row.supported = mapCrs(readDefinition(r, row.code, false, 0)).ok;
        } catch (const Failure& f) {
            if (f.code == GW_ERROR_FILE_UNREADABLE) throw;
            row.supported = false;
        }
    }
    return rows;
}

} // namespace gw::epsg
