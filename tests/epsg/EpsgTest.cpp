// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Geodesies from EPSG codes: grid coordinates of known systems against PROJ's
// (pyproj 3.4.1 on PROJ 9.1.1, the registry of Debian's proj-data), the shifts to
// WGS 84 against PROJ's run of the same transformation, the refusals and their
// reasons, the text functions' buffers, threads, and a registry that cannot be read.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "epsg/EpsgMapping.h"
#include "gridwise/batch.h"
#include "gridwise/epsg.h"

namespace {

struct Handle {
    explicit Handle(GwGeodesy* g) : g(g) {}
    ~Handle() { gwGeodesyFree(g); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    GwGeodesy* g;
};

void toGrid(const GwGeodesy* g, double lat, double lon, double& north, double& east, int& status) {
    gwGeoToGrid(g, 1, &lat, 0, &lon, 0, &north, 0, &east, 0, &status);
}

std::string describe(int code, int transformation) {
    const ptrdiff_t n = gwEpsgDescribe(code, transformation, nullptr, 0);
    if (n < 0) return std::string("refused: ") + gwLastError();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    gwEpsgDescribe(code, transformation, text.data(), text.size());
    text.resize(static_cast<size_t>(n));
    return text;
}

// Latitude and longitude on the CRS's own datum (longitudes from Greenwich) and
// PROJ's grid values in metres. Tolerances: the Transverse Mercator's series
// within a few degrees of the central meridian 1.3 cm, Lambert and polar 1 mm,
// RD 1 cm.
struct GridCase {
    int code;
    const char* what;
    double lat, lon;
    double north, east;
    double tolerance;
};

const GridCase kGridCases[] = {
    {2240, "TM, US survey feet, NAD83", 33.749, -84.388, 415687.52686479257, 679494.252929534, 0.013},
    {32633, "UTM north", 60.0, 15.5, 6651516.575619819, 527888.6639435567, 0.013},
    {32733, "UTM south", -30.0, 14.0, 6680793.777243286, 403549.8474330122, 0.013},
    {2154, "Lambert 2SP", 44.0, 5.5, 6325507.095707535, 900481.9851745802, 0.001},
    {2227, "Lambert 2SP, US survey feet", 37.5, -121.5, 611453.042102188, 1911581.6565807927, 0.001},
    // false origins at the pole and on the equator, 5400 km from the area
    {31370, "Lambert 2SP, false origin moved", 50.8466, 4.3528, 170627.94111836702, 148965.64883895335, 0.001},
    {3766, "Lambert 2SP, false origin moved", 45.815, 15.982, 5559077.39079393, -40257.527517436065, 0.001},
    {27572, "Lambert 1SP, Paris meridian in grads", 47.0, -1.5, 2229353.103120463, 308291.93687970843, 0.001},
    {3448, "Lambert 1SP with scale 1", 18.3, -76.5, 683276.0605551123, 802862.8845580656, 0.001},
    {5041, "polar A north", 85.0, 30.0, 1518959.7883427655, 2277728.6956913387, 0.001},
    {32761, "polar A south", -85.0, -120.0, 1722271.3043086613, 1518959.7883427655, 0.001},
    {28992, "RD", 52.0, 5.0, 445698.8043061154, 128383.47452664126, 0.01},
};

TEST(EpsgGeodesy, KnownSystemsAgreeWithProj) {
    for (const GridCase& c : kGridCases) {
        Handle h(gwGeodesyFromEpsg(c.code, 0));
        ASSERT_NE(h.g, nullptr) << c.code << ": " << gwLastError();
        double north = 0, east = 0, lat = 0, lon = 0;
        int status = -1;
        toGrid(h.g, c.lat, c.lon, north, east, status);
        ASSERT_EQ(status, GW_STATUS_OK) << c.code;
        EXPECT_NEAR(north, c.north, c.tolerance) << c.code << " " << c.what;
        EXPECT_NEAR(east, c.east, c.tolerance) << c.code << " " << c.what;
        gwGridToGeo(h.g, 1, &north, 0, &east, 0, &lat, 0, &lon, 0, &status);
        // back within the inverse iterations' stopping rules (1e-8 degree is 1 mm)
        EXPECT_NEAR(lat, c.lat, 1e-8) << c.code << " " << c.what;
        EXPECT_NEAR(lon, c.lon, 1e-8) << c.code << " " << c.what;
    }
}

TEST(EpsgGeodesy, LengthUnitBecomesTheProjectionsUnit) {
    struct {
        int code;
        char unit;
    } cases[] = {{2240, '2'}, {2227, '2'}, {32633, '0'}, {2222, '1'}};
    for (const auto& c : cases) {
        const std::string text = describe(c.code, 0);
        const size_t at = text.find("\ninit: ");
        ASSERT_NE(at, std::string::npos) << text;
        const size_t end = text.find('\n', at + 1);
        const std::string init = text.substr(at + 7, end - at - 7);
        EXPECT_EQ(init.back(), c.unit) << c.code << ": " << init;
    }
}

// Our shift of a point against PROJ's run of the same transformation
// (Transformer.from_pipeline of the operation's URN), to 1e-8 degree (1 mm).
TEST(EpsgGeodesy, ShiftsAgreeWithProj) {
    struct {
        int crs, transformation;
        const char* method;
        double lat, lon, wgsLat, wgsLon;
    } cases[] = {
        {23031, 1133, "9603", 40.0, 2.0, 39.998878448180115, 1.9988886611973136},
        {23031, 1311, "9606", 56.0, 3.0, 55.999321770879135, 2.998530454613142},
        {28992, 15934, "9607", 52.0, 5.0, 51.99903068169912, 4.999620939095142},
    };
    for (const auto& c : cases) {
        Handle h(gwGeodesyFromEpsg(c.crs, c.transformation));
        ASSERT_NE(h.g, nullptr) << gwLastError();
        EXPECT_NE(describe(c.crs, c.transformation).find("shift: EPSG:" + std::to_string(c.transformation) + " "),
                  std::string::npos);
        double lat = 0, lon = 0, hOut = 0, h0 = 0;
        int status = -1;
        gwWorkingToWgs84(h.g, 1, &c.lat, 0, &c.lon, 0, &h0, 0, &lat, 0, &lon, 0, &hOut, 0, &status);
        ASSERT_EQ(status, GW_STATUS_OK);
        EXPECT_NEAR(lat, c.wgsLat, 1e-8) << c.method;
        EXPECT_NEAR(lon, c.wgsLon, 1e-8) << c.method;
    }
}

TEST(EpsgGeodesy, ChoosesTheMostAccurateShiftAndSaysWhenThereIsNone) {
    struct {
        int code;
        const char* expected;
    } cases[] = {
        {28992, "shift: EPSG:1112 Amersfoort to WGS 84 (1), accuracy 1 m"}, // four of 1 m over the same area
        {2240, "shift: EPSG:1188 NAD83 to WGS 84 (1), accuracy 4 m"},
        {32633, "shift: none, the datum is WGS 84"},
        {2154, "shift: EPSG:"},
    };
    for (const auto& c : cases)
        EXPECT_NE(describe(c.code, 0).find(c.expected), std::string::npos) << c.code << "\n" << describe(c.code, 0);
    // A datum whose registry transformations to WGS 84 are grids only, or none.
    const std::string nad27 = describe(26717, 0);
    EXPECT_NE(nad27.find("shift: "), std::string::npos) << nad27;
    EXPECT_EQ(describe(26717, 0).find("refused"), std::string::npos);
}

TEST(EpsgGeodesy, RefusalsNameTheirReason) {
    struct {
        int code, transformation, error;
        const char* reason;
    } cases[] = {
        {3857, 0, GW_ERROR_UNSUPPORTED, "EPSG:3857 uses Popular Visualisation Pseudo Mercator, which this library does not offer"},
        {2046, 0, GW_ERROR_UNSUPPORTED, "uses Transverse Mercator (South Orientated)"},
        {4326, 0, GW_ERROR_BAD_ARGUMENT, "EPSG:4326 is a geographic 2D CRS (WGS 84), not a projected one"},
        {4978, 0, GW_ERROR_BAD_ARGUMENT, "is a geocentric CRS"},
        {5703, 0, GW_ERROR_BAD_ARGUMENT, "is a vertical CRS"},
        {999999, 0, GW_ERROR_BAD_ARGUMENT, "EPSG:999999 names no coordinate reference system of the registry"},
        {-5, 0, GW_ERROR_BAD_ARGUMENT, "names no coordinate reference system"},
        {2156, 0, GW_ERROR_BAD_ARGUMENT, "is deprecated in the registry; its replacement is EPSG:2195"},
        {3032, 0, GW_ERROR_UNSUPPORTED, "longitude of origin at 70 degrees; the polar stereographic projection's grid is always on the meridian 0"},
        {3031, 0, GW_ERROR_UNSUPPORTED, "false origin (easting 0 m, northing 0 m) lies outside the grid frame"},
        {6792, 0, GW_ERROR_UNSUPPORTED, "scale factor of 1.00012 at its origin, above 1"},
        {5649, 0, GW_ERROR_UNSUPPORTED, "false origin (easting 31500000 m, northing 0 m) puts its grid beyond the +-10000000 m"},
        {2136, 0, GW_ERROR_UNSUPPORTED, "length unit is Gold Coast foot"},
        {28991, 0, GW_ERROR_UNSUPPORTED, "offers only as the RD projection of EPSG:28992"},
        {2172, 0, GW_ERROR_UNSUPPORTED, "uses Oblique Stereographic"},
        {23031, 1188, GW_ERROR_BAD_ARGUMENT, "EPSG:1188 (NAD83 to WGS 84 (1)) does not shift European Datum 1950 to WGS 84"},
        {23031, 1, GW_ERROR_BAD_ARGUMENT, "EPSG:1 is not a Helmert transformation"},
        {23031, 5661, GW_ERROR_BAD_ARGUMENT, "is not a Helmert transformation"}, // a grid transformation
        {23031, 1149, GW_ERROR_BAD_ARGUMENT, "does not shift European Datum 1950"}, // ETRS89 to WGS 84
    };
    for (const auto& c : cases) {
        gwSetLastError(GW_ERROR_NONE, "");
        EXPECT_EQ(gwGeodesyFromEpsg(c.code, c.transformation), nullptr) << c.code;
        EXPECT_EQ(gwLastErrorCode(), c.error) << c.code << ": " << gwLastError();
        EXPECT_NE(std::string(gwLastError()).find(c.reason), std::string::npos) << c.code << ": " << gwLastError();
        char buf[8] = "x";
        EXPECT_EQ(gwEpsgDescribe(c.code, c.transformation, buf, sizeof buf), -1);
        EXPECT_STREQ(buf, "");
    }
}

TEST(EpsgGeodesy, SuccessLeavesTheLastErrorAsItWas) {
    gwSetLastError(GW_ERROR_SECTION_MISSING, "earlier");
    Handle h(gwGeodesyFromEpsg(32633, 0));
    ASSERT_NE(h.g, nullptr);
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_SECTION_MISSING);
    EXPECT_STREQ(gwLastError(), "earlier");
}

TEST(EpsgSearch, ListsCodesNamesMethodsUnitsAndSupport) {
    const char* text = "georgia west";
    const ptrdiff_t n = gwEpsgSearch(text, nullptr, 0);
    ASSERT_GT(n, 0) << gwLastError();
    std::string out(static_cast<size_t>(n) + 1, '\0');
    EXPECT_EQ(gwEpsgSearch(text, out.data(), out.size()), n);
    out.resize(static_cast<size_t>(n));
    EXPECT_NE(out.find("2240\tNAD83 / Georgia West (ftUS)\tTransverse Mercator\tUS survey foot\tyes\n"), std::string::npos) << out;
    EXPECT_EQ(out.back(), '\n');

    struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"EPSG:3857", "3857\tWGS 84 / Pseudo-Mercator\tPopular Visualisation Pseudo Mercator\tmetre\tno\n"},
        {"3031", "3031\tWGS 84 / Antarctic Polar Stereographic\tPolar Stereographic (variant B)\tmetre\tno\n"},
        {"AMERSFOORT / RD NEW", "28992\tAmersfoort / RD New\tOblique Stereographic\tmetre\tyes\n"},
    };
    for (const auto& c : cases) {
        std::vector<char> buf(4096);
        const ptrdiff_t len = gwEpsgSearch(c.text, buf.data(), buf.size());
        ASSERT_GT(len, 0) << c.text;
        EXPECT_NE(std::string(buf.data()).find(c.line), std::string::npos) << c.text << ": " << buf.data();
    }
    EXPECT_EQ(gwEpsgSearch("no such system anywhere", nullptr, 0), 0);
}

