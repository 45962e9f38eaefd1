// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Lambert conformal conic: defaults and text forms, the worked example, PROJ and
// GeographicLib as references, the apex and the clamp, settings and
// initialisation-string round trips, and hostile input.
#include <gtest/gtest.h>

#include <GeographicLib/LambertConformalConic.hpp>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "geodesy/Datum.h"
#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "projections/GridBatch.h"
#include "projections/Lambert.h"
#include "ProjPeer.h"
#include "support/SimdTiers.h"
#include "ProjectionTestUtil.h"

namespace {

using gwtest::ellipsoid;
using gwtest::mut;

std::string lccDefinition(const Lambert& l, double a, double rf) {
    char s[400];
    std::snprintf(s, sizeof s,
                  "+proj=lcc +lat_1=%.17g +lat_2=%.17g +lat_0=%.17g +lon_0=%.17g +x_0=%.17g +y_0=%.17g "
                  "+a=%.17g +rf=%.17g",
                  l.firstParallel, l.secondParallel, l.latOfOrigin, l.lonOfOrigin, l.falseEast, l.falseNorth, a, rf);
    return s;
}

} // namespace

TEST(Lambert, DefaultsAndTextForms) {
    Lambert l;
    EXPECT_EQ(l.type, 1);
    EXPECT_STREQ(l.general, "USER");
    EXPECT_STREQ(l.specific, "Lambert");
    EXPECT_STREQ(l.projName, "California 6");
    EXPECT_EQ(l.latOfOrigin, 32.166666666666664);
    EXPECT_EQ(l.lonOfOrigin, -116.25);
    EXPECT_EQ(l.firstParallel, 32.78333333333333);
    EXPECT_EQ(l.secondParallel, 33.88333333333333);
    EXPECT_EQ(l.falseNorth, 0.0);
    EXPECT_EQ(l.falseEast, 0.0);
    EXPECT_EQ(l.units, 0);
    EXPECT_EQ(l.coneConstant, 0.0);
    EXPECT_EQ(l.getUnits(), 0);
    EXPECT_EQ(l.getFormat(), 0);
    EXPECT_EQ(gw::initString(l), "1,California 6,N32 47.0000,N33 53.0000,W116 15.0000,N32 10.0000,0.00,0.00,0");
    char init[GW_INIT_STR_MAX];
    l.getInitStr(init);
    EXPECT_STREQ(init, "1,California 6,N32 47.0000,N33 53.0000,W116 15.0000,N32 10.0000,0.00,0.00,0");

    char lines[6][50];
    for (auto& line : lines) std::strcpy(line, "untouched");
    l.falseNorth = 1000.0;
    l.falseEast = 2000.5;
    l.getLines(lines);
    EXPECT_STREQ(lines[0], "California 6");
    EXPECT_STREQ(lines[1], "First Parallel: N32 47.0000");
    EXPECT_STREQ(lines[2], "Second Parallel: N33 53.0000");
    EXPECT_STREQ(lines[3], "Origin Lat: N32 10.0000 Lon: W116 15.0000");
    EXPECT_STREQ(lines[4], "False N:1000.000m E:2000.500m:");
    EXPECT_STREQ(lines[5], "Meters");

    // Feet, US survey feet, and an index without a name: line 5 stays as it was.
    const struct {
        int units;
        const char* line4;
        const char* line5;
    } unitCases[] = {
        {1, "False N:3280.840ft E:6563.320ft:", "Feet"},
        {2, "False N:3280.833ft E:6563.307ft:", "US Survey Feet"},
        {3, "False N:1.000km E:2.001km:", "untouched"},
    };
    for (const auto& c : unitCases) {
        for (auto& line : lines) std::strcpy(line, "untouched");
        l.units = c.units;
        l.getLines(lines);
        EXPECT_STREQ(lines[4], c.line4) << c.units;
        EXPECT_STREQ(lines[5], c.line5) << c.units;
        EXPECT_EQ(l.getUnits(), c.units);
    }
}

