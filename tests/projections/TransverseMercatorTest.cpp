// Transverse Mercator: worked examples, settings, initialisation string,
// description lines and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/TransverseMercator.h"
#include "ProjectionTestUtil.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TransverseMercator wgs84Tm() {
    TransverseMercator tm;
    Datum d = gwtest::wgs84();
    tm.geoparm(&d);
    return tm;
}

TEST(TransverseMercator, ForwardExamples) {
    struct Case {
        double lat, lon, north, east, tolNorth, tolEast;
    } cases[] = {
        {34.0, -117.0, 3762155.97, 500000.0, 0.005, 0.0},   // on the central meridian
        {-34.0, -117.0, -3762155.97, 500000.0, 0.005, 0.0}, // southern hemisphere, no false northing
        {0.0, -117.0, 0.0, 500000.0, 0.0, 0.0},
        {0.0, 170.0, 0.0, -1e7, 0.0, 0.0},                 // 73 degrees west through the date line: clamped
        {5.0, 170.0, 0.0, -1e7, 1e9, 0.0},                 // still clamped near the equator
        {34.0, 170.0, 0.0, -6717872.0, 1e9, 1.0},          // the series, not clamped, at 34 N
        {0.0, 63.0, 0.0, 500000.0, 1e9, 1e9},              // exactly 180 degrees away: no crash
    };
    TransverseMercator tm = wgs84Tm();
    for (const Case& c : cases) {
        double n = 0, e = 0;
        tm.geoToGrid(c.lat, c.lon, n, e);
        EXPECT_NEAR(n, c.north, c.tolNorth) << c.lat << " " << c.lon;
        EXPECT_NEAR(e, c.east, c.tolEast) << c.lat << " " << c.lon;
        EXPECT_LE(std::fabs(n), 1e7);
        EXPECT_LE(std::fabs(e), 1e7);
    }
    // Huge false values are clamped as well.
    tm.falseNorth = 2e7;
    tm.falseEast = -3e7;
    double n = 0, e = 0;
    tm.geoToGrid(10.0, -117.0, n, e);
    EXPECT_EQ(n, 1e7);
    EXPECT_EQ(e, -1e7);
}

// The series written out as plain arithmetic in the order of its formulas; the
// projection must give the same bits. The footpoint iteration reports its steps.
struct SeriesReference {
    double R, x, e2, a, k0, lon0, fn, fe, c[6], M0;
    int footpointSteps = 0;

    explicit SeriesReference(const TransverseMercator& tm) {
        const Datum& d = tm.datum;
        a = d.aAxis;
        R = a * a / ((1 - 1 / d.inverseFlattening) * a);
        x = d.secondEccSq;
        e2 = d.eccSq;
        k0 = tm.scaleFactor;
        lon0 = tm.originLon;
        fn = tm.falseNorth;
        fe = tm.falseEast;
        c[0] = 1 - 0.75 * x * (1 - 0.9375 * x * (1 - 0.9722222222222222 * x * (1 - 0.984375 * 0.010000000000000009 * x)));
        c[1] = 0.75 * x * (1 - 1.5625 * x * (1 - 1.2833333333333334 * x * (1 - 1.1889204545454546 * x * (1 - 1.1413978494623656 * x))));
        c[2] = 0.625 * x * (1 - 0.9652777777777778 * x * (1 - 0.9775179856115108 * x * (1 - 0.9840290555044465 * x)));
        c[3] = 0.4861111111111111 * (x * x) * (1 - 1.953125 * x * (1 - 1.4737933333333333 * x));
        c[4] = 0.41015625 * (x * x * x) * (1 - 2.9475 * x);
        c[5] = 0.3609375 * (x * x * x * x);
        M0 = M(tm.originLat * kPi / 180.0);
    }
    static constexpr double kPi = 3.141592653589793;