TEST(EpsgSearch, BuffersAreFilledAsSnprintfDoes) {
    const ptrdiff_t n = gwEpsgSearch("EPSG:2240", nullptr, 0);
    ASSERT_GT(n, 10);
    char small[11];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(gwEpsgSearch("EPSG:2240", small, 6), n);
    EXPECT_STREQ(small, "2240\t");
    EXPECT_EQ(small[6], '#'); // nothing past the given size
    gwSetLastError(GW_ERROR_NONE, "");
    EXPECT_EQ(gwEpsgSearch(nullptr, small, sizeof small), -1);
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_BAD_ARGUMENT);
    EXPECT_STREQ(small, "");
}

TEST(EpsgGeodesy, ThreadsBuildTheSameGeodesies) {
    const int codes[] = {2240, 32633, 27572, 28992, 5041, 23031};
    std::vector<std::string> expected;
    for (int code : codes) expected.push_back(describe(code, 0));
    std::vector<std::thread> threads;
    std::vector<int> wrong(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round)
                for (size_t i = 0; i < std::size(codes); ++i) {
                    GwGeodesy* g = gwGeodesyFromEpsg(codes[i], 0);
                    if (g == nullptr || describe(codes[i], 0) != expected[i]) ++wrong[t];
                    gwGeodesyFree(g);
                }
        });
    }
    for (auto& th : threads) th.join();
    for (int w : wrong) EXPECT_EQ(w, 0);
}

