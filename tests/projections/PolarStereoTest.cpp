// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Polar stereographic: defaults and text forms, the worked examples, both polar
// aspects against PROJ and GeographicLib, the pole point and the clamping frame,
// settings and initialisation-string round trips, and hostile input.
#include <gtest/gtest.h>

#include <GeographicLib/PolarStereographic.hpp>

#include <cmath>
#include <cstring>
#include <string>

#include "geodesy/Datum.h"
#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "projections/PolarStereo.h"
#include "ProjPeer.h"
#include "ProjectionTestUtil.h"

namespace {

using gwtest::ellipsoid;
using gwtest::mut;

} // namespace

TEST(PolarStereo, DefaultsAndTextForms) {
    PolarStereo p;
    EXPECT_EQ(p.type, 4);
    EXPECT_STREQ(p.general, "USER");
    EXPECT_STREQ(p.specific, "Polar Stereo");
    EXPECT_STREQ(p.projName, "Universal Polar Stereo");
    EXPECT_EQ(p.latOfOrigin, 90.0);
    EXPECT_EQ(p.lonOfOrigin, 0.0);
    EXPECT_EQ(p.falseNorth, 2000000.0);
    EXPECT_EQ(p.falseEast, 2000000.0);
    EXPECT_EQ(p.scaleFactor, 0.994);
    EXPECT_EQ(p.units, 0);
    EXPECT_EQ(p.stereoFactor, 0.0);
    EXPECT_EQ(p.getFormat(), 0);
    EXPECT_EQ(gw::initString(p), "4,Universal Polar Stereo,E000 00.0000,N90 00.0000,0.994000,2000000.000,2000000.000,0");

    const struct {
        int units;
        const char* north;
        const char* east;
        const char* last;
    } cases[] = {
        {0, "False N:2000000.0m  ", "False E:1500000.2m  ", "SF: 0.994000 , Units:Meters"},
        {1, "False N:6561679.8ft  ", "False E:4921260.7ft  ", "SF: 0.994000 , Units:Feet"},
        {2, "False N:6561666.7ft  ", "False E:4921250.8ft  ", "SF: 0.994000 , Units:US Survey Feet"},
        {7, "False N:2000000.0m  ", "False E:1500000.2m  ", "SF: 0.994000 , Units:"},
    };
    for (const auto& c : cases) {
        p.units = c.units;
        p.falseEast = 1500000.25;
        char lines[6][50];
        p.getLines(lines);
        EXPECT_STREQ(lines[0], "Universal Polar Stereo");
        EXPECT_STREQ(lines[1], "Origin Lat: N90 00.0000 ");
        EXPECT_STREQ(lines[2], "Origin Lon: E000 00.0000 ");
        EXPECT_STREQ(lines[3], c.north) << c.units;
        EXPECT_STREQ(lines[4], c.east) << c.units;
        EXPECT_STREQ(lines[5], c.last) << c.units;
        EXPECT_EQ(p.getUnits(), c.units);
    }
}

TEST(PolarStereo, WorkedExamplesOnTheDefaultDatum) {
    Datum d;
    PolarStereo p;
    p.geoparm(&d);
    EXPECT_NEAR(p.stereoFactor, 12713600.0986, 0.00005);

    const struct {
        double lat, lon, north, east;
    } cases[] = {
        {85.0, 30.0, 1518959.788, 2277728.696},
        {85.0, -150.0, 2481040.212, 1722271.304},
        {-85.0, 30.0, 1518959.788, 2277728.696}, // a southern latitude is taken as its mirror
        {60.0, 30.0, 890000.0, 3110000.0},       // pinned to the frame
        {0.0, 30.0, 2000000.0, 2000000.0},       // latitudes 0 and +-90 give the false origin
        {90.0, 30.0, 2000000.0, 2000000.0},
        {-90.0, 30.0, 2000000.0, 2000000.0},
    };
    for (const auto& c : cases) {
        double north = 0, east = 0;
        p.geoToGrid(c.lat, c.lon, north, east);
        EXPECT_NEAR(north, c.north, 0.0005) << c.lat << " " << c.lon;
        EXPECT_NEAR(east, c.east, 0.0005) << c.lat << " " << c.lon;
    }

    double north = 0, east = 0, lat = 0, lon = 0;
    p.geoToGrid(85.0, 30.0, north, east);
    p.gridToGeo(north, east, lat, lon);
    EXPECT_NEAR(lat, 85.0, 1e-8);
    EXPECT_NEAR(lon, 30.0, 1e-8);
    EXPECT_NEAR(p.converge(north, east), 30.0, 1e-8);
    p.geoToGrid(85.0, -150.0, north, east);
    p.gridToGeo(north, east, lat, lon);
    EXPECT_NEAR(lon, -150.0, 1e-9);

    // The longitude of origin is shown and stored only.
    PolarStereo q;
    q.lonOfOrigin = 45.0;
    q.geoparm(&d);
    double qn = 0, qe = 0;
    q.geoToGrid(85.0, 30.0, qn, qe);
    p.geoToGrid(85.0, 30.0, north, east);
    EXPECT_EQ(qn, north);
    EXPECT_EQ(qe, east);
}