    double M(double p) const {
        const double s = std::sin(p), co = std::cos(p), s2 = s * s;
        return c[0] * R * p - c[1] * R * s * co *
                                  (1 + c[2] * s2 + c[3] * (s2 * s * s) + c[4] * (s2 * s * s * s * s) +
                                   c[5] * (s2 * s * s * s * s * s * s));
    }
    static double wrap(double d) {
        if (std::fabs(d) > 180.0) d += d > 0 ? -360.0 : 360.0;
        return d;
    }
    void forward(double lat, double lon, double& north, double& east) const {
        const double D = wrap((lon < 0 ? lon + 360 : lon) - (lon0 < 0 ? lon0 + 360 : lon0)) * kPi / 180.0;
        const double p = lat * kPi / 180.0, s = std::sin(p), co = std::cos(p);
        const double c2 = co * co, c4 = c2 * co * co, c6 = c4 * co * co;
        const double nu = R / std::sqrt(1 + x * c2);
        const double T1 = nu * co, T2 = nu * s * co / 2;
        const double T3 = (T1 / 6) * (2 * c2 - 1 + x * c4);
        const double T4 = (T2 / 12) * (6 * c2 - 1 + 9 * x * c4 + 4 * (x * x) * c6);
        const double T5 = (T1 / 120) * (24 * c4 - 58 * x * c4 + 1 - 20 * c2 + 72 * x * c6);
        const double T6 = (T2 / 360) * (1 - 60 * c2 + 120 * c4);
        const double D2 = D * D, D3 = D2 * D, D4 = D3 * D, D5 = D4 * D, D6 = D5 * D;
        north = std::clamp(k0 * ((M(p) - M0) + T2 * D2 + T4 * D4 + T6 * D6) + fn, -1e7, 1e7);
        east = std::clamp(k0 * (T1 * D + T3 * D3 + T5 * D5) + fe, -1e7, 1e7);
    }
    void inverse(double north, double east, double& lat, double& lon) {
        const double Mt = (north - fn) / k0 + M0, E = (east - fe) / k0;
        double p = Mt / (R * c[0]), s = 0, co = 1;
        for (footpointSteps = 1; footpointSteps <= 5; ++footpointSteps) {
            s = std::sin(p); // kept from the beginning of the last step
            co = std::cos(p);
            const double delta = Mt - M(p);
            p = p + delta / (R * c[0]);
            if (std::fabs(delta) < 0.0001) break;
        }
        const double c2 = co * co, c4 = c2 * co * co, c6 = c4 * co * co;
        const double V2 = 1 + x * c2, nu = R / std::sqrt(V2), Q = 1 / (nu * co);
        const double Q2 = Q * Q, Q3 = Q2 * Q, Q4 = Q3 * Q, Q5 = Q4 * Q;
        const double B2 = -0.5 * Q2 * s * co * V2;
        const double B3 = -(Q3 / 6) * (x * c4 + 2 - c2);
        const double B4 = -(Q2 * B2 / 12) * (10 * x * c4 + (2 - 9 * x) * c2 + 3 - 4 * (x * x) * c6);
        const double B5 = (Q5 / 120) * (c4 * (8 * x + 1) + 24 - 20 * c2 - 2 * x * c6);
        const double B6 = (Q4 * B2 / 360) * (45 + 16 * c4);
        const double E2 = E * E, E3 = E2 * E, E4 = E3 * E, E5 = E4 * E, E6 = E5 * E;
        lat = std::fmod((p + B2 * E2 + B4 * E4 + B6 * E6) * 180 / kPi, 360.0);
        lon = std::fmod((Q * E + B3 * E3 + B5 * E5) * 180 / kPi + lon0, 360.0);
        if (std::fabs(lon) > 180.0) lon += lon > 0 ? -360.0 : 360.0;
    }
    double lineScale(double n1, double e1, double n2, double e2_) const {
        const double E1 = e1 - fe, E2 = e2_ - fe;
        const double pm = ((n1 - fn) + (n2 - fn)) / 2 / a, sm = std::sin(pm);
        const double nu = a / std::sqrt(1 - e2 * (sm * sm));
        const double X = (E1 * E1 + E1 * E2 + E2 * E2) / (6 * (nu * nu));
        return k0 * (1 + X * (1 + X / 6));
    }
    double converge(double north, double east) {
        double lat, lon;
        inverse(north, east, lat, lon);
        const double D = wrap((lon < 0 ? lon + 360 : lon) - (lon0 < 0 ? lon0 + 360 : lon0)) * kPi / 180.0;
        const double p = lat * kPi / 180.0, s = std::sin(p), co = std::cos(p), t = std::tan(p);
        const double c2 = co * co, c4 = c2 * co * co, eta2 = x * c2, D2 = D * D, D4 = D2 * D * D;
        return D * s * (1 + (c2 * D2 / 3) * (1 + 3 * eta2 + 2 * eta2 * eta2) + (c4 * D4 / 15) * (2 - t * t)) * 180 / kPi;
    }
};