// The mapping by itself, on definitions no registry holds: polar variant B with
// a false origin inside the frame, and a southern Lambert 1SP, against PROJ
// (+proj=stere +lat_ts / +proj=lcc +k_0 on WGS 84).
TEST(EpsgMapping, PolarVariantBAndSouthernLambert1spAgreeWithProj) {
    using namespace gw::epsg;
    CrsDefinition base;
    base.code = 1;
    base.name = "test, with a comma";
    base.unitCode = kMetre;
    base.datumName = "WGS 84";
    base.ellipsoidName = "WGS 84";
    base.semiMajor = 6378137;
    base.invFlattening = 298.257223563;
    base.shiftKind = ShiftKind::wgs84;
    struct {
        int method;
        std::vector<Parameter> params;
        double lat, lon, north, east;
    } cases[] = {
        {method::polarB, {{param::latOfStandardParallel, -71}, {param::lonOfOrigin, 0}, {param::falseEasting, 2e6}, {param::falseNorthing, 2e6}},
         -80, 60, 2544589.727813092, 2943257.077852381},
        {method::polarB, {{param::latOfStandardParallel, 71}, {param::lonOfOrigin, 0}, {param::falseEasting, 2e6}, {param::falseNorthing, 2e6}},
         82, -40, 1333099.0545358076, 1440403.662629217},
        {method::lambert1sp, {{param::latOfNaturalOrigin, -35}, {param::lonOfNaturalOrigin, 145}, {param::scaleAtNaturalOrigin, 0.9995},
                              {param::falseEasting, 500000}, {param::falseNorthing, 1000000}},
         -37.5, 147, 720869.9634655544, 676920.0636173937},
    };
    for (const auto& c : cases) {
        CrsDefinition crs = base;
        crs.method = c.method;
        crs.parameters = c.params;
        const Mapping m = mapCrs(crs);
        ASSERT_TRUE(m.ok) << m.reason;
        EXPECT_EQ(m.initString.find("test  with a comma"), 2u) << m.initString;
        Handle h(gwGeodesyFromText(m.initString.c_str(), m.datumText.c_str()));
        ASSERT_NE(h.g, nullptr) << gwLastError();
        double north = 0, east = 0;
        int status = -1;
        toGrid(h.g, c.lat, c.lon, north, east, status);
        EXPECT_EQ(status, GW_STATUS_OK);
        EXPECT_NEAR(north, c.north, 1e-3) << m.initString;
        EXPECT_NEAR(east, c.east, 1e-3) << m.initString;
    }
}