TEST(Lambert, WorkedExampleOnTheDefaultDatum) {
    Datum d;
    Lambert l;
    l.geoparm(&d);
    EXPECT_EQ(l.coneConstant, 0.5495175757628308);
    EXPECT_NEAR(l.originRadius, 9836091.79, 0.005);

    double north = 0, east = 0;
    l.geoToGrid(33.0, -117.0, north, east);
    EXPECT_NEAR(north, 92670.743, 0.0005);
    EXPECT_NEAR(east, -70087.276, 0.0005);
    double lat = 0, lon = 0;
    l.gridToGeo(north, east, lat, lon);
    EXPECT_NEAR(lat, 33.0, 1e-9);
    EXPECT_NEAR(lon, -117.0, 1e-9);
    EXPECT_NEAR(l.converge(north, east), -0.41214, 5e-6);
    EXPECT_NEAR(l.converge(north, east), l.coneConstant * -0.75, 1e-12);

    // Far points are pinned to 5000 km from the origin before the false origin.
    l.geoToGrid(-60.0, 60.0, north, east);
    EXPECT_EQ(north, 5000000.0);
    EXPECT_EQ(east, 5000000.0);
    l.falseNorth = 100.0;
    l.falseEast = 200.0;
    l.geoToGrid(-60.0, 60.0, north, east);
    EXPECT_EQ(north, 5000100.0);
    EXPECT_EQ(east, 5000200.0);

    // Latitude +-90 reduces to 0 by fmod.
    double n90 = 0, e90 = 0, n0 = 0, e0 = 0;
    l.geoToGrid(90.0, -116.0, n90, e90);
    l.geoToGrid(0.0, -116.0, n0, e0);
    EXPECT_EQ(n90, n0);
    EXPECT_EQ(e90, e0);
}

TEST(Lambert, ApexAndBeyondGiveTheOrigin) {
    Datum d;
    Lambert l;
    l.geoparm(&d);
    const double apexNorth = l.originRadius + l.falseNorth;
    const struct {
        double north, east;
    } cases[] = {
        {1e8, 0.0},               // far beyond the apex
        {apexNorth, l.falseEast}, // the apex itself (0 / 0)
        {apexNorth, 1000.0},      // on the line through the apex
        {apexNorth + 5.0, -3.0},  // just beyond it
    };
    for (const auto& c : cases) {
        double lat = 1, lon = 1;
        l.gridToGeo(c.north, c.east, lat, lon);
        EXPECT_EQ(lat, 0.0) << c.north << " " << c.east;
        EXPECT_EQ(lon, 0.0) << c.north << " " << c.east;
        EXPECT_TRUE(std::isfinite(l.converge(c.north, c.east)));
        EXPECT_TRUE(std::isfinite(l.lineScale(c.north, c.east, c.north, c.east)));
    }
    // A hair short of the apex the latitude is the pole, not NaN.
    double lat = 0, lon = 0;
    l.gridToGeo(apexNorth - 1e-9, 0.0, lat, lon);
    EXPECT_NEAR(lat, 90.0, 1e-6);
    EXPECT_TRUE(std::isfinite(lon));
    EXPECT_TRUE(std::isfinite(l.lineScale(apexNorth - 1e-9, 0.0, apexNorth - 1e-9, 0.0)));
}

TEST(Lambert, EqualParallelsAreMovedApart) {
    Datum d;
    Lambert l;
    l.firstParallel = l.secondParallel = 33.0;
    l.geoparm(&d);
    EXPECT_EQ(l.secondParallel, 34.0);
    EXPECT_TRUE(std::isfinite(l.coneConstant));
    l.firstParallel = l.secondParallel = -33.0;
    l.geoparm(&d);
    EXPECT_EQ(l.secondParallel, -32.0);
    EXPECT_LT(l.coneConstant, 0.0);
}