// Every operation gives the bits of the written series, including the footpoint
// rules: at most five steps, and the inverse terms from the sine and cosine of
// the last step's starting latitude (most points need all five steps).
TEST(TransverseMercator, SeriesFollowsItsFormulas) {
    TransverseMercator tm;
    Datum d = gwtest::ellipsoid(6378388.0, 297.0);
    tm.originLon = 3.0;
    tm.originLat = 10.5;
    tm.falseNorth = -1000.0;
    tm.falseEast = 500000.0;
    tm.scaleFactor = 0.9996;
    tm.geoparm(&d);
    SeriesReference ref(tm);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(tm.arcCoef[i], ref.c[i]) << i;
    EXPECT_EQ(tm.arcOrigin, ref.M0);

    const double geo[][2] = {{52.0, 4.0}, {-33.5, 1.25}, {0.0, 3.0}, {84.0, 6.0}, {-80.0, -0.5}, {45.0, 40.0}, {5.0, -150.0}};
    for (const auto& g : geo) {
        double n, e, rn, re;
        tm.geoToGrid(g[0], g[1], n, e);
        ref.forward(g[0], g[1], rn, re);
        EXPECT_EQ(n, rn) << g[0] << " " << g[1];
        EXPECT_EQ(e, re) << g[0] << " " << g[1];
    }
    int steps[6] = {0, 0, 0, 0, 0, 0};
    const double grid[][2] = {{5761510.3, 568649.7}, {-3700000.0, 300000.0}, {9300000.0, 520000.0},
                              {9840901.5714691281, 1478123.977337657}, {9974786.6710042544, 1498744.4843819789},
                              {-1000.0, 500000.0}, {1e7, -1e7}};
    for (const auto& g : grid) {
        double la, lo, rla, rlo;
        tm.gridToGeo(g[0], g[1], la, lo);
        ref.inverse(g[0], g[1], rla, rlo);
        ++steps[std::min(ref.footpointSteps, 5)];
        EXPECT_EQ(la, rla) << g[0] << " " << g[1];
        EXPECT_EQ(lo, rlo) << g[0] << " " << g[1];
        EXPECT_EQ(tm.converge(g[0], g[1]), ref.converge(g[0], g[1])) << g[0] << " " << g[1];
        EXPECT_EQ(tm.lineScale(g[0], g[1], g[0] + 2500.0, g[1] - 7000.0),
                  ref.lineScale(g[0], g[1], g[0] + 2500.0, g[1] - 7000.0));
    }
    EXPECT_GE(steps[5], 3); // the cap and the rule about s and c both count
}

TEST(TransverseMercator, ConvergenceSignsAndSize) {
    struct Case {
        double lat, lon, expected, tol;
    } cases[] = {
        {34.0, -116.0, 0.559, 0.001},  {34.0, -118.0, -0.559, 0.001},
        {-34.0, -116.0, -0.559, 0.001}, {34.0, -117.0, 0.0, 1e-12},
    };
    TransverseMercator tm = wgs84Tm();
    for (const Case& c : cases) {
        double n, e;
        tm.geoToGrid(c.lat, c.lon, n, e);
        EXPECT_NEAR(tm.converge(n, e), c.expected, c.tol) << c.lat << " " << c.lon;
    }
}

