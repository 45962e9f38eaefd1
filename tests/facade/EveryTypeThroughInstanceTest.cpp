// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Every projection type through the geodesy instance and its C functions: names,
// grid unit and conversion factor, position text, conversions, and the round trips
// through saveGeoData/loadGeoData and through the initialisation string.
//
// The expected grid texts are PROJ's grid values of the same projections (RD: the
// worked example), converted to the grid unit by hand; each lies at least 0.0005
// units (0.15 mm) from a rounding boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"
#include "gridwise/postext.h"
#include "gridwise/projection.h"
#include "gridwise/units.h"
#include "projections/ProjectionTestUtil.h"

namespace {

using gwtest::sectionLines;
using gwtest::TempDir;
using gwtest::writeFile;

constexpr double kFoot = 0.3048;
constexpr double kSurveyFoot = 0.30480060960121924;

struct TypeCase {
    const char* what;
    const char* keys; // the settings section
    int type;
    const char* general; // getInfo
    const char* specific;
    int plotUnits;
    double conversion; // getConversion
    double lat, lon;   // a point in the projection's domain
    const char* gridText; // psnToStr of that point in grid form
};

// Rotation by a quarter turn: local (north, east) = map (east, -north).
#define QUARTER_TURN                                                                                       \
    "localToENorth=1\nlocalToEEast=0\nlocalToEConst=0\nlocalToNNorth=0\nlocalToNEast=-1\nlocalToNConst=0\n" \
    "eToLocalNorth=-1\neToLocalEast=0\neToLocalConst=0\nnToLocalNorth=0\nnToLocalEast=1\nnToLocalConst=0\n"

const TypeCase kCases[] = {
    // On the central meridian of the default zone at the equator: (0, 500000 m).
    {"Transverse Mercator in feet", "GeodesyType=0\nunits=1\ngeneral=World\nspecific=UTM 11 ft\n", 0, "World",
     "UTM 11 ft", 1, kFoot, 0.0, -117.0, "N0.00ft\r\nE1640419.95ft"},
    // (92670.743, -70087.276) m in US survey feet.
    {"Lambert in US survey feet", "GeodesyType=1\nunits=2\ngeneral=California\nspecific=Zone 6\n", 1, "California",
     "Zone 6", 2, kSurveyFoot, 33.0, -117.0, "N304037.26ft\r\nE-229944.67ft"},
    {"Lambert, southern zone",
     "GeodesyType=1\nprojName=South\nfirstParallel=S30\nsecondParallel=S35\nlatOfOrigin=S32\nlonOfOrigin=E145\n"
     "falseNorth=10000000\nfalseEast=500000\n",
     1, "USER", "LAMBERT", 0, 1.0, -33.0, 146.0, "N9888770.12m\r\nE593366.69m"},
    // Map (1518959.78833, 2277728.69570) m turned a quarter, in US survey feet of the base.
    {"affine local over polar stereographic",
     "GeodesyType=3\nlocalProjName=Site\n" QUARTER_TURN "localGeodesyType=4\nunits=2\ngeneral=Plant\nspecific=Rotated\n",
     3, "Plant", "Rotated", 2, kSurveyFoot, 85.0, 30.0, "Y7472848.23ft\r\nX-4983453.91ft"},
    {"polar stereographic", "GeodesyType=4\n", 4, "USER", "Polar Stereo", 0, 1.0, 85.0, 30.0,
     "N1518959.79m\r\nE2277728.70m"},
    {"polar stereographic, south-polar aspect", "GeodesyType=4\nlatOfOrigin=S90\nspecific=UPS South\n", 4, "USER",
     "UPS South", 0, 1.0, -85.0, 30.0, "N2481040.21m\r\nE2277728.70m"},
    // The flat grid keeps the names it was built with.
    {"local tangent grid",
     "GeodesyType=5\nlocalProjName=Delft\nlocalCenterLat=52\nlocalCenterLon=4\ngeneral=Ignored\nspecific=Ignored\n", 5,
     "USER", "Local", 0, 1.0, 52.01, 4.01, "Y1112.68m\r\nX686.80m"},
    // Baseline from (85 N, 30 E) through the pole to (85 N, 150 W), rho = 555457.391 m
    // from the pole: the point (85 N, 120 E) lies at station rho, offset rho.
    {"station/offset over polar stereographic in feet",
     "GeodesyType=6\nlocalProjName=Line\nlocalCenterLat=85\nlocalCenterLon=30\nlocalEndLat=85\nlocalEndLon=-150\n"
     "localGeodesyType=4\nunits=1\ngeneral=Survey\nspecific=Line A\n",
     6, "Survey", "Line A", 1, kFoot, 85.0, 120.0, "S18223+66.77ft\r\nO1822366.77ft"},
    {"RD", "GeodesyType=7\ngeneral=Netherlands\n", 7, "Netherlands", "RDProj", 0, 1.0, 52.0, 5.0,
     "Y445698.80m\r\nX128383.47m"},
};

class EveryTypeThroughInstance : public ::testing::Test {
protected:
    void SetUp() override {
        unitsFile = dir.file("units.ini");
        file = dir.file("geo.ini");
        ASSERT_EQ(allocUnits(unitsFile.data()), 1);
        ASSERT_EQ(allocGeodetics(), 1);
    }
    void TearDown() override {
        deAllocGeodetics();
        deAllocUnits(unitsFile.data());
    }
    void load(const char* section) { loadGeoData(const_cast<char*>(section), file.data()); }
    void save(const char* section) { saveGeoData(const_cast<char*>(section), file.data()); }
    static std::string position(double lat, double lon) {
        char text[128];
        psnToStr(text, 0, lat, lon);
        return text;
    }