TEST(PolarStereo, PolePointHasDefinedValues) {
    Datum d;
    for (double origin : {90.0, -90.0}) {
        PolarStereo p;
        p.latOfOrigin = origin;
        p.geoparm(&d);
        double lat = 1, lon = 1;
        p.gridToGeo(2000000.0, 2000000.0, lat, lon);
        EXPECT_EQ(lat, 0.0);
        EXPECT_EQ(lon, 0.0);
        EXPECT_EQ(p.converge(2000000.0, 2000000.0), 0.0);
        // Latitude 0 in the point scale: k0 C / a.
        EXPECT_NEAR(p.lineScale(2000000.0, 2000000.0, 2000000.0, 2000000.0), 0.994 * p.stereoFactor / d.aAxis,
                    1e-12);
        // A hair from the pole the latitude is the pole, not NaN, and the scale is k0.
        const double hair = std::nextafter(2000000.0, 3e6);
        p.gridToGeo(hair, 2000000.0, lat, lon);
        EXPECT_EQ(std::fabs(lat), 90.0);
        EXPECT_TRUE(std::isfinite(lon));
        EXPECT_NEAR(p.lineScale(hair, 2000000.0, 2000000.0, hair), 0.994, 1e-12);
        EXPECT_NEAR(p.lineScale(2000100.0, 2000000.0, 2000000.0, 2000100.0), 0.994, 1e-9);
    }
}

// Both aspects on three ellipsoids and scale factors against PROJ's stere
// (forward to 1e-8 m, inverse to 6e-9 degrees of latitude: the Newton iteration
// stops within 1e-10 rad) and GeographicLib's PolarStereographic (convergence and
// point scale, k0 included).
TEST(PolarStereo, AgreesWithPeers) {
    const struct Case {
        double origin, k0, a, rf;
    } cases[] = {
        {90.0, 0.994, 6378137.0, 298.257222},
        {-90.0, 0.994, 6378137.0, 298.257222},
        {90.0, 1.0, 6378388.0, 297.0},
        {-90.0, 0.97276901289, 6378137.0, 298.257223563},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "origin " << c.origin << " k0 " << c.k0);
        Datum d = ellipsoid(c.a, c.rf);
        PolarStereo p;
        p.latOfOrigin = c.origin;
        p.scaleFactor = c.k0;
        p.geoparm(&d);
        char def[300];
        std::snprintf(def, sizeof def,
                      "+proj=stere +lat_0=%.17g +k=%.17g +x_0=2000000 +y_0=2000000 +a=%.17g +rf=%.17g", c.origin,
                      c.k0, c.a, c.rf);
        gwpeer::ProjOp peer(def);
        ASSERT_TRUE(peer.valid());
        GeographicLib::PolarStereographic geo(c.a, 1 / c.rf, c.k0);
        const bool north = c.origin > 0;
        int checked = 0;
        for (double mag = 66.0; mag < 90.0; mag += 1.25) {
            for (double lon = -177.0; lon < 180.0; lon += 11.0) {
                const double lat = north ? mag : -mag;
                double pn = 0, pe = 0;
                peer.forward(lat, lon, pn, pe);
                if (std::fmin(pn, pe) < 890000.0 || std::fmax(pn, pe) > 3110000.0) continue; // outside the frame
                double gn = 0, ge = 0;
                p.geoToGrid(lat, lon, gn, ge);
                EXPECT_NEAR(gn, pn, 1e-8) << lat << " " << lon;
                EXPECT_NEAR(ge, pe, 1e-8) << lat << " " << lon;
                double blat = 0, blon = 0;
                p.gridToGeo(pn, pe, blat, blon);
                EXPECT_NEAR(blat, lat, 6e-9) << lat << " " << lon;
                EXPECT_NEAR(blon, lon, 1e-11) << lat << " " << lon;
                double x = 0, y = 0, gamma = 0, k = 0;
                geo.Forward(north, lat, lon, x, y, gamma, k);
                EXPECT_NEAR(p.converge(gn, ge), gamma, 1e-11) << lat << " " << lon;
                EXPECT_NEAR(p.lineScale(gn, ge, gn, ge), k, 1e-10 * k) << lat << " " << lon;
                ++checked;
            }
        }
        EXPECT_GT(checked, 200);
    }
}

