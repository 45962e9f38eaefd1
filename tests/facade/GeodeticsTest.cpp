// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The geodesy object and its C interface: settings order and round trip, defaults,
// projection type fallbacks, track memory, unit conversion, copies, and the
// behaviour without an instance.
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"
#include "gridwise/units.h"
#include "support/SettingsFiles.h"

namespace {

using gwtest::keysOf;
using gwtest::sectionLines;
using gwtest::TempDir;
using gwtest::writeFile;

class GeodeticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(allocGeodetics(), 1);
        g = gw::geodesyInstance();
        ASSERT_NE(g, nullptr);
    }
    void TearDown() override { deAllocGeodetics(); }

    void load(const char* section, const std::string& file) {
        loadGeoData(const_cast<char*>(section), const_cast<char*>(file.c_str()));
    }
    void save(const char* section, const std::string& file) {
        saveGeoData(const_cast<char*>(section), const_cast<char*>(file.c_str()));
    }

    TempDir dir;
    Geodetics* g = nullptr;
};

const char* const kDatumKeys[] = {"aAxis",  "inverseFlattening", "deltaX",      "deltaY",
                                  "deltaZ", "scalar",            "rotX",        "rotY",
                                  "rotZ",   "ellipseName",       "datumName"};

// A UTM zone 31 grid on the International ellipsoid with a shift to WGS 84,
// grid text in US survey feet.
const char* const kUtm31Intl = "[Survey]\n"
                               "GeodesyType=0\n"
                               "projName=UTM 31\n"
                               "originLon=E003 00.0000\n"
                               "originLat=N00 00.0000\n"
                               "falseNorth=0.000\n"
                               "falseEast=500000.000\n"
                               "scaleFactor=0.999600\n"
                               "units=2\n"
                               "general=Europe\n"
                               "specific=UTM 31 Intl\n"
                               "aAxis=6378388.00\n"
                               "inverseFlattening=297.000000\n"
                               "deltaX=-87.00\n"
                               "deltaY=-98.00\n"
                               "deltaZ=-121.00\n"
                               "scalar=0.0000000000\n"
                               "rotX=0.0000000000\n"
                               "rotY=0.0000000000\n"
                               "rotZ=0.0000000000\n"
                               "ellipseName=International 1924\n"
                               "datumName=ED50\n";

} // namespace

TEST_F(GeodeticsTest, MissingSectionGivesDefaultsAndDerivesTheProjectionFromTheDatum) {
    const std::string file = dir.file("geo.ini");
    writeFile(file, "[Other]\nGeodesyType=1\naAxis=6378388.00\n");
    // Spoil the instance first, so that the load has something to undo.
    g->projection->changeTo(1);
    g->datum.aAxis = 6378388.0;
    g->datum.update();

    load("Survey", file);
    EXPECT_EQ(g->projection->type, 0);
    EXPECT_EQ(g->datum.aAxis, 6378137.0);
    EXPECT_EQ(g->datum.inverseFlattening, 298.257222);
    EXPECT_STREQ(g->datum.ellipseName, "WGS 84");
    EXPECT_STREQ(g->datum.datumName, "WGS 84");
    char general[30] = "", specific[30] = "";
    ASSERT_EQ(getInfo(general, specific), 1);
    EXPECT_STREQ(general, "USER");
    EXPECT_STREQ(specific, "Transverse Mercator");

    // UTM zone 11 on WGS 84: the projection took its constants from the datum.
    const GeographicLib::TransverseMercator tm(6378137.0, 1 / 298.257222, 0.9996);
    double x, y;
    tm.Forward(-117.0, 34.0, -116.0, x, y);
    double north = 0, east = 0;
    geoToGrid(34.0, -116.0, &north, &east);
    EXPECT_NEAR(north, y, 0.02); // the series is good to a few mm a degree from the meridian
    EXPECT_NEAR(east, x + 500000.0, 0.02);
}

