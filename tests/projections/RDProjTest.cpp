// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// RD projection: fixed texts and names, the worked example, PROJ's oblique
// stereographic RD as the reference over the Netherlands, settings and
// initialisation-string round trips, and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "geodesy/Datum.h"
#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/RDProj.h"
#include "ProjPeer.h"
#include "ProjectionTestUtil.h"

namespace {

using gwtest::mut;

} // namespace

TEST(RDProj, ConstantsNamesAndTexts) {
    RDProj r;
    EXPECT_EQ(r.type, 7);
    EXPECT_STREQ(r.general, "USER");
    EXPECT_STREQ(r.specific, "RD Projection");
    EXPECT_STREQ(r.projName, "RD Projection");
    EXPECT_EQ(r.lat0, 52.15616056);
    EXPECT_EQ(r.lon0, 5.38763889);
    EXPECT_EQ(r.x0, 155000.0);
    EXPECT_EQ(r.y0, 463000.0);
    EXPECT_EQ(r.getUnits(), 0);
    EXPECT_EQ(r.getFormat(), 1);
    EXPECT_EQ(r.lineScale(1, 2, 3, 4), 1.0);
    EXPECT_EQ(r.converge(400000, 100000), 0.0);
    EXPECT_EQ(r.editDialog(nullptr, nullptr), 0);
    EXPECT_EQ(gw::initString(r), "7,RD Projection");

    char lines[6][50];
    for (auto& line : lines) std::strcpy(line, "untouched");
    r.getLines(lines);
    EXPECT_STREQ(lines[0], "RD - coordinates");
    EXPECT_STREQ(lines[1], "central point in map :");
    EXPECT_STREQ(lines[2], "x0 = 155000 m");
    EXPECT_STREQ(lines[3], "y0 = 463000 m");
    EXPECT_STREQ(lines[4], "");
    EXPECT_STREQ(lines[5], "");

    // The datum is ignored.
    Datum other;
    other.aAxis = 6377397.155;
    other.inverseFlattening = 299.1528128;
    other.update();
    RDProj s;
    s.geoparm(&other);
    double n1 = 0, e1 = 0, n2 = 0, e2 = 0;
    r.geoToGrid(52.5, 6.0, n1, e1);
    s.geoToGrid(52.5, 6.0, n2, e2);
    EXPECT_EQ(n1, n2);
    EXPECT_EQ(e1, e2);
}

TEST(RDProj, WorkedExamples) {
    RDProj r;
    double north = 0, east = 0, lat = 0, lon = 0;
    r.geoToGrid(52.15616056, 5.38763889, north, east);
    EXPECT_EQ(north, 463000.0);
    EXPECT_EQ(east, 155000.0);
    r.gridToGeo(463000.0, 155000.0, lat, lon);
    EXPECT_EQ(lat, 52.15616056);
    EXPECT_EQ(lon, 5.38763889);

    r.geoToGrid(52.0, 5.0, north, east);
    EXPECT_NEAR(north, 445698.804, 0.0005);
    EXPECT_NEAR(east, 128383.474, 0.0005);
    r.gridToGeo(north, east, lat, lon);
    EXPECT_NEAR(lat, 52.0, 1e-9);
    EXPECT_NEAR(lon, 5.0, 1e-9);
}

