// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Position and grid text in the current projection's style and unit: the three
// labelling styles, the station form and its folding, round trips, long and bad
// texts, and the behaviour without the geodesy instance or the units object.
#include <gtest/gtest.h>


#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"
#include "gridwise/postext.h"
#include "gridwise/units.h"
#include "support/SettingsFiles.h"

namespace {

using gwtest::TempDir;

// Projection sections used below (a settings section each).
const char* const kTmMetres = "GeodesyType=0\noriginLon=E004 00.0000\nunits=0\n";
const char* const kTmFeet = "GeodesyType=0\noriginLon=E004 00.0000\nunits=1\n";
const char* const kTmSurveyFeet = "GeodesyType=0\noriginLon=E004 00.0000\nunits=2\n";
const char* const kTmUnusedUnit = "GeodesyType=0\noriginLon=E004 00.0000\nunits=7\n";
const char* const kLocal = "GeodesyType=5\nlocalCenterLat=52.0\nlocalCenterLon=4.0\n";
const char* const kStaOff = "GeodesyType=6\nlocalCenterLat=52.0\nlocalCenterLon=4.0\n"
                            "localEndLat=52.01\nlocalEndLon=4.01\nlocalGeodesyType=0\n"
                            "originLon=E004 00.0000\nunits=0\n";
const char* const kStaOffSurveyFeet = "GeodesyType=6\nlocalCenterLat=52.0\nlocalCenterLon=4.0\n"
                                      "localEndLat=52.01\nlocalEndLon=4.01\nlocalGeodesyType=0\n"
                                      "originLon=E004 00.0000\nunits=2\n";
const char* const kStaOffFeet = "GeodesyType=6\nlocalCenterLat=52.0\nlocalCenterLon=4.0\n"
                                "localEndLat=52.01\nlocalEndLon=4.01\nlocalGeodesyType=0\n"
                                "originLon=E004 00.0000\nunits=1\n";

class PositionTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        unitsFile = dir.file("units.ini");
        ASSERT_EQ(allocUnits(unitsFile.data()), 1);
        ASSERT_EQ(allocGeodetics(), 1);
    }
    void TearDown() override {
        deAllocGeodetics();
        deAllocUnits(unitsFile.data());
    }
    void use(const char* section) {
        std::string file = dir.file("geo.ini");
        std::ofstream(file) << "[S]\n" << section;
        char name[] = "S";
        loadGeoData(name, file.data());
    }
    std::string grid(double meters, int axis) {
        char dst[64];
        std::memset(dst, '#', sizeof dst);
        gridToStr(dst, meters, axis);
        return dst;
    }

    TempDir dir;
    std::string unitsFile;
};

} // namespace

