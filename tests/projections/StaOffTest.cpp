// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Station/offset system: the baseline geometry over a base projection, the
// coinciding-ends fallback, convergence with the azimuth, settings and
// initialisation strings with the embedded base, deep copies, hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "geodesy/Datum.h"
#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/Local.h"
#include "projections/StaOff.h"
#include "ProjectionTestUtil.h"

namespace {

using gwtest::sectionKeys;
using gwtest::TempDir;
using gwtest::text;

// A station/offset system over a flat local grid with origin (0, 0), whose map
// grid is north = lat * 110567.238, east = lon * 111320.7: baseline ends given
// as map points.
StaOff overFlatGrid(double startN, double startE, double endN, double endE) {
    std::string init = "6,Line,0,0,0,0,5,Flat,0,0,";
    StaOff s(init.data());
    s.startLat = startN / Local::metersPerDegLat(0);
    s.startLon = startE / Local::metersPerDegLon(0);
    s.endLat = endN / Local::metersPerDegLat(0);
    s.endLon = endE / Local::metersPerDegLon(0);
    Datum datum;
    s.geoparm(&datum);
    return s;
}

TEST(StaOffGeometry, ThreeFourFiveBaseline) {
    StaOff s = overFlatGrid(1000, 2000, 1300, 2400);
    EXPECT_NEAR(s.startNorth, 1000, 1e-9);
    EXPECT_NEAR(s.startEast, 2000, 1e-9);
    EXPECT_NEAR(s.sinAz, 0.8, 1e-14);
    EXPECT_NEAR(s.cosAz, 0.6, 1e-14);
    EXPECT_NEAR(s.converge(123, -45), 53.13010235415599, 1e-12);
    struct Case { double mapN, mapE, station, offset; } cases[] = {
        {1000, 2000, 0, 0},   // the start
        {1300, 2400, 500, 0}, // the end
        {996, 2003, 0, 5},    // right of the baseline
        {1004, 1997, 0, -5},  // left of it
        {700, 1600, -500, 0}, // behind the start
        {1150, 2200, 250, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mapN << " " << c.mapE);
        double lat, lon, station, offset;
        s.baseProj->gridToGeo(c.mapN, c.mapE, lat, lon);
        s.geoToGrid(lat, lon, station, offset);
        EXPECT_NEAR(station, c.station, 1e-9);
        EXPECT_NEAR(offset, c.offset, 1e-9);
        double lat2, lon2;
        s.gridToGeo(c.station, c.offset, lat2, lon2);
        EXPECT_NEAR(lat2, lat, 1e-14);
        EXPECT_NEAR(lon2, lon, 1e-14);
    }
    // Line scale adds stations and offsets to the start without rotation.
    EXPECT_EQ(s.lineScale(10, 20, 30, 40), s.baseProj->lineScale(1010, 2020, 1030, 2040));
    EXPECT_EQ(s.getFormat(), 2);
    EXPECT_EQ(s.getUnits(), 0);
}

TEST(StaOffGeometry, DirectionsTable) {
    struct Case {
        const char* what;
        double sN, sE, eN, eE;
        double sinAz, cosAz, azimuth;
        double mapN, mapE, station, offset;
    } cases[] = {
        {"grid north", 1000, 2000, 1500, 2000, 0, 1, 0, 1234, 1990, 234, -10},
        {"grid east", 0, 0, 0, 100, 1, 0, 90, 7, 50, 50, -7},
        {"grid south", 0, 0, -100, 0, 0, -1, 180, -30, 4, 30, -4},
        {"grid west", 0, 0, 0, -100, -1, 0, 270, 5, -20, 20, 5},
        {"coinciding ends", 500, 600, 500, 600, 0, 1, 0, 510, 590, 10, -10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StaOff s = overFlatGrid(c.sN, c.sE, c.eN, c.eE);
        EXPECT_NEAR(s.sinAz, c.sinAz, 1e-14);
        EXPECT_NEAR(s.cosAz, c.cosAz, 1e-14);
        EXPECT_NEAR(s.converge(0, 0), c.azimuth, 1e-12);
        double lat, lon, station, offset;
        s.baseProj->gridToGeo(c.mapN, c.mapE, lat, lon);
        s.geoToGrid(lat, lon, station, offset);
        EXPECT_NEAR(station, c.station, 1e-9);
        EXPECT_NEAR(offset, c.offset, 1e-9);
    }
}

TEST(StaOffGeometry, TransverseMercatorBase) {
    StaOff s;
    s.startLat = 34.0;
    s.startLon = -117.5;
    s.endLat = 34.01;
    s.endLon = -117.49;
    Datum datum;
    s.geoparm(&datum);
    double lat, lon;
    s.gridToGeo(0.0, 0.0, lat, lon);
    EXPECT_NEAR(lat, 34.0, 1e-10);
    EXPECT_NEAR(lon, -117.5, 1e-10);
    double station, offset;
    s.geoToGrid(s.endLat, s.endLon, station, offset);
    double dN = s.endNorth - s.startNorth, dE = s.endEast - s.startEast;
    EXPECT_NEAR(station, std::sqrt(dN * dN + dE * dE), 1e-8);
    EXPECT_NEAR(offset, 0.0, 1e-8);

    // West of the central meridian the base convergence is negative; with
    // coinciding ends (azimuth 0) the fmod keeps it negative.
    StaOff c;
    c.startLat = c.endLat = 34.0;
    c.startLon = c.endLon = -118.0;
    c.geoparm(&datum);
    EXPECT_EQ(c.sinAz, 0.0);
    EXPECT_EQ(c.cosAz, 1.0);
    double conv = c.converge(0, 0);
    EXPECT_LT(conv, -0.5);
    EXPECT_EQ(conv, c.baseProj->converge(c.startNorth, c.startEast));
}

TEST(StaOffConstruct, Defaults) {
    StaOff s;
    EXPECT_EQ(s.type, 6);
    EXPECT_EQ(text(s.general), "USER");
    EXPECT_EQ(text(s.specific), "StaOff");
    EXPECT_EQ(text(s.localProjName), "");
    EXPECT_EQ(s.sinAz, 0.0);
    EXPECT_EQ(s.cosAz, 1.0);
    EXPECT_EQ(s.startNorth, 0.0);
    EXPECT_EQ(s.endEast, 0.0);
    ASSERT_NE(s.baseProj, nullptr);
    EXPECT_EQ(s.baseProj->type, 0);
    EXPECT_EQ(s.editDialog(nullptr, nullptr), 0);
}

TEST(StaOffInitString, FormatAndRoundTrip) {
    StaOff s;
    std::snprintf(s.localProjName, sizeof s.localProjName, "Pipe,KP");
    s.startLat = 52.123456789012;
    s.startLon = -4.000000000001;
    s.endLat = -0.5;
    s.endLon = 179.999999999999;
    Projection tm;
    std::string str = gw::initString(s);
    EXPECT_EQ(str, "6,Pipe KP,52.123456789012,-4.000000000001,-0.500000000000,179.999999999999," +
                       gw::initString(tm));
    StaOff r(str.data());
    EXPECT_EQ(text(r.localProjName), "Pipe KP");
    EXPECT_EQ(r.startLat, 52.123456789012);
    EXPECT_EQ(r.startLon, -4.000000000001);
    EXPECT_EQ(r.endLat, -0.5);
    EXPECT_EQ(r.endLon, 179.999999999999);
    EXPECT_EQ(r.baseProj->type, 0);
    EXPECT_EQ(gw::initString(r), str);

    Projection env(str.data());
    ASSERT_EQ(env.type, 6);
    EXPECT_EQ(env.getFormat(), 2);
    EXPECT_EQ(gw::initString(env), str);

    for (const char* b : {"3,x,0,1,0,0,1,0,1,0,0,1,0,0,", "6,y,1,2,3,4,", "", "  "}) {
        SCOPED_TRACE(b);
        std::string init = std::string("6,L,1,2,3,4,") + b;
        StaOff q(init.data());
        EXPECT_EQ(q.baseProj->type, 0);
        EXPECT_EQ(q.endLon, 4.0);
    }
    std::string shortInit = "6,L,1,2";
    StaOff q(shortInit.data());
    EXPECT_EQ(q.startLon, 2.0);
    EXPECT_EQ(q.baseProj->type, 0);
}

TEST(StaOffSettings, SaveLoadKeysOrderAndNames) {
    TempDir dir;
    std::string file = dir.file("geo.ini");
    char section[] = "Geodesy";
    StaOff s;
    std::snprintf(s.localProjName, sizeof s.localProjName, "Cable");
    s.startLat = 34.0;
    s.startLon = -117.5;
    s.endLat = 34.25;
    s.endLon = -117.125;
    std::snprintf(s.specific, sizeof s.specific, "Cable route");
    s.saveData(section, file.data());
    std::vector<std::string> keys = sectionKeys(file, "Geodesy");
    std::vector<std::string> own = {"localProjName", "localCenterLat", "localCenterLon", "localEndLat",
                                    "localEndLon", "localGeodesyType", "projName"};
    ASSERT_GE(keys.size(), own.size() + 2);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + own.size()), own);
    EXPECT_EQ(keys[keys.size() - 2], "general");
    EXPECT_EQ(keys.back(), "specific");
    EXPECT_EQ(gw::iniGetString("Geodesy", "localCenterLon", "", file.c_str()), "-117.500000000000");
    EXPECT_EQ(gw::iniGetString("Geodesy", "localEndLat", "", file.c_str()), "34.250000000000");
    EXPECT_EQ(gw::iniGetString("Geodesy", "localGeodesyType", "", file.c_str()), "0");
    EXPECT_EQ(gw::iniGetString("Geodesy", "specific", "", file.c_str()), "Cable route");