    TempDir dir;
    std::string unitsFile;
    std::string file;
};

} // namespace

TEST_F(EveryTypeThroughInstance, NamesUnitsTextConversionsAndRoundTrips) {
    for (const TypeCase& c : kCases) {
        SCOPED_TRACE(c.what);
        writeFile(file, std::string("[Job]\n") + c.keys);
        ASSERT_EQ(allocGeodetics(), 1);
        load("Job");
        Geodetics* g = gw::geodesyInstance();
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->projection->type, c.type);

        char general[30] = "", specific[30] = "";
        ASSERT_EQ(getInfo(general, specific), 1);
        EXPECT_STREQ(general, c.general);
        EXPECT_STREQ(specific, c.specific);
        EXPECT_EQ(getPlotUnits(), c.plotUnits);
        EXPECT_EQ(getConversion(), c.conversion);
        EXPECT_EQ(metersToPos(), 1.0 / c.conversion);

        // Grid values of the point, its grid text, and back.
        double north = 0, east = 0;
        geoToGrid(c.lat, c.lon, &north, &east);
        const std::string text = position(c.lat, c.lon);
        EXPECT_EQ(text, c.gridText);
        double lat = 0, lon = 0;
        gridToGeo(north, east, &lat, &lon);
        EXPECT_NEAR(lat, c.lat, 1e-8);
        EXPECT_NEAR(lon, c.lon, 1e-8);
        std::string readBack = text;
        strToPsn(readBack.data(), 0, &lat, &lon);
        double textNorth = 0, textEast = 0;
        geoToGrid(lat, lon, &textNorth, &textEast);
        const double textTol = 0.005 * c.conversion + 1e-6; // the text keeps 0.01 grid units
        EXPECT_NEAR(textNorth, north, textTol);
        EXPECT_NEAR(textEast, east, textTol);

        // The C functions forward scale and convergence unchanged.
        const double scale = lineScale(north, east, north + 100, east - 100);
        const double conv = converge(north, east);
        EXPECT_EQ(scale, g->projection->lineScale(north, east, north + 100, east - 100));
        EXPECT_EQ(conv, g->projection->converge(north, east));
        EXPECT_TRUE(std::isfinite(scale) && scale > 0.9 && scale < 1.1) << scale;
        EXPECT_TRUE(std::isfinite(conv)) << conv;

        // The initialisation string rebuilds the same projection.
        char init[GW_INIT_STR_MAX];
        g->projection->getInitStr(init);
        Projection rebuilt(init);
        rebuilt.geoparm(&g->datum);
        EXPECT_EQ(rebuilt.type, c.type);
        EXPECT_EQ(rebuilt.getUnits(), c.plotUnits);
        EXPECT_EQ(rebuilt.getFormat(), g->projection->getFormat());
        double n2 = 0, e2 = 0;
        rebuilt.geoToGrid(c.lat, c.lon, n2, e2);
        EXPECT_NEAR(n2, north, 1e-6);
        EXPECT_NEAR(e2, east, 1e-6);
        char again[GW_INIT_STR_MAX];
        rebuilt.getInitStr(again);
        EXPECT_STREQ(again, init);

        // saveGeoData and loadGeoData into a fresh instance restore it, and saving
        // that again writes the same section.
        save("Copy");
        ASSERT_EQ(allocGeodetics(), 1);
        load("Copy");
        g = gw::geodesyInstance();
        EXPECT_EQ(g->projection->type, c.type);
        char general2[30] = "", specific2[30] = "";
        ASSERT_EQ(getInfo(general2, specific2), 1);
        EXPECT_STREQ(general2, c.general);
        EXPECT_STREQ(specific2, c.specific);
        EXPECT_EQ(getPlotUnits(), c.plotUnits);
        double n3 = 0, e3 = 0;
        geoToGrid(c.lat, c.lon, &n3, &e3);
        EXPECT_NEAR(n3, north, 1e-6);
        EXPECT_NEAR(e3, east, 1e-6);
        EXPECT_EQ(position(c.lat, c.lon), c.gridText);
        EXPECT_EQ(converge(north, east), conv);
        save("Copy2");
        EXPECT_EQ(sectionLines(file, "Copy2"), sectionLines(file, "Copy"));
    }
}