// Zones on two ellipsoids, northern and southern, against PROJ's lcc: forward to
// 5e-8 m, inverse to 6e-9 degrees of latitude (the Newton iteration stops within
// 1e-10 rad) over +-15 degrees around the origin; scale and convergence against
// GeographicLib.
TEST(Lambert, AgreesWithPeers) {
    const struct Zone {
        double p1, p2, lat0, lon0, fn, fe, a, rf;
    } zones[] = {
        {32.78333333333333, 33.88333333333333, 32.166666666666664, -116.25, 0, 0, 6378137.0, 298.257222},
        {49.0, 44.0, 46.5, 3.0, 6600000.0, 700000.0, 6378137.0, 298.257222},
        {-30.0, -35.0, -32.0, 145.0, 10000000.0, 500000.0, 6378137.0, 298.257222},
        {-60.0, -70.0, -65.0, -60.0, 0.0, 0.0, 6378137.0, 298.257222},
        {60.0, 70.0, 65.0, -45.0, 0.0, 0.0, 6378206.4, 294.9786982},
        {20.0, 25.0, 22.0, 100.0, 1000.0, 2000.0, 6377397.155, 299.1528128},
    };
    for (const Zone& z : zones) {
        SCOPED_TRACE(testing::Message() << "parallels " << z.p1 << " " << z.p2 << " a " << z.a);
        Datum d = ellipsoid(z.a, z.rf);
        Lambert l;
        l.firstParallel = z.p1;
        l.secondParallel = z.p2;
        l.latOfOrigin = z.lat0;
        l.lonOfOrigin = z.lon0;
        l.falseNorth = z.fn;
        l.falseEast = z.fe;
        l.geoparm(&d);
        gwpeer::ProjOp peer(lccDefinition(l, z.a, z.rf));
        ASSERT_TRUE(peer.valid());
        GeographicLib::LambertConformalConic geo(z.a, 1 / z.rf, z.p1, z.p2, 1.0);
        for (double dp = -15; dp <= 15; dp += 2.5) {
            for (double dl = -15; dl <= 15; dl += 2.5) {
                const double lat = z.lat0 + dp, lon = z.lon0 + dl;
                double north = 0, east = 0, pn = 0, pe = 0;
                l.geoToGrid(lat, lon, north, east);
                peer.forward(lat, lon, pn, pe);
                EXPECT_NEAR(north, pn, 5e-8) << lat << " " << lon;
                EXPECT_NEAR(east, pe, 5e-8) << lat << " " << lon;
                double blat = 0, blon = 0;
                l.gridToGeo(pn, pe, blat, blon);
                EXPECT_NEAR(blat, lat, 6e-9) << lat << " " << lon;
                EXPECT_NEAR(blon, lon, 1e-11) << lat << " " << lon;
                double x = 0, y = 0, gamma = 0, k = 0;
                geo.Forward(z.lon0, lat, lon, x, y, gamma, k);
                EXPECT_NEAR(l.converge(north, east), gamma, 1e-11) << lat << " " << lon;
                EXPECT_NEAR(l.lineScale(north, east, north, east), k, 1e-10 * k) << lat << " " << lon;
            }
        }
    }
}