// The value of the line "key: value" of a description.
std::string describedValue(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\n" + key + ": ");
    if (at == std::string::npos) return "(none)";
    const std::size_t begin = at + key.size() + 3;
    return text.substr(begin, text.find('\n', begin) - begin);
}

// The datum name field of a description's datum text.
std::string datumNameOf(const std::string& text) {
    std::string datum = describedValue(text, "datum");
    for (int i = 0; i < 3; ++i) datum = datum.substr(datum.find(',') + 1);
    return datum.substr(0, datum.find(','));
}

TEST(EpsgNames, EntriesAndDatumsHaveNamesAUserRecognises) {
    struct {
        int code;
        const char *general, *specific, *datum;
    } cases[] = {
        {2240, "SPCS83 ftUS", "Georgia West", "NAD83"},
        {32633, "UTM WGS 84", "Zone 33N", "WGS 84"},
        {25832, "UTM ETRS89", "Zone 32N", "ETRS89"},
        {26717, "UTM NAD27", "Zone 17N", "NAD27"},
        {2874, "SPCS83(HARN) ftUS", "California zone 5", "NAD83(HARN)"},
        {3501, "SPCS83(NSRS2007)", "Colorado Central", "NAD83(NSRS2007)"},
        {26739, "SPCS27 ftUS", "Alaska zone 9", "NAD27"},
        {27700, "OSGB36", "British National Grid", "OSGB36"},
        {32761, "WGS 84", "UPS South (N E)", "WGS 84"},
        {4399, "NAD27 ftUS", "BLM 59N", "NAD27"},
        {3006, "SWEREF99", "SWEREF99 TM", "SWEREF99"},
    };
    for (const auto& c : cases) {
        const std::string text = describe(c.code, 0);
        EXPECT_EQ(describedValue(text, "general name"), c.general) << text;
        EXPECT_EQ(describedValue(text, "specific name"), c.specific) << text;
        EXPECT_EQ(datumNameOf(text), c.datum) << text;
    }
}