TEST_F(PositionTextTest, GridValueInTheProjectionsStyleAndUnit) {
    const struct {
        const char* section;
        double meters;
        int axis;
        const char* text;
    } cases[] = {
        {kTmMetres, 5765432.1, 2, "N5765432.10m"},
        {kTmMetres, 5765432.1, 1, "E5765432.10m"},
        {kTmMetres, 5765432.1, 0, "5765432.10"},
        {kTmMetres, -12.5, 7, "N-12.50m"},
        {kTmFeet, 1234.5, 1, "E4050.20ft"},
        {kTmFeet, 1234.5, 0, "4050.20"},
        {kTmSurveyFeet, 1000.0, 2, "N3280.83ft"},
        {kTmUnusedUnit, 1.0, 2, "N1.00m"},
        {kLocal, 12.5, 2, "Y12.50m"},
        {kLocal, -3.25, 1, "X-3.25m"},
        {kStaOff, 1234.56, 2, "S12+34.56m"},
        {kStaOff, -1234.56, 2, "S-12-34.56m"},
        {kStaOff, 12.34, 2, "S0+12.34m"},
        // Zero, and what rounds to it, has no minus in any form.
        {kStaOff, 0.0, 2, "S0+00.00m"},
        {kStaOff, -0.004, 2, "S0+00.00m"},
        {kStaOff, -0.004, 1, "O0.00m"},
        {kStaOff, -0.006, 1, "O-0.01m"},
        {kTmMetres, -0.004, 2, "N0.00m"},
        {kLocal, -0.001, 1, "X0.00m"},
        {kTmMetres, -0.004, 0, "0.00"},
        // The value is rounded before it is split: the remainder never shows 100.
        {kStaOff, 99.996, 2, "S1+00.00m"},
        {kStaOff, 199.996, 2, "S2+00.00m"},
        {kStaOff, -299.998, 2, "S-3-00.00m"},
        {kStaOff, 99.994, 2, "S0+99.99m"},
        {kStaOffSurveyFeet, 6000000.0, 2, "S196850+00.00ft"},
        {kStaOff, -5.0, 1, "O-5.00m"},
        {kStaOff, 5.0, 1, "O5.00m"},
        {kStaOff, 1234.56, 0, "1234.56"},
        {kStaOffFeet, 1234.5, 2, "S40+50.20ft"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + c.text);
        use(c.section);
        EXPECT_EQ(grid(c.meters, c.axis), c.text);
        // The same text from a copy of the projection and a unit table of the
        // caller's own, and the same value read back through them.
        Geodetics own(*gw::geodesyInstance());
        Units units;
        char dst[64];
        gridToStr(dst, c.meters, c.axis, *own.projection, units);
        EXPECT_EQ(std::string(dst), c.text);
        if (c.axis != 0) {
            int pos = -1, ownPos = -1;
            char again[64];
            std::strcpy(again, dst);
            const double expected = parseStrToGridCoord(dst, &pos, 0);
            EXPECT_EQ(parseStrToGridCoord(again, &ownPos, 0, *own.projection, units), expected);
            EXPECT_EQ(ownPos, pos);
            EXPECT_STREQ(again, dst);
        }
    }
}

TEST_F(PositionTextTest, HugeValuesAreCutToTheTextLimit) {
    use(kTmMetres);
    char dst[80];
    std::memset(dst, '#', sizeof dst);
    gridToStr(dst, 1e300, 2);
    EXPECT_EQ(std::strlen(dst), 31u);
    EXPECT_EQ(dst[32], '#');
    std::memset(dst, '#', sizeof dst);
    psnToStr(dst, 0, 89.9, 179.0); // far outside the zone
    EXPECT_LE(std::strlen(dst), 64u);
    EXPECT_EQ(dst[65], '#');
    EXPECT_NE(std::strstr(dst, "\r\n"), nullptr);
}

// Station texts of random values, of every size, read back within half a unit of
// their last decimal: the remainder after the hundreds never shows 100.
TEST_F(PositionTextTest, StationTextsReadBackWithinHalfTheirLastDecimal) {
    std::mt19937 rng(7);
    for (const char* section : {kStaOff, kStaOffSurveyFeet}) {
        use(section);
        const double unit = 1.0 / metersToPos();
        const int unitIndex = getPlotUnits();
        for (int i = 0; i < 20000; ++i) {
            const double magnitude = std::pow(10.0, std::uniform_real_distribution<double>(-3.0, 7.0)(rng));
            // Values just below a hundred and a step of the last decimal find the carries.
            double v = (i % 2 ? magnitude : std::floor(magnitude / 100) * 100 + 99.995 +
                                                std::uniform_real_distribution<double>(0.0, 0.005)(rng));
            if (i % 3 == 0) v = -v;
            const double meters = v * unit;
            const std::string text = grid(meters, 2);
            ASSERT_EQ(text.find("+100."), std::string::npos) << text;
            ASSERT_EQ(text.find("-100."), std::string::npos) << text;
            char buf[64];
            std::strcpy(buf, text.c_str());
            int pos = 0;
            const double back = parseStrToGridCoord(buf, &pos, unitIndex) / unit;
            ASSERT_NEAR(back, v, 0.005 + std::fabs(v) * 1e-13) << text;
        }
    }
}