// The local systems hand the working datum on to their base projection: over a
// base on the International ellipsoid they convert as that base does.
TEST_F(EveryTypeThroughInstance, LocalSystemsPassTheDatumToTheirBase) {
    const char* const datum = "aAxis=6378388.00\ninverseFlattening=297.000000\n";
    const char* const identity = "eToLocalEast=1\nlocalToEEast=1\nlocalToNNorth=1\nnToLocalNorth=1\n";
    const struct {
        const char* what;
        std::string local;
        std::string base;
    } cases[] = {
        {"affine local over Lambert", std::string("GeodesyType=3\n") + identity + "localGeodesyType=1\n",
         "GeodesyType=1\n"},
        {"affine local over polar stereographic", std::string("GeodesyType=3\n") + identity + "localGeodesyType=4\n",
         "GeodesyType=4\n"},
        // Start at the grid origin of the base, end due grid north of it.
        {"station/offset over Transverse Mercator",
         "GeodesyType=6\nlocalCenterLat=0\nlocalCenterLon=-117\nlocalEndLat=1\nlocalEndLon=-117\nlocalGeodesyType=0\n"
         "falseEast=0\n",
         "GeodesyType=0\nfalseEast=0\n"},
    };
    const double points[][2] = {{33.0, -117.0}, {85.0, 30.0}, {0.5, -116.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(file, "[Local]\n" + c.local + datum + "[Base]\n" + c.base + datum);
        for (const auto& p : points) {
            load("Base");
            double bn = 0, be = 0;
            geoToGrid(p[0], p[1], &bn, &be);
            load("Local");
            EXPECT_EQ(gw::geodesyInstance()->datum.aAxis, 6378388.0);
            double ln = 0, le = 0;
            geoToGrid(p[0], p[1], &ln, &le);
            EXPECT_NEAR(ln, bn, 1e-6) << p[0] << " " << p[1];
            EXPECT_NEAR(le, be, 1e-6) << p[0] << " " << p[1];
        }
    }
}