// Zones whose central meridian lies near the 180 degree meridian take points on
// either side of it, however the longitude is written (a turn more or less), as
// PROJ's lcc does: the one-point code and the batch operations at every vector
// tier.
TEST(Lambert, ZonesAcrossTheAntimeridian) {
    const struct Zone {
        double p1, p2, lat0, lon0;
    } zones[] = {
        {-37.5, -44.5, -41.0, 173.0},  // southern, east of 180
        {51.0, 57.0, 54.0, -176.0},    // northern, west of 180
        {60.0, 70.0, 65.0, 180.0},     // on it
    };
    const double offsets[] = {-14.0, -7.5, 0.0, 6.25, 12.0};
    for (const Zone& z : zones) {
        SCOPED_TRACE(testing::Message() << "central meridian " << z.lon0);
        Datum d;
        Lambert l;
        l.firstParallel = z.p1;
        l.secondParallel = z.p2;
        l.latOfOrigin = z.lat0;
        l.lonOfOrigin = z.lon0;
        l.falseNorth = 1000000.0;
        l.falseEast = 2000000.0;
        l.geoparm(&d);
        gwpeer::ProjOp peer(lccDefinition(l, d.aAxis, d.inverseFlattening));
        ASSERT_TRUE(peer.valid());
        std::vector<double> lats, lons, pn, pe;
        for (double dl : offsets)
            for (double turn : {-360.0, 0.0, 360.0}) {
                double lon = z.lon0 + dl;
                lon = lon > 180 ? lon - 360 : lon; // in (-180, 180]
                lats.push_back(z.lat0 + dl / 3);
                lons.push_back(lon + turn);
                double n = 0, e = 0;
                peer.forward(lats.back(), lon, n, e);
                pn.push_back(n);
                pe.push_back(e);
            }
        for (std::size_t i = 0; i < lats.size(); ++i) {
            double n = 0, e = 0;
            l.geoToGrid(lats[i], lons[i], n, e);
            EXPECT_NEAR(n, pn[i], 5e-8) << lats[i] << " " << lons[i];
            EXPECT_NEAR(e, pe[i], 5e-8) << lats[i] << " " << lons[i];
        }
        gwtest::forEachTier(gw::batch::SimdTier::scalar, [&](gw::batch::SimdTier) {
            const std::unique_ptr<gw::GridBatch> ops = gw::gridBatchOf(l);
            const std::size_t lanes = gw::batch::simdBlockLanes();
            const std::size_t n = (lats.size() + lanes - 1) / lanes * lanes;
            std::vector<double> la(lats), lo(lons), bn(n), be(n);
            std::vector<int> aux(n);
            la.resize(n, z.lat0);
            lo.resize(n, z.lon0);
            ops->forwardBlock(n, la.data(), lo.data(), bn.data(), be.data(), aux.data());
            for (std::size_t i = 0; i < lats.size(); ++i) {
                const double block[2] = {bn[i], be[i]};
                double north = 0, east = 0;
                ASSERT_EQ(ops->forward(lats[i], lons[i], block, aux[i], north, east), gw::PointRule::ok);
                EXPECT_NEAR(north, pn[i], 5e-8) << lats[i] << " " << lons[i];
                EXPECT_NEAR(east, pe[i], 5e-8) << lats[i] << " " << lons[i];
            }
        });
    }
}

TEST(Lambert, LineScaleIsSimpsonsMeanOfThePointScale) {
    Datum d;
    Lambert l;
    l.geoparm(&d);
    GeographicLib::LambertConformalConic geo(d.aAxis, 1 / d.inverseFlattening, l.firstParallel, l.secondParallel,
                                             1.0);
    double n1 = 0, e1 = 0, n2 = 0, e2 = 0;
    l.geoToGrid(30.0, -117.0, n1, e1);
    l.geoToGrid(36.0, -110.0, n2, e2);
    auto k = [&](double lat) {
        double x, y, g, kk;
        geo.Forward(0, lat, 0, x, y, g, kk);
        return kk;
    };
    double latA = 0, latB = 0, lon = 0;
    l.gridToGeo(n1, e1, latA, lon);
    l.gridToGeo(n2, e2, latB, lon);
    const double expected = (k(latA) + 4 * k((latA + latB) / 2) + k(latB)) / 6;
    EXPECT_NEAR(l.lineScale(n1, e1, n2, e2), expected, 1e-11);
    // Longitudes do not enter.
    EXPECT_EQ(l.lineScale(n1, e1, n2, e2), l.lineScale(n1, e1, n2, e2 + 0.0));
}

