// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
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

// Frozen results of the series on the International ellipsoid (origin 3 E,
// 10.5 N, false values -1000 m and 500000 m, scale 0.9996): the coefficients of
// the meridian arc, forward points (with one clamped far from the meridian) and
// inverse points with their convergence and line scale. The grid rows include
// points where the footpoint iteration stops at its cap of five steps and takes
// its inverse terms from the last step's starting latitude. The values were
// written once by this build's TransverseMercator (printf "%a"); they hold every
// bit of the results, which the round trips and the peer comparisons check for
// accuracy.
TEST(TransverseMercator, SeriesGivesItsFrozenResults) {
    TransverseMercator tm;
    Datum d = gwtest::ellipsoid(6378388.0, 297.0);
    tm.originLon = 3.0;
    tm.originLat = 10.5;
    tm.falseNorth = -1000.0;
    tm.falseEast = 500000.0;
    tm.scaleFactor = 0.9996;
    tm.geoparm(&d);
    const double arc[6] = {0x1.fd6adb0eed297p-1, 0x1.492e6cfe1be7fp-8,  0x1.136cccf68dc04p-8,
                           0x1.70b3fc9ca7bb2p-16, 0x1.0ba25ae5d7e9dp-23, 0x1.a0608f02ee1bap-31};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(tm.arcCoef[i], arc[i]) << i;
    EXPECT_EQ(tm.arcOrigin, 0x1.1b7d4ba4e48c4p+20);

    const struct {
        double lat, lon, north, east;
    } forward[] = {
        {52, 4, 0x1.18c1c75cb3d2cp+22, 0x1.15a9a0628806ep+19},
        {-33.5, 1.25, -0x1.293b7c4793e7cp+22, 0x1.4986627c26b16p+18},
        {0, 3, -0x1.1b9ec4237ee03p+20, 0x1.e848p+18},
        {84, 6, 0x1.f2827e6a58f3cp+22, 0x1.053a90cd97c09p+19},
        {-80, -0.5, -0x1.312dp+23, 0x1.a60e7fbe37f98p+18},
        {45, 40, 0x1.14bda86ee6e4p+22, 0x1.9f80ff988f46ap+21},
        {5, -150, 0x1.312dp+23, -0x1.312dp+23}, // clamped to 1e7
    };
    for (const auto& f : forward) {
        double n, e;
        tm.geoToGrid(f.lat, f.lon, n, e);
        EXPECT_EQ(n, f.north) << f.lat << " " << f.lon;
        EXPECT_EQ(e, f.east) << f.lat << " " << f.lon;
    }
    const struct {
        double north, east, lat, lon, convergence, lineScale;
    } inverse[] = {
        {5761510.3, 568649.7, 0x1.f3757040ea5b4p+5, 0x1.151774e6ed4aep+2, 0x1.2dbc111908274p+0, 0x1.ffd2624d1df65p-1},
        {-3700000.0, 300000.0, -0x1.6f0c395f75c2ap+4, 0x1.0cb46b53b6a5ep+0, 0x1.855ae7d73eea9p-1,
         0x1.000710d731ce2p+0},
        {9300000.0, 520000.0, 0x1.789e18c214115p+6, 0x1.0da37476c8ca8p-1, -0x1.3bc271f5f09bbp+1,
         0x1.ffcc03614779fp-1},
        {9840901.5714691281, 1478123.977337657, 0x1.9abbeca199835p+6, -0x1.6b6d29ec6c919p+5,
         -0x1.7dc919ec5a00ap+5, 0x1.02dee2ad41405p+0},
        {9974786.6710042544, 1498744.4843819789, 0x1.9e68d1a23216p+6, -0x1.44c9de7cc25a5p+5,
         -0x1.56476ea5e7c9ap+5, 0x1.02ff7e4f3ab93p+0},
        {-1000.0, 500000.0, 0x1.4ffffffffffbcp+3, 0x1.8p+1, 0x0p+0, 0x1.ffcb98f5c604p-1},
        {1e7, -1e7, 0x1.61671c0ec38p+8, 0x1.23c02a98bap+7, -0x1.090b98dca5c12p+7, 0x1.52f0f7633e2p+1},
    };
    for (const auto& g : inverse) {
        double la, lo;
        tm.gridToGeo(g.north, g.east, la, lo);
        EXPECT_EQ(la, g.lat) << g.north << " " << g.east;
        EXPECT_EQ(lo, g.lon) << g.north << " " << g.east;
        EXPECT_EQ(tm.converge(g.north, g.east), g.convergence) << g.north << " " << g.east;
        EXPECT_EQ(tm.lineScale(g.north, g.east, g.north + 2500.0, g.east - 7000.0), g.lineScale)
            << g.north << " " << g.east;
    }
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
        {"falseNorth", "10000000.12345"}, {"falseEast", "123456.7891"}, {"scaleFactor", "0.99961234"},
        {"units", "2"},                 {"general", "My group"},        {"specific", "My zone"},
    };
    for (const Key& k : keys)
        EXPECT_EQ(gw::iniGetString(section, k.key, "?", file.c_str()), k.text) << k.key;

    TransverseMercator b;
    b.loadData(section, file.data());
    EXPECT_STREQ(b.projName, "Zone 31, North");
    EXPECT_NEAR(b.originLon, 3.1234, 1e-7);
    EXPECT_NEAR(b.originLat, -12.5, 1e-12);
    EXPECT_EQ(b.falseNorth, 10000000.12345);
    EXPECT_EQ(b.falseEast, 123456.7891);
    EXPECT_EQ(b.scaleFactor, 0.99961234);
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