    StaOff r;
    r.loadData(section, file.data());
    EXPECT_EQ(text(r.localProjName), "Cable");
    EXPECT_EQ(r.startLat, 34.0);
    EXPECT_EQ(r.startLon, -117.5);
    EXPECT_EQ(r.endLat, 34.25);
    EXPECT_EQ(r.endLon, -117.125);
    EXPECT_EQ(text(r.specific), "Cable route");
    // loading places the ends in the base grid; the direction waits for geoparm
    double n, e;
    r.baseProj->geoToGrid(34.0, -117.5, n, e);
    EXPECT_EQ(r.startNorth, n);
    EXPECT_EQ(r.startEast, e);
    EXPECT_EQ(r.cosAz, 1.0);
    Datum datum;
    r.geoparm(&datum);
    s.geoparm(&datum);
    EXPECT_EQ(r.sinAz, s.sinAz);
    EXPECT_EQ(r.cosAz, s.cosAz);

    char empty[] = "Empty";
    StaOff d;
    d.loadData(empty, file.data());
    EXPECT_EQ(text(d.localProjName), "StaOff");
    EXPECT_EQ(text(d.specific), "StaOff");
    EXPECT_EQ(d.endLat, 0.0);

    for (const char* code : {"3", "6"}) {
        gw::iniWriteString("Bad", "localGeodesyType", code, file.c_str());
        char bad[] = "Bad";
        StaOff b;
        b.loadData(bad, file.data());
        EXPECT_EQ(b.baseProj->type, 0) << code;
    }
}