TEST(Lambert, SettingsRoundTripInKeyOrder) {
    gwtest::TempDir dir;
    std::string file = dir.file("lcc.ini");
    std::string section = "Geodesy";
    Lambert l;
    gw::copyBounded(l.projName, "Zone Test", sizeof l.projName);
    l.latOfOrigin = -12.5;
    l.lonOfOrigin = 23.25;
    l.falseNorth = 1234.5678;
    l.falseEast = -8765.4321;
    l.firstParallel = -10.0;
    l.secondParallel = -15.5;
    l.units = 2;
    char general[] = "Group A";
    char specific[] = "Zone A";
    l.setTypeStr(general, specific);
    l.saveData(mut(section), mut(file));

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"projName", "Zone Test"},      {"latOfOrigin", "S12 30.0000"}, {"lonOfOrigin", "E023 15.0000"},
        {"falseNorth", "1234.5678"},    {"falseEast", "-8765.4321"},     {"firstParallel", "S10 00.0000"},
        {"secondParallel", "S15 30.0000"}, {"units", "2"},              {"general", "Group A"},
        {"specific", "Zone A"},
    };
    EXPECT_EQ(gwtest::sectionLines(file, section), expected);

    Lambert r;
    r.loadData(mut(section), mut(file));
    EXPECT_STREQ(r.projName, "Zone Test");
    EXPECT_EQ(r.latOfOrigin, -12.5);
    EXPECT_EQ(r.lonOfOrigin, 23.25);
    EXPECT_EQ(r.falseNorth, 1234.5678);
    EXPECT_EQ(r.falseEast, -8765.4321);
    EXPECT_EQ(r.firstParallel, -10.0);
    EXPECT_EQ(r.secondParallel, -15.5);
    EXPECT_EQ(r.units, 2);
    EXPECT_STREQ(r.general, "Group A");
    EXPECT_STREQ(r.specific, "Zone A");

    // An empty section gives the defaults; the specific name is then "LAMBERT".
    std::string empty = "Nothing";
    Lambert e;
    e.latOfOrigin = 0;
    e.loadData(mut(empty), mut(file));
    EXPECT_STREQ(e.projName, "California 6");
    EXPECT_NEAR(e.latOfOrigin, 32.166666666666664, 1e-12);
    EXPECT_NEAR(e.lonOfOrigin, -116.25, 1e-12);
    EXPECT_NEAR(e.firstParallel, 32.78333333333333, 1e-12);
    EXPECT_NEAR(e.secondParallel, 33.88333333333333, 1e-12);
    EXPECT_EQ(e.falseNorth, 0.0);
    EXPECT_EQ(e.units, 0);
    EXPECT_STREQ(e.general, "USER");
    EXPECT_STREQ(e.specific, "LAMBERT");
}