TEST(TransverseMercator, RoundTripReturnsThePoint) {
    TransverseMercator tm = wgs84Tm();
    tm.falseNorth = 1000.0;
    tm.originLat = 10.0; // a latitude of origin needs geoparm again
    Datum d = gwtest::wgs84();
    tm.geoparm(&d);
    double worstNear = 0, worstFar = 0;
    for (double lat = -80.0; lat <= 84.0; lat += 4.0) {
        for (double dl = -3.0; dl <= 3.0; dl += 0.25) {
            double n, e, la, lo;
            tm.geoToGrid(lat, -117.0 + dl, n, e);
            tm.gridToGeo(n, e, la, lo);
            double err = std::max(std::fabs(la - lat), std::fabs(lo - (-117.0 + dl)));
            (std::fabs(dl) <= 1.0 ? worstNear : worstFar) = std::max(std::fabs(dl) <= 1.0 ? worstNear : worstFar, err);
        }
    }
    EXPECT_LT(worstNear, 1e-10);
    EXPECT_LT(worstFar, 1e-8);
    // Longitudes come back in -180..180 across the date line.
    tm.originLon = 179.0;
    tm.geoparm(&d);
    double n, e, la, lo;
    tm.geoToGrid(20.0, -179.5, n, e);
    tm.gridToGeo(n, e, la, lo);
    EXPECT_NEAR(la, 20.0, 1e-9);
    EXPECT_NEAR(lo, -179.5, 1e-9);
}

TEST(TransverseMercator, LineScale) {
    TransverseMercator tm = wgs84Tm();
    EXPECT_EQ(tm.lineScale(1000.0, 500000.0, 5000000.0, 500000.0), 0.9996);
    // 100 km east of the meridian at mid latitudes: k0 (1 + E^2 / (2 nu^2)) ~ 1.000123
    double k = tm.lineScale(4000000.0, 600000.0, 4001000.0, 600000.0);
    EXPECT_NEAR(k, 0.9996 * (1 + 1e10 / (2 * 6.386e6 * 6.386e6)), 2e-6);
}

TEST(TransverseMercator, SettingsRoundTripAndDefaults) {
    gwtest::TempDir dir;
    std::string file = dir.file("geo.ini");
    char section[] = "Geodesy";
    TransverseMercator a;
    std::strcpy(a.projName, "Zone 31, North");
    a.originLon = 3.1234;
    a.originLat = -12.5;
    a.falseNorth = 10000000.12345;
    a.falseEast = 123456.7891;
    a.scaleFactor = 0.99961234;
    a.units = 2;
    std::strcpy(a.general, "My group");
    std::strcpy(a.specific, "My zone");
    a.saveData(section, file.data());

    struct Key {
        const char* key;
        const char* text;
    } keys[] = {
        {"projName", "Zone 31, North"}, {"originLon", "E003 07.4040"}, {"originLat", "S12 30.0000"},
        {"falseNorth", "10000000.123"}, {"falseEast", "123456.789"},   {"scaleFactor", "0.999612"},
        {"units", "2"},                 {"general", "My group"},        {"specific", "My zone"},
    };
    for (const Key& k : keys)
        EXPECT_EQ(gw::iniGetString(section, k.key, "?", file.c_str()), k.text) << k.key;

    TransverseMercator b;
    b.loadData(section, file.data());
    EXPECT_STREQ(b.projName, "Zone 31, North");
    EXPECT_NEAR(b.originLon, 3.1234, 1e-7);
    EXPECT_NEAR(b.originLat, -12.5, 1e-12);
    EXPECT_EQ(b.falseNorth, 10000000.123);
    EXPECT_EQ(b.falseEast, 123456.789);
    EXPECT_EQ(b.scaleFactor, 0.999612);
    EXPECT_EQ(b.units, 2);
    EXPECT_STREQ(b.general, "My group");
    EXPECT_STREQ(b.specific, "My zone");

    // A section that does not exist gives every default.
    char missing[] = "Nothing here";
    b.loadData(missing, file.data());
    TransverseMercator def;
    char x[GW_INIT_STR_MAX], y[GW_INIT_STR_MAX];
    b.getInitStr(x);
    def.getInitStr(y);
    EXPECT_STREQ(x, y);
    EXPECT_STREQ(b.general, "USER");
    EXPECT_STREQ(b.specific, "Transverse Mercator");

    // A scale factor below 0.5 is raised to 0.5.
    char small[] = "Small";
    gw::iniWriteString(small, "scaleFactor", "0.25", file.c_str());
    b.loadData(small, file.data());
    EXPECT_EQ(b.scaleFactor, 0.5);
}