TEST(StaOffCopy, DeepCopies) {
    std::string init = "6,A,1,2,3,4,5,Base,10,20,";
    auto* s = new StaOff(init.data());
    Datum datum;
    s->geoparm(&datum);
    Projection* c = s->clone();
    auto* sc = dynamic_cast<StaOff*>(c);
    ASSERT_NE(sc, nullptr);
    EXPECT_NE(sc->baseProj, s->baseProj);
    EXPECT_NE(sc->baseProj->inner, s->baseProj->inner);
    StaOff assigned;
    assigned = *s;
    double station1, offset1;
    s->geoToGrid(2.0, 3.0, station1, offset1);
    std::string str = gw::initString(*s);
    delete s;
    double station2, offset2;
    sc->geoToGrid(2.0, 3.0, station2, offset2);
    EXPECT_EQ(station2, station1);
    EXPECT_EQ(offset2, offset1);
    assigned.geoToGrid(2.0, 3.0, station2, offset2);
    EXPECT_EQ(station2, station1);
    EXPECT_EQ(gw::initString(assigned), str);
    delete c;
}

TEST(StaOffLines, Description) {
    std::string init = "6,Outfall,1,2,3,4,5,Base,10,20,";
    StaOff s(init.data());
    char lines[7][50];
    std::snprintf(lines[6], 50, "untouched");
    s.getLines(lines);
    const char* want[] = {"Outfall", "Local", "StaOff Line2", "StaOff Line3", "StaOff Line4",
                          "StaOff Line5", "untouched"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(text(lines[i]), want[i]) << i;
}

TEST(StaOffHostile, AbsurdValuesNeverCrash) {
    TempDir dir;
    std::string longText(10000, '7');
    const char* ownKeys[] = {"localCenterLat", "localCenterLon", "localEndLat", "localEndLon"};
    const char* baseKeys[] = {"projName", "originLon", "originLat", "falseNorth", "falseEast",
                              "scaleFactor", "units", "latOfOrigin", "lonOfOrigin", "firstParallel",
                              "secondParallel"};
    const char* values[] = {"nan", "1e308", "-1e308", "inf", "1e-320", longText.c_str()};
    Datum datum;
    int i = 0;
    for (const char* baseType : {"0", "1", "4", "5", "7", "6", longText.c_str()}) {
        size_t longest = 0;
        for (const char* v : values) {
            SCOPED_TRACE(testing::Message() << "base " << std::string(baseType).substr(0, 5) << " value "
                                            << std::string(v).substr(0, 8));
            std::string section = std::string("S").append(std::to_string(i++));
            // one small file per case keeps the writes quick
            std::string file = dir.file((section + ".ini").c_str());
            gwtest::writeLocalSystemSection(file, section, ownKeys, baseKeys, v, baseType, longText);
            StaOff s;
            s.loadData(section.data(), file.data());
            EXPECT_NE(s.baseProj->type, 6);
            EXPECT_EQ(std::string(s.localProjName).size(), 39u);
            EXPECT_EQ(std::string(s.specific).size(), 29u);
            s.geoparm(&datum);
            // the direction is a unit vector or the grid-north fallback
            EXPECT_FALSE(std::isnan(s.sinAz));
            EXPECT_LE(std::fabs(s.sinAz), 1.0 + 1e-15);
            double station, offset, lat, lon;
            s.geoToGrid(34.0, -117.0, station, offset);
            s.gridToGeo(100.0, -100.0, lat, lon);
            s.lineScale(0, 0, 1, 1);
            s.converge(5, 5);
            char lines[6][50];
            s.getLines(lines);
            for (auto& l : lines) EXPECT_LT(std::string(l).size(), 50u);
            s.saveData(section.data(), file.data());
            std::string str = gw::initString(s);
            longest = std::max(longest, str.size());
            StaOff r(str.data());
            r.geoparm(&datum);
            r.geoToGrid(34.0, -117.0, station, offset);
            char buf[GW_INIT_STR_MAX];
            s.getInitStr(buf);
            Projection env(buf);
            env.geoparm(&datum);
        }
        std::cout << "longest station/offset initialisation string over base type "
                  << std::string(baseType).substr(0, 5) << " with absurd values: " << longest << "\n";
    }
    // Coinciding ends placed at NaN and infinity: the grid-north fallback.
    for (double bad : {std::nan(""), HUGE_VAL, 1e308}) {
        StaOff s;
        s.startLat = s.endLat = bad;
        s.startLon = s.endLon = bad;
        s.geoparm(&datum);
        EXPECT_EQ(s.sinAz, 0.0);
        EXPECT_EQ(s.cosAz, 1.0);
    }
}

TEST(StaOffInitString, LengthWithNormalValues) {
    for (int baseType : {0, 1, 4, 5, 7}) {
        StaOff s;
        std::snprintf(s.localProjName, sizeof s.localProjName, "%s", std::string(39, 'N').c_str());
        s.startLat = -89.123456789012;
        s.startLon = -179.123456789012;
        s.endLat = -89.123456789012;
        s.endLon = -179.123456789012;
        s.baseProj->changeTo(baseType);
        std::string str = gw::initString(s);
        EXPECT_LT(str.size(), size_t(GW_INIT_STR_MAX));
        std::cout << "station/offset initialisation string over base type " << baseType
                  << " with normal values: " << str.size() << "\n";
    }
}

} // namespace