// Every system the library can use: names within their fields, without commas,
// and a datum name that is the registry's own, its base CRS's, or ends at a word.
TEST(EpsgNames, EveryUsableSystemHasNamesWithinTheirFields) {
    const ptrdiff_t n = gwEpsgSearch("", nullptr, 0);
    ASSERT_GT(n, 0) << gwLastError();
    std::string list(static_cast<size_t>(n) + 1, '\0');
    gwEpsgSearch("", list.data(), list.size());
    int usable = 0;
    for (std::size_t at = 0; at < static_cast<std::size_t>(n);) {
        const std::size_t end = list.find('\n', at);
        const std::string line = list.substr(at, end - at);
        at = end + 1;
        if (line.size() < 4 || line.compare(line.size() - 4, 4, "\tyes") != 0) continue;
        ++usable;
        const int code = std::atoi(line.c_str());
        const std::string text = describe(code, 0);
        const std::string general = describedValue(text, "general name");
        const std::string specific = describedValue(text, "specific name");
        const std::string datum = datumNameOf(text);
        EXPECT_TRUE(!general.empty() && general.size() <= 19 && general.find(',') == std::string::npos)
            << code << " '" << general << "'";
        EXPECT_TRUE(!specific.empty() && specific.size() <= 29 && specific.find(',') == std::string::npos)
            << code << " '" << specific << "'";
        EXPECT_TRUE(!datum.empty() && datum.size() <= 24 && datum.back() != ' ') << code << " '" << datum << "'";
    }
    EXPECT_GT(usable, 4000);
}