TEST(PolarStereo, SouthernAspectMirrorsTheNorthern) {
    Datum d;
    PolarStereo n;
    PolarStereo s;
    s.latOfOrigin = -90.0;
    n.geoparm(&d);
    s.geoparm(&d);
    double nn = 0, ne = 0, sn = 0, se = 0, lat = 0, lon = 0;
    n.geoToGrid(85.0, 30.0, nn, ne);
    s.geoToGrid(-85.0, 30.0, sn, se);
    EXPECT_NEAR(sn - 2000000.0, -(nn - 2000000.0), 1e-9);
    EXPECT_EQ(se, ne);
    s.gridToGeo(sn, se, lat, lon);
    EXPECT_NEAR(lat, -85.0, 1e-8);
    EXPECT_NEAR(lon, 30.0, 1e-9);
    EXPECT_NEAR(s.converge(sn, se), -30.0, 1e-9);
    s.geoToGrid(-60.0, 30.0, sn, se); // pinned to the same frame
    EXPECT_EQ(sn, 3110000.0);
    EXPECT_EQ(se, 3110000.0);
}

TEST(PolarStereo, SettingsRoundTripInKeyOrder) {
    gwtest::TempDir dir;
    std::string file = dir.file("ups.ini");
    std::string section = "Geodesy";
    PolarStereo p;
    gw::copyBounded(p.projName, "Antarctic", sizeof p.projName);
    p.lonOfOrigin = -45.5;
    p.latOfOrigin = -71.0;
    p.scaleFactor = 0.9727690128;
    p.falseNorth = 1234.5678;
    p.falseEast = 3000000.0004;
    p.units = 1;
    char general[] = "Polar";
    char specific[] = "South";
    p.setTypeStr(general, specific);
    p.saveData(mut(section), mut(file));

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"projName", "Antarctic"},      {"lonOfOrigin", "W045 30.0000"}, {"latOfOrigin", "S71 00.0000"},
        {"scaleFactor", "0.9727690128"}, {"falseNorth", "1234.5678"},    {"falseEast", "3000000.0004"},
        {"units", "1"},                 {"general", "Polar"},            {"specific", "South"},
    };
    EXPECT_EQ(gwtest::sectionLines(file, section), expected);

    PolarStereo r;
    r.loadData(mut(section), mut(file));
    EXPECT_STREQ(r.projName, "Antarctic");
    EXPECT_EQ(r.lonOfOrigin, -45.5);
    EXPECT_EQ(r.latOfOrigin, -71.0);
    EXPECT_EQ(r.scaleFactor, 0.9727690128);
    EXPECT_EQ(r.falseNorth, 1234.5678);
    EXPECT_EQ(r.falseEast, 3000000.0004);
    EXPECT_EQ(r.units, 1);
    EXPECT_STREQ(r.general, "Polar");
    EXPECT_STREQ(r.specific, "South");

    std::string empty = "Nothing";
    PolarStereo e;
    e.scaleFactor = 1.0;
    e.latOfOrigin = 0.0;
    e.loadData(mut(empty), mut(file));
    EXPECT_STREQ(e.projName, "Universal Polar Stereo");
    EXPECT_EQ(e.lonOfOrigin, 0.0);
    EXPECT_NEAR(e.latOfOrigin, 90.0, 1e-12);
    EXPECT_EQ(e.scaleFactor, 0.994);
    EXPECT_EQ(e.falseNorth, 2000000.0);
    EXPECT_EQ(e.falseEast, 2000000.0);
    EXPECT_EQ(e.units, 0);
    EXPECT_STREQ(e.general, "USER");
    EXPECT_STREQ(e.specific, "Polar Stereo");
}