TEST(TransverseMercator, InitStringRoundTrip) {
    TransverseMercator def;
    EXPECT_EQ(gw::initString(def), "0,UTM Zone 11,W117 00.0000,0.00,500000.00,0.999600,N00 00.0000,0");

    TransverseMercator a;
    std::strcpy(a.projName, "Zone 31, North");
    a.originLon = 3.0 + 7.404 / 60;
    a.originLat = -(12 + 30.0 / 60);
    a.falseNorth = -1234.5;
    a.falseEast = 123456.78;
    a.scaleFactor = 0.999612;
    a.units = 1;
    std::string text = gw::initString(a);
    EXPECT_EQ(text, "0,Zone 31  North,E003 07.4040,-1234.50,123456.78,0.999612,S12 30.0000,1");

    TransverseMercator b(text.data());
    EXPECT_STREQ(b.projName, "Zone 31  North");
    EXPECT_NEAR(b.originLon, a.originLon, 1e-12);
    EXPECT_NEAR(b.originLat, a.originLat, 1e-12);
    EXPECT_EQ(b.falseNorth, -1234.5);
    EXPECT_EQ(b.falseEast, 123456.78);
    EXPECT_EQ(b.scaleFactor, 0.999612);
    EXPECT_EQ(b.units, 1);
    EXPECT_STREQ(b.general, "USER");
    EXPECT_STREQ(b.specific, "Transverse Mercator");
    EXPECT_EQ(gw::initString(b), text);

    // The false values are grid text: a unit suffix is honoured.
    std::string feet = "0,n,E003 00.0000,1000ft,-2000m,1,N00 00.0000,0";
    TransverseMercator f(feet.data());
    EXPECT_DOUBLE_EQ(f.falseNorth, 1000 * 0.30480060960121924);
    EXPECT_EQ(f.falseEast, -2000.0);

    // Names longer than 39 characters are cut.
    std::string longName = "0," + std::string(70, 'n') + ",E003 00.0000,0,0,1,N00 00.0000,0";
    TransverseMercator c(longName.data());
    EXPECT_EQ(std::string(c.projName), std::string(39, 'n'));

    // The scale factor field is brought into the settings' range, at least 0.5, so
    // that the string written again carries the same projection.
    const struct {
        const char* field;
        double scale;
    } scales[] = {{"0.3", 0.5},   {"-1", 0.5},  {"1.5", 1.5},       {"0", 0.5},
                  {"", 0.5},      {"nan", 0.5}, {"0.0000001", 0.5}, {"0.5", 0.5}};
    for (const auto& row : scales) {
        std::string init = std::string("0,n,E003 00.0000,0,0,") + row.field + ",N00 00.0000,0";
        TransverseMercator tm(init.data());
        EXPECT_EQ(tm.scaleFactor, row.scale) << row.field;
    }
}