TEST(EpsgNames, LongNamesLoseRemarksOrAreCutAtAWord) {
    struct {
        const char *name, *shortened;
    } cases[] = {
        {"Everest 1830 (1962 Definition)", "Everest 1830 (1962 Def.)"},
        {"Clarke 1880 (international foot)", "Clarke 1880 (intl foot)"},
        {"Australian National Spheroid", "Australian National"},
        {"NAD83 (High Accuracy Reference Network)", "NAD83"},
        {"Reseau Geodesique de Nouvelle Caledonie 91-93", "Reseau Geodesique de"},
        {"S_GRS_1980_Adj_MN_Beltrami_North", "S_GRS_1980_Adj_MN_Beltra"},
        {"Datum, with a comma", "Datum  with a comma"},
        {"G\xc3\xa9od\xc3\xa9sie_sans_blanc_t\xc3\xa8_longue", "G\xc3\xa9od\xc3\xa9sie_sans_blanc_t"},
    };
    for (const auto& c : cases) EXPECT_EQ(gw::epsg::shortName(c.name, 24), c.shortened) << c.name;
}

TEST(EpsgMapping, PackedSexagesimalDegrees) {
    struct {
        double packed, degrees;
    } cases[] = {
        {52.0922178, 52 + 9 / 60.0 + 22.178 / 3600}, {-66.3, -66.5}, {0.5, 50 / 60.0},
        {46.3, 46.5}, {5.23155, 5 + 23 / 60.0 + 15.5 / 3600}, {90, 90}, {-0.0001, -1 / 3600.0},
    };
    for (const auto& c : cases) EXPECT_NEAR(gw::epsg::packedDmsToDegrees(c.packed), c.degrees, 1e-13) << c.packed;
}

TEST(EpsgLibrary, ExportsItsCFunctionsOnly) {
    void* lib = dlopen(GRIDWISE_EPSG_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name : {"gwGeodesyFromEpsg", "gwEpsgDescribe", "gwEpsgSearch"})
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    EXPECT_EQ(dlsym(lib, "_ZN2gw4epsg6mapCrsERKNS0_13CrsDefinitionE"), nullptr); // gw::epsg::mapCrs
    dlclose(lib);
}

// A registry that cannot be used fails every call with the same reason; each
// case runs in a fresh process (the database is opened once per process).
TEST(EpsgRegistryDeathTest, UnreadableRegistryFailsEveryCall) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string notDb = testing::TempDir() + "/not-a-registry.db";
    std::ofstream(notDb) << "this is text, not a database\n";
    struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {"/nonexistent/proj.db", "cannot be opened"},
        {notDb, "is not an EPSG registry database"},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                setenv("GRIDWISE_EPSG_DB", c.path.c_str(), 1);
                bool same = true;
                for (int i = 0; i < 2; ++i) {
                    same = same && gwGeodesyFromEpsg(2240, 0) == nullptr &&
                           gwLastErrorCode() == GW_ERROR_FILE_UNREADABLE &&
                           gwEpsgSearch("x", nullptr, 0) == -1;
                }
                std::fprintf(stderr, "%s\n", gwLastError());
                std::exit(same ? 0 : 1);
            },
            testing::ExitedWithCode(0), c.reason);
    }
}

} // namespace