TEST(Lambert, InitialisationStringRoundTrip) {
    const struct {
        const char* init;
        const char* name;
        double first, second, lon0, lat0, fn, fe;
        int units;
        const char* rewritten;
    } cases[] = {
        {"1,California 6,N32 47.0000,N33 53.0000,W116 15.0000,N32 10.0000,0.00,0.00,0", "California 6",
         32.78333333333333, 33.88333333333333, -116.25, 32.166666666666664, 0, 0, 0,
         "1,California 6,N32 47.0000,N33 53.0000,W116 15.0000,N32 10.0000,0.00,0.00,0"},
        {"1,South,S30 00.0000,S35 00.0000,E145 00.0000,S32 00.0000,10000000.00,500000.00,1", "South", -30, -35,
         145, -32, 10000000, 500000, 1,
         "1,South,S30 00.0000,S35 00.0000,E145 00.0000,S32 00.0000,10000000.00,500000.00,1"},
        // A unit on a false value is honoured; a name longer than 39 characters is cut.
        {"1,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefgh,N10,N20,W5,N15,1000.5m,2km,2",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc", 10, 20, -5, 15, 1000.5, 2000, 2,
         "1,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc,N10 00.0000,N20 00.0000,W005 00.0000,N15 00.0000,1000.50,"
         "2000.00,2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.init);
        std::string text = c.init;
        Lambert l(mut(text));
        EXPECT_STREQ(l.projName, c.name);
        EXPECT_NEAR(l.firstParallel, c.first, 1e-12);
        EXPECT_NEAR(l.secondParallel, c.second, 1e-12);
        EXPECT_NEAR(l.lonOfOrigin, c.lon0, 1e-12);
        EXPECT_NEAR(l.latOfOrigin, c.lat0, 1e-12);
        EXPECT_NEAR(l.falseNorth, c.fn, 1e-9);
        EXPECT_NEAR(l.falseEast, c.fe, 1e-9);
        EXPECT_EQ(l.units, c.units);
        EXPECT_STREQ(l.general, "USER");
        EXPECT_STREQ(l.specific, "Lambert");
        EXPECT_EQ(gw::initString(l), c.rewritten);

        // Through the envelope.
        Projection env(mut(text));
        EXPECT_EQ(env.type, 1);
        char out[GW_INIT_STR_MAX];
        env.getInitStr(out);
        EXPECT_STREQ(out, c.rewritten);
    }

    // A comma inside the name would shift every later field: it is written as a blank.
    Lambert l;
    gw::copyBounded(l.projName, "Zone 1, south", sizeof l.projName);
    l.falseNorth = 10.0;
    std::string s = gw::initString(l);
    EXPECT_EQ(s, "1,Zone 1  south,N32 47.0000,N33 53.0000,W116 15.0000,N32 10.0000,10.00,0.00,0");
    Lambert back(mut(s));
    EXPECT_STREQ(back.projName, "Zone 1  south");
    EXPECT_EQ(back.falseNorth, 10.0);
}

// Absurd settings and initialisation strings load, convert, describe and save
// without crashing or hanging; names stay within their fields.
TEST(Lambert, HostileInputIsContained) {
    gwtest::TempDir dir;
    std::string file = dir.file("bad.ini");
    std::string longText(10000, 'x');
    const char* keys[] = {"projName",  "latOfOrigin",    "lonOfOrigin", "falseNorth", "falseEast",
                          "firstParallel", "secondParallel", "units",    "general",    "specific"};
    const char* values[][10] = {
        {"", "nan", "nan", "nan", "nan", "nan", "nan", "nan", "", ""},
        {"a", "1e308", "-1e308", "1e308", "-1e308", "1e308", "1e308", "99999999999", "g", "s"},
        {"b", "N0", "E0", "0", "0", "N0", "N0", "-99999999999", "g", "s"},
        {"c", "N90", "E180", "0", "0", "N90", "N90", "3", "g", "s"},
        {"d", "N10", "E0", "0", "0", "N30", "S30", "7", "g", "s"},
        {"e", "inf", "-inf", "inf", "-inf", "inf", "-inf", "100", "g", "s"},
    };
    Datum datum;
    int row = 0;
    for (const auto& v : values) {
        std::string section = std::string("S").append(std::to_string(row++));
        for (int i = 0; i < 10; ++i) gw::iniWriteString(section.c_str(), keys[i], v[i], file.c_str());
        Lambert l;
        l.loadData(mut(section), mut(file));
        l.geoparm(&datum);
        double n = 0, e = 0, lat = 0, lon = 0;
        l.geoToGrid(45.0, 10.0, n, e);
        l.gridToGeo(n, e, lat, lon);
        l.gridToGeo(1e308, -1e308, lat, lon);
        l.converge(n, e);
        l.lineScale(n, e, 0.0, 0.0);
        char lines[6][50] = {};
        l.getLines(lines);
        for (const auto& line : lines) EXPECT_LT(std::strlen(line), 50u);
        std::string init = gw::initString(l);
        char buf[GW_INIT_STR_MAX];
        l.getInitStr(buf);
        Lambert again(mut(init));
        std::string out = section + "out";
        l.saveData(mut(out), mut(file));
        again.loadData(mut(out), mut(file));
    }

    std::string longName = "1," + longText + ",N30,N40,W100,N35,1e308,nan,99999999999";
    const std::string inits[] = {
        longName,
        "1",
        "1,,,,,,,,,,,,,,,,,,",
        "1,x,N30,S30,E0,N0,-1e308,1e308,-99999999999",
        "1,y,nan,inf,-inf,nan," + longText + "," + longText + ",1",
        "1,z,N33,N33,E0,N0,0,0,0",
    };
    for (const std::string& text : inits) {
        std::string copy = text;
        Lambert l(mut(copy));
        EXPECT_LT(std::strlen(l.projName), 40u);
        l.geoparm(&datum);
        double n = 0, e = 0, lat = 0, lon = 0;
        l.geoToGrid(-45.0, 170.0, n, e);
        l.gridToGeo(n, e, lat, lon);
        l.converge(n, e);
        l.lineScale(n, e, 1.0, 2.0);
        char lines[6][50] = {};
        l.getLines(lines);
        for (const auto& line : lines) EXPECT_LT(std::strlen(line), 50u);
        EXPECT_LT(gw::initString(l).size(), static_cast<std::size_t>(GW_INIT_STR_MAX));
        std::string section = "init";
        l.saveData(mut(section), mut(file));
    }
}