TEST(TransverseMercator, DescriptionLines) {
    struct Case {
        int units;
        double falseNorth, falseEast;
        const char* line4;
        const char* line6;
    } cases[] = {
        {0, 0.0, 500000.0, "False N:0.000m E:500000.000m:", "Units: Meters"},
        {1, 0.0, 500000.0, "False N:0.000ft E:1640419.948ft:", "Units: Feet"},
        {2, -100.0, 500000.0, "False N:-328.083ft E:1640416.667ft:", "Units: US Survey Feet"},
        {7, 0.0, 500000.0, "False N:0.000m E:500000.000m:", "Units: 7"},
        {-1, 1e308, -1e308, nullptr, "Units: -1"},
    };
    for (const Case& c : cases) {
        TransverseMercator tm;
        tm.units = c.units;
        tm.falseNorth = c.falseNorth;
        tm.falseEast = c.falseEast;
        char lines[7][50];
        std::memset(lines, '#', sizeof lines);
        tm.getLines(lines);
        EXPECT_STREQ(lines[0], "UTM Zone 11");
        EXPECT_STREQ(lines[1], "CM W117 00.0000");
        EXPECT_STREQ(lines[2], "Lat Origin: N00 00.0000");
        if (c.line4 != nullptr) {
            EXPECT_STREQ(lines[3], c.line4);
        } else {
            EXPECT_EQ(std::strlen(lines[3]), 49u);
        }
        EXPECT_STREQ(lines[4], "S F at CM: 0.999600");
        EXPECT_STREQ(lines[5], c.line6);
        for (int i = 0; i < 50; ++i) ASSERT_EQ(lines[6][i], '#'); // a seventh line is left alone
    }
}

// Any text builds a projection, which then converts and describes itself.
TEST(TransverseMercator, InitStringsOfAnyContent) {
    std::string cases[] = {
        "",
        "0",
        "0,",
        "no commas at all",
        std::string(10000, 'x'),
        std::string(10000, ','),
        "0," + std::string(10000, 'y') + ",E1,2,3,4,N5,6",
        "0,name,garbage,%s%n%s,\x01\x02\xff,nan,N1e308,99999999999999999999",
        "0,n,W999999999999 99999999999,-999999999999.99,999999999999.99,1e308,S999999999999,-2147483648",
        "0,n,E003,12+34.56m,S-1-2,inf,N00,1",
        "99999999999999999999999,a,b,c",
        "-0,a,E003 00.0000,1,2,0.1,N00 00.0000,0",
    };
    Datum d = gwtest::wgs84();
    for (std::string& text : cases) {
        Projection p(text.data());
        EXPECT_EQ(p.type, 0);
        auto* tm = dynamic_cast<TransverseMercator*>(p.inner);
        ASSERT_NE(tm, nullptr);
        EXPECT_LE(std::strlen(tm->projName), 39u);
        EXPECT_NE(tm->scaleFactor, 0.0);
        EXPECT_FALSE(std::isnan(tm->scaleFactor));
        p.geoparm(&d);
        double n, e, la, lo;
        p.geoToGrid(45.0, 10.0, n, e);
        p.gridToGeo(n, e, la, lo);
        (void)p.converge(n, e);
        (void)p.lineScale(n, e, 0.0, 0.0);
        char lines[6][50];
        p.getLines(lines);
        for (auto& line : lines) EXPECT_LT(std::strlen(line), 50u);
        char init[GW_INIT_STR_MAX];
        p.getInitStr(init);
        Projection again(init);
        EXPECT_EQ(again.type, 0);
    }
}

// Absurd settings load, convert and save without crashing or hanging.
TEST(TransverseMercator, AbsurdSettings) {
    gwtest::TempDir dir;
    std::string file = dir.file("absurd.ini");
    {
        std::ofstream out(file);
        out << "[absurd]\n"
            << "projName=" << std::string(10000, 'x') << "\n"
            << "originLon=NaN\n"
            << "originLat=1e308\n"
            << "falseNorth=1e308\n"
            << "falseEast=nan\n"
            << "scaleFactor=inf\n"
            << "units=99999999999999999999\n"
            << "general=" << std::string(10000, 'g') << "\n"
            << "specific=\n";
    }
    char section[] = "absurd";
    Datum d = gwtest::wgs84();
    TransverseMercator tm;
    tm.loadData(section, file.data());
    EXPECT_EQ(std::strlen(tm.projName), 39u);
    EXPECT_EQ(std::strlen(tm.general), 29u);
    EXPECT_STREQ(tm.specific, "");
    EXPECT_EQ(tm.falseNorth, 1e308);
    EXPECT_TRUE(std::isnan(tm.falseEast));
    EXPECT_EQ(tm.scaleFactor, kInf);
    for (int round = 0; round < 2; ++round) {
        tm.geoparm(&d);
        double n, e, la, lo;
        tm.geoToGrid(45.0, 10.0, n, e);
        tm.gridToGeo(n, e, la, lo);
        tm.gridToGeo(1e308, -1e308, la, lo);
        (void)tm.converge(1e308, kNaN);
        (void)tm.lineScale(1e308, 1e308, -1e308, kNaN);
        char lines[6][50];
        tm.getLines(lines);
        for (auto& line : lines) EXPECT_LT(std::strlen(line), 50u);
        std::string init = gw::initString(tm);
        EXPECT_LT(init.size(), static_cast<size_t>(GW_INIT_STR_MAX));
        tm.saveData(section, file.data());
        tm.loadData(section, file.data());
    }
}