TEST_F(GeodeticsTest, LoadedDatumReachesTheProjection) {
    const std::string file = dir.file("geo.ini");
    writeFile(file, kUtm31Intl);
    load("Survey", file);
    EXPECT_EQ(g->datum.aAxis, 6378388.0);
    EXPECT_EQ(g->datum.deltaX, -87.0);
    EXPECT_STREQ(g->datum.datumName, "ED50");
    EXPECT_EQ(getPlotUnits(), 2);

    // Reference grid values of the same point on the two ellipsoids differ by
    // about 120 m; the result must match the International one.
    double north = 0, east = 0;
    geoToGrid(52.0, 4.0, &north, &east);
    EXPECT_NEAR(north, 5761630.1073, 0.02);
    EXPECT_NEAR(east, 568653.0120, 0.02);
    double lat = 0, lon = 0;
    gridToGeo(north, east, &lat, &lon);
    EXPECT_NEAR(lat, 52.0, 1e-8);
    EXPECT_NEAR(lon, 4.0, 1e-8);
    EXPECT_EQ(lineScale(north, east, north + 100, east + 100),
              g->projection->lineScale(north, east, north + 100, east + 100));
    EXPECT_EQ(converge(north, east), g->projection->converge(north, east));
    EXPECT_GT(converge(north, east), 0.7); // about (4 - 3) sin 52 degrees
}

TEST_F(GeodeticsTest, SaveWritesTypeThenProjectionThenDatumKeys) {
    const std::string file = dir.file("out.ini");
    g->projection->changeTo(1);
    g->projection->geoparm(&g->datum);
    save("Job", file);
    const auto lines = sectionLines(file, "Job");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], (std::pair<std::string, std::string>("GeodesyType", "1")));
    const std::vector<std::string> lambertKeys = {
        "projName",       "latOfOrigin", "lonOfOrigin", "falseNorth", "falseEast", "firstParallel",
        "secondParallel", "units",       "general",     "specific"};
    std::vector<std::string> expected = {"GeodesyType"};
    expected.insert(expected.end(), lambertKeys.begin(), lambertKeys.end());
    expected.insert(expected.end(), std::begin(kDatumKeys), std::end(kDatumKeys));
    EXPECT_EQ(keysOf(lines), expected);
}