// Against the rigorous projection over the Netherlands (50.75..53.6 N, 3.3..7.3
// E): the forward series agree to 1e-3 m, the inverse to 1e-8 degrees, and the two
// series invert each other to 2e-9 degrees.
TEST(RDProj, AgreesWithTheObliqueStereographicGrid) {
    RDProj r;
    gwpeer::ProjOp peer(
        "+proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 +x_0=155000 +y_0=463000 "
        "+ellps=bessel");
    ASSERT_TRUE(peer.valid());
    for (double lat = 50.75; lat <= 53.6; lat += 0.15) {
        for (double lon = 3.3; lon <= 7.3; lon += 0.2) {
            double north = 0, east = 0, pn = 0, pe = 0;
            r.geoToGrid(lat, lon, north, east);
            peer.forward(lat, lon, pn, pe);
            EXPECT_NEAR(north, pn, 1e-3) << lat << " " << lon;
            EXPECT_NEAR(east, pe, 1e-3) << lat << " " << lon;
            double blat = 0, blon = 0;
            r.gridToGeo(pn, pe, blat, blon);
            EXPECT_NEAR(blat, lat, 1e-8) << lat << " " << lon;
            EXPECT_NEAR(blon, lon, 1e-8) << lat << " " << lon;
            r.gridToGeo(north, east, blat, blon);
            EXPECT_NEAR(blat, lat, 2e-9) << lat << " " << lon;
            EXPECT_NEAR(blon, lon, 2e-9) << lat << " " << lon;
        }
    }
}

TEST(RDProj, NamesInSettingsAndInitialisationString) {
    gwtest::TempDir dir;
    std::string file = dir.file("rd.ini");
    std::string section = "Geodesy";

    // An empty section gives the specific name "RDProj", unlike a new object.
    RDProj r;
    r.loadData(mut(section), mut(file));
    EXPECT_STREQ(r.general, "USER");
    EXPECT_STREQ(r.specific, "RDProj");

    char general[] = "Netherlands";
    char specific[] = "RD new";
    r.setTypeStr(general, specific);
    r.saveData(mut(section), mut(file));
    const std::vector<std::pair<std::string, std::string>> expected = {{"general", "Netherlands"},
                                                                       {"specific", "RD new"}};
    EXPECT_EQ(gwtest::sectionLines(file, section), expected);
    RDProj back;
    back.loadData(mut(section), mut(file));
    EXPECT_STREQ(back.general, "Netherlands");
    EXPECT_STREQ(back.specific, "RD new");

    const struct {
        const char* init;
        const char* name;
        const char* rewritten;
    } cases[] = {
        {"7,RD Projection", "RD Projection", "7,RD Projection"},
        {"7,Amersfoort grid,1,2,3", "Amersfoort grid", "7,Amersfoort grid"},
        {"7", "", "7,"},
        {"7,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefgh", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc",
         "7,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc"},
    };
    for (const auto& c : cases) {
        std::string text = c.init;
        RDProj p(mut(text));
        EXPECT_STREQ(p.projName, c.name) << c.init;
        EXPECT_STREQ(p.specific, "RD Projection") << c.init;
        EXPECT_EQ(p.lat0, 52.15616056);
        EXPECT_EQ(gw::initString(p), c.rewritten) << c.init;
        Projection env(mut(text));
        EXPECT_EQ(env.type, 7);
        EXPECT_EQ(env.getFormat(), 1);
        char out[GW_INIT_STR_MAX];
        env.getInitStr(out);
        EXPECT_STREQ(out, c.rewritten);
    }
}

TEST(RDProj, HostileInputIsContained) {
    std::string longText = "7," + std::string(10000, 'x') + ",nan";
    RDProj r(mut(longText));
    EXPECT_EQ(std::strlen(r.projName), 39u);
    const double inputs[] = {NAN, INFINITY, -INFINITY, 1e308, -1e308};
    for (double v : inputs) {
        double a = 0, b = 0;
        r.geoToGrid(v, v, a, b);
        r.gridToGeo(v, -v, a, b);
    }
    gwtest::TempDir dir;
    std::string file = dir.file("bad.ini");
    std::string section = "S";
    std::string huge(10000, 'y');
    gw::iniWriteString(section.c_str(), "general", huge.c_str(), file.c_str());
    gw::iniWriteString(section.c_str(), "specific", huge.c_str(), file.c_str());
    r.loadData(mut(section), mut(file));
    EXPECT_EQ(std::strlen(r.general), 29u);
    EXPECT_EQ(std::strlen(r.specific), 29u);
    r.saveData(mut(section), mut(file));
}