// Conversions of values outside every sensible domain stay defined.
TEST(TransverseMercator, HostileNumbers) {
    const double values[] = {kNaN, kInf, -kInf, DBL_MAX, -DBL_MAX, 1e12, -1e12, 0.0};
    TransverseMercator tm = wgs84Tm();
    for (double v : values) {
        for (double w : values) {
            double n, e, la, lo;
            tm.geoToGrid(v, w, n, e);
            EXPECT_FALSE(std::fabs(n) > 1e7);
            EXPECT_FALSE(std::fabs(e) > 1e7);
            tm.gridToGeo(v, w, la, lo);
            EXPECT_FALSE(std::fabs(la) >= 360.0);
            EXPECT_FALSE(std::fabs(lo) > 180.0);
            (void)tm.converge(v, w);
            (void)tm.lineScale(v, w, w, v);
        }
    }
    // A datum of absurd size, and parameters of absurd size.
    Datum d = gwtest::wgs84();
    d.aAxis = DBL_MAX;
    d.inverseFlattening = 0.0;
    d.update();
    tm.geoparm(&d);
    tm.originLat = kNaN;
    tm.originLon = -DBL_MAX;
    tm.scaleFactor = -DBL_MAX;
    double n, e, la, lo;
    tm.geoToGrid(45.0, 10.0, n, e);
    tm.gridToGeo(n, e, la, lo);
    (void)tm.converge(n, e);
    // Texts of such parameters stay within their bounds.
    tm.originLon = kNaN;
    tm.originLat = kInf;
    tm.falseNorth = kNaN;
    tm.falseEast = -kInf;
    char lines[6][50];
    tm.getLines(lines);
    for (auto& line : lines) EXPECT_LT(std::strlen(line), 50u);
    std::string init = gw::initString(tm);
    TransverseMercator back(init.data());
    EXPECT_EQ(back.scaleFactor, 0.5); // a negative scale factor reads as the floor
}

// The longest initialisation strings: a long but sensible one, and the worst case.
TEST(TransverseMercator, InitStringLength) {
    TransverseMercator normal;
    std::memset(normal.projName, 'n', 39);
    normal.projName[39] = '\0';
    normal.originLon = -179.99999;
    normal.originLat = -89.99999;
    normal.falseNorth = -9999999.99;
    normal.falseEast = -9999999.99;
    normal.scaleFactor = 0.9996;
    normal.units = 2;
    size_t normalLength = gw::initString(normal).size();

    TransverseMercator worst = normal;
    worst.originLon = -DBL_MAX;
    worst.originLat = -DBL_MAX;
    worst.falseNorth = -DBL_MAX;
    worst.falseEast = -DBL_MAX;
    worst.scaleFactor = -DBL_MAX;
    worst.units = INT_MIN;
    size_t worstLength = gw::initString(worst).size();
    std::printf("Transverse Mercator initialisation string: %zu characters long and sensible, %zu at worst\n",
                normalLength, worstLength);
    EXPECT_LT(normalLength, 240u);
    EXPECT_LT(worstLength, static_cast<size_t>(GW_INIT_STR_MAX));
}

} // namespace