TEST_F(GeodeticsTest, SaveThenLoadRestoresProjectionAndDatum) {
    const std::string file = dir.file("geo.ini");
    struct Case {
        const char* name;
        std::string section;
    };
    const Case cases[] = {
        {"UTM 31 on International", kUtm31Intl},
        {"Lambert with a shifted datum", "[Survey]\nGeodesyType=1\nlatOfOrigin=N46 30.0000\n"
                                         "lonOfOrigin=E003 00.0000\nfalseNorth=6600000.000\n"
                                         "falseEast=700000.000\nfirstParallel=N44 00.0000\n"
                                         "secondParallel=N49 00.0000\nunits=1\n"
                                         "general=France\nspecific=Lambert 93\n"
                                         "aAxis=6378137.00\ninverseFlattening=298.257222\n"
                                         "deltaX=1.50\nrotZ=0.0000100000\nscalar=0.0000012000\n"
                                         "datumName=RGF93\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(file, c.section);
        load("Survey", file);
        double n1 = 0, e1 = 0;
        geoToGrid(47.1, 2.3, &n1, &e1);
        save("Copy", file);

        ASSERT_EQ(allocGeodetics(), 1);
        g = gw::geodesyInstance();
        load("Copy", file);
        double n2 = 0, e2 = 0;
        geoToGrid(47.1, 2.3, &n2, &e2);
        EXPECT_NEAR(n2, n1, 1e-6);
        EXPECT_NEAR(e2, e1, 1e-6);
        save("Copy2", file);
        EXPECT_EQ(sectionLines(file, "Copy2"), sectionLines(file, "Copy"));
        char general[30], specific[30];
        getInfo(general, specific);
        const auto lines = sectionLines(file, "Survey");
        for (const auto& kv : lines) {
            if (kv.first == "specific") {
                EXPECT_EQ(kv.second, specific);
            }
        }
    }
}

TEST_F(GeodeticsTest, GeodesyTypeCodes) {
    const std::string file = dir.file("types.ini");
    // code read, type held afterwards, grid text style
    const struct {
        const char* value;
        int type;
        int format;
    } cases[] = {
        {"0", 0, 0},  {"1", 1, 0},  {"2", 0, 0},   {"3", 3, 1},   {"4", 4, 0},
        {"5", 5, 1},  {"6", 6, 2},  {"7", 7, 1},   {"8", 0, 0},   {"-1", 0, 0},
        {"99", 0, 0}, {"abc", 0, 0}, {" 4", 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        writeFile(file, std::string("[S]\nGeodesyType=") + c.value + "\n");
        load("S", file);
        EXPECT_EQ(g->projection->type, c.type);
        EXPECT_EQ(g->getFormat(), c.format);
    }
}

TEST_F(GeodeticsTest, KeysMatchWithoutRegardToCase) {
    const std::string file = dir.file("case.ini");
    writeFile(file, "[survey]\ngeodesytype=1\nAAXIS=6378388.00\n");
    load("Survey", file);
    EXPECT_EQ(g->projection->type, 1);
    EXPECT_EQ(g->datum.aAxis, 6378388.0);
}

TEST_F(GeodeticsTest, TrackMemory) {
    double lat1, lon1, lat2, lon2;
    int active;
    auto all = [&] { getLatLonTrack(lat1, lon1, lat2, lon2, active); };

    all();
    EXPECT_EQ(lat1, 0.0);
    EXPECT_EQ(lon2, 0.0);
    EXPECT_EQ(active, 0);

    setLatLonTrack(52.0, 4.0, -1); // active pair 0: first pair
    all();
    EXPECT_EQ(lat1, 52.0);
    EXPECT_EQ(lon1, 4.0);
    EXPECT_EQ(lat2, 0.0);

    setLatLonTrack(53.0, 5.0, 1); // only switches to the second pair
    all();
    EXPECT_EQ(active, 1);
    EXPECT_EQ(lat1, 52.0);
    EXPECT_EQ(lat2, 0.0);

    setLatLonTrack(53.0, 5.0, 1); // the active pair: stored
    setLatLonTrack(54.0, 6.0, -1);
    all();
    EXPECT_EQ(lat2, 54.0);
    EXPECT_EQ(lon2, 6.0);
    EXPECT_EQ(lat1, 52.0);

    setLatLonTrack(1.0, 2.0, 7); // any other non-zero value selects the second pair too
    setLatLonTrack(1.0, 2.0, 7);
    all();
    EXPECT_EQ(active, 7);
    EXPECT_EQ(lat2, 1.0);

    double lat = 0, lon = 0; // the plain form always gives the first pair
    getLatLonTrack(&lat, &lon);
    EXPECT_EQ(lat, 52.0);
    EXPECT_EQ(lon, 4.0);
    getLatLonTrack(nullptr, nullptr);
}

TEST_F(GeodeticsTest, PlotUnitsAndConversion) {
    const std::string file = dir.file("units.ini");
    // "units" value, getPlotUnits, getConversion (unused or outside records: metres)
    const struct {
        const char* units;
        int plot;
        double conversion;
    } cases[] = {
        {"0", 0, 1.0}, {"1", 1, 0.3048}, {"2", 2, 0.30480060960121924}, {"3", 3, 1000.0},
        {"4", 4, 1852.0}, {"7", 7, 1.0}, {"42", 42, 1.0}, {"-3", -3, 1.0},
    };
    for (int withUnits = 0; withUnits < 2; ++withUnits) {
        const std::string unitsFile = dir.file("units-object.ini");
        if (withUnits) {
            ASSERT_EQ(allocUnits(const_cast<char*>(unitsFile.c_str())), 1);
        }
        for (const auto& c : cases) {
            SCOPED_TRACE(c.units);
            writeFile(file, std::string("[S]\nunits=") + c.units + "\n");
            load("S", file);
            EXPECT_EQ(getPlotUnits(), c.plot);
            EXPECT_EQ(getConversion(), c.conversion);
        }
        if (withUnits)
            deAllocUnits(const_cast<char*>(unitsFile.c_str()));
    }
}

TEST_F(GeodeticsTest, DatumAndGeodesicWrappersForwardInOrder) {
    const std::string file = dir.file("geo.ini");
    writeFile(file, kUtm31Intl);
    load("Survey", file);
    Datum& d = g->datum;

    double la = 9, lo = 9, h = -5, rla, rlo, rh = -5;
    workingToWgs84(52.0, 4.0, 0.0, &la, &lo, &h);
    d.workingToWgs84(52.0, 4.0, 0.0, rla, rlo, rh);
    EXPECT_EQ(la, rla);
    EXPECT_EQ(lo, rlo);
    EXPECT_EQ(h, rh);
    EXPECT_GT(std::abs(la - 52.0), 1e-4); // the shift did something

    double back = 9, backLon = 9, hOut = 123.0;
    wgs84ToWorking(la, lo, 0.0, &back, &backLon, &hOut);
    EXPECT_NEAR(back, 52.0, 1e-7);
    EXPECT_NEAR(backLon, 4.0, 1e-7);
    EXPECT_EQ(hOut, 123.0);
    wgs84ToWorking(la, lo, 0.0, nullptr, nullptr, nullptr);
    workingToWgs84(la, lo, 0.0, nullptr, nullptr, nullptr);

    // direct(lat1, lon1, azimuth, distance) then inverse(lat1, lon1, lat2, lon2).
    const GeographicLib::Geodesic ref(6378388.0, 1 / 297.0);
    double lat2 = 0, lon2 = 0;
    direct(52.0, 4.0, 30.0, 12000.0, &lat2, &lon2);
    double rLat2, rLon2;
    ref.Direct(52.0, 4.0, 30.0, 12000.0, rLat2, rLon2);
    EXPECT_NEAR(lat2, rLat2, 1e-7);
    EXPECT_NEAR(lon2, rLon2, 1e-7);
    double az = 0, dist = 0;
    inverse(52.0, 4.0, lat2, lon2, &az, &dist);
    EXPECT_NEAR(az, 30.0, 1e-6);
    EXPECT_NEAR(dist, 12000.0, 0.01);
    direct(52.0, 4.0, 30.0, 12000.0, nullptr, nullptr);
    inverse(52.0, 4.0, lat2, lon2, nullptr, nullptr);
}

TEST_F(GeodeticsTest, GetInfoWritesAtMostThirtyBytes) {
    const std::string file = dir.file("names.ini");
    const std::string longName(60, 'g');
    writeFile(file, "[S]\ngeneral=" + longName + "\nspecific=" + std::string(60, 's') + "\n");
    load("S", file);
    char general[64], specific[64];
    std::memset(general, '#', sizeof general);
    std::memset(specific, '#', sizeof specific);
    ASSERT_EQ(getInfo(general, specific), 1);
    EXPECT_LE(std::strlen(general), 29u);
    EXPECT_LE(std::strlen(specific), 29u);
    EXPECT_EQ(std::string(general), std::string(std::strlen(general), 'g'));
    for (size_t i = 30; i < sizeof general; ++i) {
        EXPECT_EQ(general[i], '#');
        EXPECT_EQ(specific[i], '#');
    }
    EXPECT_EQ(getInfo(nullptr, specific), 1);
}

TEST_F(GeodeticsTest, CopiesOwnTheirProjection) {
    g->projection->changeTo(1);
    g->projection->geoparm(&g->datum);
    g->lat2 = 3.0;
    {
        Geodetics copy(*g);
        EXPECT_NE(copy.projection, g->projection);
        EXPECT_EQ(copy.projection->type, 1);
        EXPECT_EQ(copy.lat2, 3.0);
        Geodetics assigned;
        assigned = *g;
        EXPECT_NE(assigned.projection, g->projection);
        EXPECT_EQ(assigned.projection->type, 1);
        assigned = assigned; // self-assignment keeps the projection
        EXPECT_EQ(assigned.projection->type, 1);
        g->projection->changeTo(5);
        EXPECT_EQ(copy.projection->type, 1);
        EXPECT_EQ(assigned.projection->type, 1);
        double n1, e1, n2, e2;
        copy.geoToGrid(46.0, 3.0, n1, e1);
        assigned.geoToGrid(46.0, 3.0, n2, e2);
        EXPECT_EQ(n1, n2);
        EXPECT_EQ(e1, e2);
    } // both destroyed here; the instance's projection must survive
    EXPECT_EQ(g->projection->type, 5);
}

TEST_F(GeodeticsTest, EditDialogWithoutADialogToShowChangesNothing) {
    Projection* before = g->projection;
    const double a = g->datum.aAxis;
    EXPECT_EQ(editDialog(nullptr), 0);
    EXPECT_EQ(g->projection, before);
    EXPECT_EQ(g->datum.aAxis, a);
}

TEST_F(GeodeticsTest, AllocReplacesAnExistingInstance) {
    const std::string file = dir.file("geo.ini");
    writeFile(file, kUtm31Intl);
    load("Survey", file);
    setLatLonTrack(1.0, 2.0, -1);
    ASSERT_EQ(allocGeodetics(), 1);
    Geodetics* fresh = gw::geodesyInstance();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->datum.aAxis, 6378137.0);
    EXPECT_EQ(fresh->lat1, 0.0);
    EXPECT_EQ(getPlotUnits(), 0);
}

// Sections of absurd values (for every projection type) load, convert both ways,
// describe themselves and save without crashing or hanging; names are cut to
// their fields.
TEST_F(GeodeticsTest, AbsurdSectionsLoadConvertAndSave) {
    const std::string file = dir.file("absurd.ini");
    const char* const numberKeys[] = {
        "originLon",  "originLat",      "falseNorth",     "falseEast",      "scaleFactor", "units",
        "latOfOrigin", "lonOfOrigin",   "firstParallel",  "secondParallel", "localCenterLat",
        "localCenterLon", "localEndLat", "localEndLon",   "aAxis",          "inverseFlattening",
        "deltaX", "deltaY", "deltaZ", "scalar", "rotX", "rotY", "rotZ"};
    const char* const nameKeys[] = {"projName", "localProjName", "general", "specific", "ellipseName",
                                    "datumName"};
    const std::string longName(10000, 'n');
    const char* const values[] = {"nan", "1e308", "-1e308", "inf", "0", "1", "-0.000001", "x"};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const char* value : values)
        for (int type : {0, 1, 3, 4, 5, 6, 7}) {
            SCOPED_TRACE(std::string(value) + " type " + std::to_string(type));
            std::string text = "[A]\nGeodesyType=" + std::to_string(type) + "\nlocalGeodesyType=" +
                               std::to_string(type == 3 || type == 6 ? 1 : 0) + "\n";
            for (const char* key : numberKeys)
                text += std::string(key) + "=" + value + "\n";
            for (const char* key : nameKeys)
                text += std::string(key) + "=" + longName + "\n";
            writeFile(file, text);
            load("A", file);
            EXPECT_EQ(g->projection->type, type);
            EXPECT_EQ(std::strlen(g->datum.ellipseName), 24u);
            EXPECT_EQ(std::strlen(g->datum.datumName), 24u);
            char general[30], specific[30];
            ASSERT_EQ(getInfo(general, specific), 1);
            EXPECT_LE(std::strlen(general), 29u);
            EXPECT_LE(std::strlen(specific), 29u);
            for (double v : {0.0, 45.0, -1e308, nan}) {
                double a = 0, b = 0, c = 0;
                geoToGrid(v, v, &a, &b);
                gridToGeo(a, b, &a, &b);
                gridToGeo(v, -v, &a, &b);
                (void)converge(v, v);
                (void)lineScale(v, v, 1000.0, -v);
                wgs84ToWorking(v, v, v, &a, &b, &c);
                workingToWgs84(v, v, v, &a, &b, &c);
                direct(v, v, v, 1e6, &a, &b);
                inverse(v, v, 10.0, 10.0, &a, &b);
            }
            char lines[7][50];
            g->projection->getLines(lines);
            g->datum.getLines(lines);
            for (const auto& line : lines)
                EXPECT_LT(std::strlen(line), 50u);
            save("B", file);
            load("B", file);
            EXPECT_EQ(g->projection->type, type);
        }
}