TEST(PolarStereo, InitialisationStringRoundTrip) {
    const struct {
        const char* init;
        const char* name;
        double lon0, lat0, k0, fn, fe;
        int units;
        const char* rewritten;
    } cases[] = {
        {"4,Universal Polar Stereo,E000 00.0000,N90 00.0000,0.994000,2000000.000,2000000.000,0",
         "Universal Polar Stereo", 0, 90, 0.994, 2000000, 2000000, 0,
         "4,Universal Polar Stereo,E000 00.0000,N90 00.0000,0.994000,2000000.000,2000000.000,0"},
        {"4,South,W045 30.0000,S90 00.0000,0.972769,1000000.125,3000000.000,2", "South", -45.5, -90, 0.972769,
         1000000.125, 3000000, 2, "4,South,W045 30.0000,S90 00.0000,0.972769,1000000.125,3000000.000,2"},
        {"4,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefgh,E10,N90,1,1000.5m,2km,1",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc", 10, 90, 1.0, 1000.5, 2000, 1,
         "4,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abc,E010 00.0000,N90 00.0000,1.000000,1000.500,2000.000,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.init);
        std::string text = c.init;
        PolarStereo p(mut(text));
        EXPECT_STREQ(p.projName, c.name);
        EXPECT_NEAR(p.lonOfOrigin, c.lon0, 1e-12);
        EXPECT_NEAR(p.latOfOrigin, c.lat0, 1e-12);
        EXPECT_EQ(p.scaleFactor, c.k0);
        EXPECT_NEAR(p.falseNorth, c.fn, 1e-9);
        EXPECT_NEAR(p.falseEast, c.fe, 1e-9);
        EXPECT_EQ(p.units, c.units);
        EXPECT_STREQ(p.general, "USER");
        EXPECT_STREQ(p.specific, "Polar Stereo");
        EXPECT_EQ(gw::initString(p), c.rewritten);

        Projection env(mut(text));
        EXPECT_EQ(env.type, 4);
        char out[GW_INIT_STR_MAX];
        env.getInitStr(out);
        EXPECT_STREQ(out, c.rewritten);
    }
}

TEST(PolarStereo, HostileInputIsContained) {
    gwtest::TempDir dir;
    std::string file = dir.file("bad.ini");
    std::string longText(10000, 'x');
    const char* keys[] = {"projName",  "lonOfOrigin", "latOfOrigin", "scaleFactor", "falseNorth",
                          "falseEast", "units",       "general",     "specific"};
    const char* values[][9] = {
        {"", "nan", "nan", "nan", "nan", "nan", "nan", "", ""},
        {"a", "1e308", "-1e308", "1e308", "1e308", "-1e308", "99999999999", "g", "s"},
        {"b", "E0", "S90", "0", "0", "0", "-99999999999", "g", "s"},
        {"c", "E0", "N0", "-1", "inf", "-inf", "3", "g", "s"},
        {"d", "inf", "-inf", "inf", "2000000", "2000000", "100", "g", "s"},
    };
    Datum datum;
    int row = 0;
    for (const auto& v : values) {
        std::string section = "S" + std::to_string(row++);
        for (int i = 0; i < 9; ++i) gw::iniWriteString(section.c_str(), keys[i], v[i], file.c_str());
        PolarStereo p;
        p.loadData(mut(section), mut(file));
        p.geoparm(&datum);
        double n = 0, e = 0, lat = 0, lon = 0;
        p.geoToGrid(75.0, 10.0, n, e);
        p.gridToGeo(n, e, lat, lon);
        p.gridToGeo(1e308, -1e308, lat, lon);
        p.gridToGeo(1e-300, 0.0, lat, lon);
        p.converge(n, e);
        p.lineScale(n, e, 0.0, 0.0);
        char lines[6][50] = {};
        p.getLines(lines);
        for (const auto& line : lines) EXPECT_LT(std::strlen(line), 50u);
        std::string init = gw::initString(p);
        PolarStereo again(mut(init));
        std::string out = section + "out";
        p.saveData(mut(out), mut(file));
        again.loadData(mut(out), mut(file));
    }

    const std::string inits[] = {
        "4," + longText + ",E0,N90,0.994,1e308,nan,99999999999",
        "4",
        "4,,,,,,,,,,,,,,,",
        "4,x,E0,S45,0,-1e308,1e308,-99999999999",
        "4,y,nan,inf,-inf," + longText + "," + longText + ",1",
    };
    for (const std::string& text : inits) {
        std::string copy = text;
        PolarStereo p(mut(copy));
        EXPECT_LT(std::strlen(p.projName), 40u);
        p.geoparm(&datum);
        double n = 0, e = 0, lat = 0, lon = 0;
        p.geoToGrid(-75.0, 170.0, n, e);
        p.gridToGeo(n, e, lat, lon);
        p.converge(n, e);
        p.lineScale(n, e, 1.0, 2.0);
        char lines[6][50] = {};
        p.getLines(lines);
        for (const auto& line : lines) EXPECT_LT(std::strlen(line), 50u);
        EXPECT_LT(gw::initString(p).size(), static_cast<std::size_t>(GW_INIT_STR_MAX));
        std::string section = "init";
        p.saveData(mut(section), mut(file));
    }
}