TEST_F(PositionTextTest, StationFormIsFoldedInPlaceAndRead) {
    use(kStaOff);
    const struct {
        const char* text;
        double meters;
        const char* folded;
    } cases[] = {
        {"S12+34.56m", 1234.56, "S1234.56m"},
        {"S-12-34.56m", -1234.56, "S-1234.56m"},
        {"S-0-12.34m", -12.34, "S-012.34m"},
        {"S0+100.00m", 0.0, "S0+100.00m"}, // the writer carries: "S1+00.00m"
        {"S1+05m", 105.0, "S105m"},
        {"O-5.00m", -5.0, "O-5.00m"},
        {"\r\nO-5.00m", -5.0, "\r\nO-5.00m"},
        {"S40+50.20ft", 4050.20 * 0.30480060960121924, "S4050.20ft"}, // default unit metres: US feet
        {"S-", 0.0, "S-"},
        {"S--1", 0.0, "S--1"},
        {"+", 0.0, "+"},
        {"S12.5m\r\nO-5.00m", 12.5, "S12.5m\r\nO-5.00m"},
        {"S-12.5m\r\nO-5.00m", -12.5, "S-12.5m\r\nO-5.00m"}, // the offset keeps its sign
        {"", 0.0, ""},
        {"ab", 0.0, "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char text[32];
        std::strcpy(text, c.text);
        int pos = -1;
        EXPECT_NEAR(parseStrToGridCoord(text, &pos, 0), c.meters, 1e-9);
        EXPECT_STREQ(text, c.folded);
        EXPECT_GE(pos, 0);
        EXPECT_LE(pos, static_cast<int>(std::strlen(text)));
    }
    // A remainder of other than two whole digits is no station: the reader stops
    // at the separator, so a checked reader sees the text was not read whole.
    for (const char* bad : {"S1+2.5", "S1+5m", "S1+0.5m", "S1+", "S-1-5m", "S1.5+05m"}) {
        SCOPED_TRACE(bad);
        char text[32];
        std::strcpy(text, bad);
        int pos = -1;
        parseStrToGridCoord(text, &pos, 0);
        EXPECT_STREQ(text, bad);
        EXPECT_TRUE(text[pos] == '+' || text[pos] == '-') << pos;
    }
}

TEST_F(PositionTextTest, OtherStylesLeaveTheTextAsParseStrToUnitReadsIt) {
    for (const char* section : {kTmMetres, kLocal}) {
        use(section);
        for (const char* t : {"N12+34.56m", "S-12-34.56m", "E 1.5 km", "-12.5 ft", "junk"}) {
            SCOPED_TRACE(t);
            char a[32], b[32];
            std::strcpy(a, t);
            std::strcpy(b, t);
            int pa = -1, pb = -2;
            EXPECT_EQ(parseStrToGridCoord(a, &pa, 1), parseStrToUnit(b, &pb, 1));
            EXPECT_EQ(pa, pb);
            EXPECT_STREQ(a, t);
        }
    }
}

TEST_F(PositionTextTest, PositionsRoundTripToTheRoundingOfTheirText) {
    use(kTmMetres);
    char dst[80];
    psnToStr(dst, 1, 52.0854, 4.8686);
    EXPECT_STREQ(dst, "N52 05.1240\r\nE004 52.1160");
    psnToStr(dst, 1, -33.5, -70.25);
    EXPECT_STREQ(dst, "S33 30.0000\r\nW070 15.0000");

    const double points[][2] = {{52.0, 4.0}, {52.004321, 4.0061}, {51.9987, 3.99123}, {52.00999, 4.00999}};
    for (const char* section : {kTmMetres, kTmFeet, kTmSurveyFeet, kLocal, kStaOff, kStaOffFeet}) {
        use(section);
        const double unit = 1.0 / metersToPos();
        for (const auto& p : points) {
            for (int geographic : {1, 0}) {
                SCOPED_TRACE(std::string(section) + (geographic ? " geographic " : " grid ") +
                             std::to_string(p[0]));
                psnToStr(dst, geographic, p[0], p[1]);
                ASSERT_NE(std::strstr(dst, "\r\n"), nullptr) << dst;
                const std::string written = dst;
                double lat = -999, lon = -999;
                strToPsn(dst, geographic, &lat, &lon);
                EXPECT_EQ(written, dst); // the caller's text is not folded
                if (geographic) {
                    EXPECT_NEAR(lat, p[0], 0.5e-4 / 60 + 1e-12);
                    EXPECT_NEAR(lon, p[1], 0.5e-4 / 60 + 1e-12);
                } else {
                    double n0, e0, n1, e1;
                    geoToGrid(p[0], p[1], &n0, &e0);
                    geoToGrid(lat, lon, &n1, &e1);
                    EXPECT_NEAR(n1, n0, 0.005 * unit + 1e-6) << dst;
                    EXPECT_NEAR(e1, e0, 0.005 * unit + 1e-6) << dst;
                }
            }
        }
    }
}

TEST_F(PositionTextTest, MetersToPos) {
    const struct {
        const char* section;
        double factor;
    } cases[] = {{kTmMetres, 1.0},
                 {kTmFeet, 1.0 / 0.3048},
                 {kTmSurveyFeet, 1.0 / 0.30480060960121924},
                 {kTmUnusedUnit, 1.0},
                 {kLocal, 1.0},
                 {kStaOffFeet, 1.0 / 0.3048}};
    for (const auto& c : cases) {
        use(c.section);
        EXPECT_EQ(metersToPos(), c.factor) << c.section;
    }
}

TEST_F(PositionTextTest, LongAndBadTexts) {
    use(kStaOff);
    double gridLat, gridLon;
    gridToGeo(0.0, 0.0, &gridLat, &gridLon);

    // Only the first 79 characters are read.
    std::string longText = std::string(70, ' ') + "N52 05.1240\r\nE004 52.1160";
    double lat = 0, lon = 0;
    strToPsn(longText.data(), 1, &lat, &lon);
    EXPECT_NEAR(lat, 52 + 5.12 / 60, 1e-12);
    EXPECT_EQ(lon, 0.0);

    std::string huge(5000, '9'); // never copied past the working buffer
    strToPsn(huge.data(), 0, &lat, &lon);
    strToPsn(huge.data(), 1, &lat, &lon);

    // Unreadable grid text is the grid value 0.
    for (const char* bad : {"", "abc", "\r\n", "S-", "S--", "+", "-", "O-", "S-12-34.56m", "\xff\xfe"}) {
        SCOPED_TRACE(bad);
        std::string text = bad;
        double la = 1, lo = 1;
        strToPsn(text.data(), 0, &la, &lo);
        if (std::strcmp(bad, "S-12-34.56m") != 0) {
            EXPECT_EQ(la, gridLat);
            EXPECT_EQ(lo, gridLon);
        }
        strToPsn(text.data(), 1, &la, &lo);
        EXPECT_EQ(text, bad);
    }
    strToPsn(nullptr, 0, &lat, &lon);
    strToPsn(longText.data(), 0, nullptr, nullptr);
    gridToStr(nullptr, 1.0, 2);
    psnToStr(nullptr, 0, 52.0, 4.0);
    EXPECT_EQ(parseStrToGridCoord(nullptr, nullptr, 0), 0.0);
}

TEST_F(PositionTextTest, WithoutTheGeodesyInstanceOrTheUnitsObject) {
    for (int missing = 0; missing < 2; ++missing) {
        SCOPED_TRACE(missing ? "no units object" : "no geodesy instance");
        if (missing == 0) {
            deAllocGeodetics();
        } else {
            ASSERT_EQ(allocGeodetics(), 1);
            deAllocUnits(unitsFile.data());
        }
        EXPECT_EQ(grid(12.0, 2), "");
        char dst[80] = "keep";
        psnToStr(dst, 0, 52.0, 4.0);
        EXPECT_STREQ(dst, "");
        psnToStr(dst, 1, 52.0854, 4.8686); // the geographic form needs neither
        EXPECT_STREQ(dst, "N52 05.1240\r\nE004 52.1160");
        double lat = 7, lon = 8;
        strToPsn(dst, 1, &lat, &lon);
        EXPECT_NEAR(lat, 52.0854, 1e-9);
        lat = 7;
        lon = 8;
        char gridText[] = "S12+34.56m\r\nO-5.00m";
        strToPsn(gridText, 0, &lat, &lon);
        EXPECT_EQ(lat, 7.0);
        EXPECT_EQ(lon, 8.0);
        // A grid value still reads as a plain distance (projections built from an
        // initialisation string before the instance exists rely on it).
        char plain[] = "N12.5m";
        int pos = 5;
        EXPECT_EQ(parseStrToGridCoord(plain, &pos, 0), 12.5);
        EXPECT_EQ(pos, 6);
        EXPECT_STREQ(plain, "N12.5m");
        EXPECT_EQ(metersToPos(), 1.0);
    }
    ASSERT_EQ(allocUnits(unitsFile.data()), 1);
}
