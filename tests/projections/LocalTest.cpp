// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Flat local grid: the degree-length series, the conversions, settings, the
// initialisation string and description lines, and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <GeographicLib/Ellipsoid.hpp>

#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/Local.h"
#include "ProjPeer.h"
#include "ProjectionTestUtil.h"

namespace {

using gwtest::sectionKeys;
using gwtest::TempDir;
using gwtest::text;

TEST(LocalSeries, DegreeLengths) {
    struct Case { double lat, perLat, perLon; } cases[] = {
        {0.0, 110567.238, 111320.7},
        {45.0, 111130.89, 78849.1660431282},
        {52.0, 111267.96901363155, 68680.35819463879},
        {-52.0, 111267.96901363155, 68680.35819463879},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        EXPECT_NEAR(Local::metersPerDegLat(c.lat), c.perLat, 2e-11);
        EXPECT_NEAR(Local::metersPerDegLon(c.lat), c.perLon, 2e-11);
    }
}

// The series against the WGS 84 lengths of a degree (GeographicLib as peer):
// the figures stated in the header.
TEST(LocalSeries, AgainstWgs84) {
    const GeographicLib::Ellipsoid& wgs84 = GeographicLib::Ellipsoid::WGS84();
    const double perDeg = 3.141592653589793 / 180.0;
    for (double lat = -90; lat <= 90; lat += 2.5) {
        SCOPED_TRACE(lat);
        EXPECT_NEAR(Local::metersPerDegLat(lat), wgs84.MeridionalCurvatureRadius(lat) * perDeg, 7.1);
        EXPECT_NEAR(Local::metersPerDegLon(lat), wgs84.CircleRadius(lat) * perDeg, 2.4);
    }
}

TEST(LocalConvert, GeoToGridTable) {
    struct Case { double cLat, cLon, lat, lon, north, east, tol; } cases[] = {
        {52, 4, 52.01, 4.01, 1112.679690136094, 686.8035819463732, 1e-12},
        {52, 4, 52, 4, 0.0, 0.0, 0.0},                                  // the origin, exactly
        {0, 179, 0, -179, 0.0, 2 * 111320.7, 1e-6},                     // the nearer way, over +-180
        {0, -179, 0, 179, 0.0, -2 * 111320.7, 1e-6},
        {0, 0, 10, 400, 10 * 110567.238, 40 * 111320.7, 1e-6},          // whole turns off
        {0, 0, 0, 180, 0.0, 180 * 111320.7, 1e-6},                      // half a turn: east
        {0, 0, 0, -180, 0.0, 180 * 111320.7, 1e-6},
        {0, 0, 200, 0, 20 * 110567.238, 0.0, 1e-6},                     // fmod by 180
        {-10, -20, -10.5, -20.25, -0.5 * Local::metersPerDegLat(-10), -0.25 * Local::metersPerDegLon(-10), 1e-9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        Local p;
        p.centerLat = c.cLat;
        p.centerLon = c.cLon;
        double n = -1, e = -1;
        p.geoToGrid(c.lat, c.lon, n, e);
        EXPECT_NEAR(n, c.north, c.tol);
        EXPECT_NEAR(e, c.east, c.tol);
    }
}

// Near the origin the flat system is the azimuthal equidistant projection to the
// series' accuracy (PROJ's aeqd on WGS 84 as peer), also when the 180 degree
// meridian runs between the origin and the point.
TEST(LocalConvert, AcrossTheAntimeridianAgreesWithAeqd) {
    struct Case { double cLat, cLon, lat, lon; } cases[] = {
        {0, 179.999, 0, -179.999},      // 222 m east, over the meridian
        {0, -179.999, 0.001, 179.9985}, // west over it
        {60, 179.99, 60.005, -179.995}, // at 60 N
        {-45, -179.995, -45.01, 179.99},
        {52, 4, 52.01, 4.01},           // and off it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cLat << " " << c.cLon << " -> " << c.lat << " " << c.lon);
        gwpeer::ProjOp aeqd("+proj=aeqd +ellps=WGS84 +lat_0=" + std::to_string(c.cLat) +
                            " +lon_0=" + std::to_string(c.cLon));
        ASSERT_TRUE(aeqd.valid());
        double nX, eX;
        aeqd.forward(c.lat, c.lon, nX, eX);
        Local p;
        p.centerLat = c.cLat;
        p.centerLon = c.cLon;
        double n, e;
        p.geoToGrid(c.lat, c.lon, n, e);
        // Within 3e-4 of the distance: the series' degree lengths and the flat
        // system's own shape (a plate carree at the origin's scale, see Local.h)
        // over a kilometre or two.
        const double tol = 3e-4 * std::hypot(nX, eX);
        EXPECT_NEAR(n, nX, tol);
        EXPECT_NEAR(e, eX, tol);
        // Back to the same point, a whole turn apart at most.
        double lat, lon;
        p.gridToGeo(n, e, lat, lon);
        EXPECT_NEAR(lat, c.lat, 1e-12);
        EXPECT_NEAR(std::remainder(lon - c.lon, 360.0), 0.0, 1e-11);
    }
}

TEST(LocalConvert, RoundTripAndOrigin) {
    Local p;
    p.centerLat = 52;
    p.centerLon = 4;
    double lat, lon;
    p.gridToGeo(1112.679690136094, 686.8035819463732, lat, lon);
    EXPECT_NEAR(lat, 52.01, 1e-13);
    EXPECT_NEAR(lon, 4.01, 1e-13);
    p.gridToGeo(0.0, 0.0, lat, lon);
    EXPECT_EQ(lat, 52.0);
    EXPECT_EQ(lon, 4.0);
    double n, e;
    p.geoToGrid(52.0, 4.0, n, e);
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(e, 0.0);
    EXPECT_FALSE(std::signbit(n));
    for (double dl : {-0.3, -0.001, 0.002, 0.7}) {
        p.geoToGrid(52 + dl, 4 - dl, n, e);
        p.gridToGeo(n, e, lat, lon);
        EXPECT_NEAR(lat, 52 + dl, 1e-13);
        EXPECT_NEAR(lon, 4 - dl, 1e-13);
    }
}

TEST(LocalInterface, FixedAnswers) {
    Local p;
    EXPECT_EQ(p.type, 5);
    EXPECT_EQ(text(p.general), "USER");
    EXPECT_EQ(text(p.specific), "Local");
    EXPECT_EQ(text(p.localProjName), "");
    EXPECT_EQ(p.lineScale(0, 0, 1000, 5000), 1.0);
    EXPECT_EQ(p.converge(1e5, -3e5), 0.0);
    EXPECT_EQ(p.getUnits(), 0);
    EXPECT_EQ(p.getFormat(), 1);
    EXPECT_EQ(p.editDialog(nullptr, nullptr), 0);
    p.geoparm(nullptr); // ignores the datum
}

TEST(LocalInitString, FormatAndParse) {
    Local p;
    std::snprintf(p.localProjName, sizeof p.localProjName, "Local");
    p.centerLat = 52;
    p.centerLon = 4;
    EXPECT_EQ(gw::initString(p), "5,Local,52.000000000000,4.000000000000,");

    struct Case { const char* init; const char* name; double lat, lon; } cases[] = {
        {"5,Site A,52.5,4.25,", "Site A", 52.5, 4.25},                         // inner blank kept
        {"5,A name of twenty-five ch,1,2,", "A name of twenty-fi", 1, 2},       // cut to 19
        {"5,,-33.75,151.5", "", -33.75, 151.5},
        {"5", "", 0, 0},
        {"5,x,abc,", "x", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.init);
        std::string buf = c.init;
        Local q(buf.data());
        EXPECT_EQ(text(q.localProjName), c.name);
        EXPECT_EQ(q.centerLat, c.lat);
        EXPECT_EQ(q.centerLon, c.lon);
        EXPECT_EQ(q.type, 5);
        EXPECT_EQ(text(q.specific), "Local");
    }

    // A comma in the name must not shift the coordinates.
    std::snprintf(p.localProjName, sizeof p.localProjName, "Dock,North");
    std::string s = gw::initString(p);
    EXPECT_EQ(s, "5,Dock North,52.000000000000,4.000000000000,");
    Local r(s.data());
    EXPECT_EQ(r.centerLat, 52.0);
    EXPECT_EQ(r.centerLon, 4.0);
}

TEST(LocalInitString, ThroughEnvelope) {
    Local p;
    std::snprintf(p.localProjName, sizeof p.localProjName, "Harbour");
    p.centerLat = -12.345678901234;
    p.centerLon = 130.987654321098;
    std::string s = gw::initString(p);
    Projection env(s.data());
    ASSERT_EQ(env.type, 5);
    Local* q = dynamic_cast<Local*>(env.inner);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(text(q->localProjName), "Harbour");
    EXPECT_NEAR(q->centerLat, p.centerLat, 1e-12);
    EXPECT_NEAR(q->centerLon, p.centerLon, 1e-12);
    EXPECT_EQ(gw::initString(env), s);
    EXPECT_EQ(env.getFormat(), 1);
}

TEST(LocalLines, Description) {
    Local p;
    std::snprintf(p.localProjName, sizeof p.localProjName, "Site");
    p.centerLat = 52.0854;
    p.centerLon = 4.8686;
    char lines[7][50];
    std::snprintf(lines[6], 50, "untouched");
    p.getLines(lines);
    EXPECT_EQ(text(lines[0]), "Site");
    EXPECT_EQ(text(lines[1]), "Lat Origin: N52 05.1240");
    EXPECT_EQ(text(lines[2]), "Lon Origin: E004 52.1160");
    EXPECT_EQ(text(lines[3]), " ");
    EXPECT_EQ(text(lines[4]), " ");
    EXPECT_EQ(text(lines[5]), " ");
    EXPECT_EQ(text(lines[6]), "untouched");
}

TEST(LocalSettings, SaveLoadKeysAndDefaults) {
    TempDir dir;
    std::string file = dir.file("geo.ini");
    char section[] = "Geodesy";
    Local p;
    std::snprintf(p.localProjName, sizeof p.localProjName, "Quay 7");
    p.centerLat = 52.0854;
    p.centerLon = -4.8686;
    std::snprintf(p.general, sizeof p.general, "Group");
    p.saveData(section, file.data());
    EXPECT_EQ(sectionKeys(file, "Geodesy"),
              (std::vector<std::string>{"localProjName", "localCenterLat", "localCenterLon"}));
    EXPECT_EQ(gw::iniGetString("Geodesy", "localCenterLat", "", file.c_str()), "52.085400000000");
    EXPECT_EQ(gw::iniGetString("Geodesy", "localCenterLon", "", file.c_str()), "-4.868600000000");

    Local q;
    q.loadData(section, file.data());
    EXPECT_EQ(text(q.localProjName), "Quay 7");
    EXPECT_EQ(q.centerLat, 52.0854);
    EXPECT_EQ(q.centerLon, -4.8686);
    EXPECT_EQ(text(q.general), "USER"); // names are not part of the settings

    char other[] = "Empty";
    Local d;
    d.centerLat = 9;
    d.loadData(other, file.data());
    EXPECT_EQ(text(d.localProjName), "Local");
    EXPECT_EQ(d.centerLat, 0.0);
    EXPECT_EQ(d.centerLon, 0.0);
}

TEST(LocalHostile, AbsurdValuesNeverCrash) {
    TempDir dir;
    std::string file = dir.file("bad.ini");
    std::string longText(10000, 'x');
    const char* values[] = {"nan", "inf", "-inf", "1e308", "-1e308", "abc", "", longText.c_str()};
    int i = 0;
    for (const char* v : values) {
        SCOPED_TRACE(i);
        std::string section = std::string("S").append(std::to_string(i++));
        gw::iniWriteString(section.c_str(), "localProjName", longText.c_str(), file.c_str());
        gw::iniWriteString(section.c_str(), "localCenterLat", v, file.c_str());
        gw::iniWriteString(section.c_str(), "localCenterLon", v, file.c_str());
        Local p;
        p.loadData(section.data(), file.data());
        EXPECT_EQ(std::string(p.localProjName), std::string(39, 'x'));
        double n, e, lat, lon;
        p.geoToGrid(1.0, 2.0, n, e);
        p.gridToGeo(1000.0, 1000.0, lat, lon);
        p.gridToGeo(0.0, 0.0, lat, lon);
        char lines[6][50];
        p.getLines(lines);
        for (auto& l : lines) EXPECT_LT(std::string(l).size(), 50u);
        p.saveData(section.data(), file.data());
        std::string s = gw::initString(p);
        Local q(s.data());
        EXPECT_EQ(std::string(q.localProjName).size(), 19u);
    }
    // Hostile initialisation strings.
    std::string longInit = "5," + longText + "," + longText + "," + longText + "," + longText;
    std::string commas(10000, ',');
    for (std::string init : {longInit, commas, std::string("5,a,nan,inf"), std::string("5,a,1e308,-1e308")}) {
        Local p(init.data());
        EXPECT_LE(std::string(p.localProjName).size(), 19u);
        double n, e;
        p.geoToGrid(1.0, 2.0, n, e);
    }
}

} // namespace