TEST(GeodeticsNoInstance, FunctionsDoNothing) {
    deAllocGeodetics();
    deAllocGeodetics(); // twice is harmless
    ASSERT_EQ(gw::geodesyInstance(), nullptr);
    const double s = 12345.5;
    double a = s, b = s, c = s;
    gridToGeo(1, 2, &a, &b);
    geoToGrid(1, 2, &a, &b);
    wgs84ToWorking(1, 2, 3, &a, &b, &c);
    workingToWgs84(1, 2, 3, &a, &b, &c);
    direct(1, 2, 3, 4, &a, &b);
    inverse(1, 2, 3, 4, &a, &b);
    getLatLonTrack(&a, &b);
    EXPECT_EQ(a, s);
    EXPECT_EQ(b, s);
    EXPECT_EQ(c, s);
    int active = 7;
    getLatLonTrack(a, b, c, a, active);
    EXPECT_EQ(active, 7);
    setLatLonTrack(1, 2, -1);
    EXPECT_EQ(lineScale(1, 2, 3, 4), 0.0);
    EXPECT_EQ(converge(1, 2), 0.0);
    EXPECT_EQ(getPlotUnits(), 0);
    EXPECT_EQ(getConversion(), 0.0);
    EXPECT_EQ(editDialog(nullptr), 0);
    char general[30] = "keep", specific[30] = "keep";
    EXPECT_EQ(getInfo(general, specific), 0);
    EXPECT_STREQ(general, "keep");
    EXPECT_STREQ(specific, "keep");
    char section[] = "S", file[] = "/nonexistent-dir/geo.ini";
    loadGeoData(section, file);
    saveGeoData(section, file);
    EXPECT_FALSE(std::filesystem::exists(file));
}
