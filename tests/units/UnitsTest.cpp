// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The unit table, the unit settings and distance text.
#include "gridwise/units.h"
#include "units/UnitsFileName.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr double kUsFoot = 0.30480060960121924;

// A text in a heap block of its exact size (no byte after the NUL), so that
// AddressSanitizer sees any read past the end.
std::unique_ptr<char[]> exact(const std::string& text) {
    std::unique_ptr<char[]> buf(new char[text.size() + 1]);
    std::memcpy(buf.get(), text.c_str(), text.size() + 1);
    return buf;
}

std::string readRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gw-units-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        deAllocUnits(nullptr);
    }
    void TearDown() override {
        deAllocUnits(nullptr);
        std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string file(const std::string& name, const std::string& content) const {
        std::string p = dir_ + "/" + name;
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
    Units& alloc(int distUnits = 0, int wpUnits = 0) {
        std::string none = dir_ + "/none.ini";
        EXPECT_EQ(allocUnits(none.data()), 1);
        getUnits()->distUnits = distUnits;
        getUnits()->wpUnits = wpUnits;
        return *getUnits();
    }
    std::string dir_;
};

TEST_F(UnitsTest, TableHoldsFiveUnits) {
    struct Row {
        const char* name;
        const char* abbrev;
        double metersPerUnit;
        int decimals;
    };
    const Row rows[10] = {
        {"meters", "m", 1.0, 2},          {"feet", "ft", 0.3048, 2},          {"US survey feet", "ft", 12.0 / 39.37, 2},
        {"kilometers", "km", 1000.0, 5},  {"nautical miles", "nm", 1852.0, 5}, {"", "", 0.0, 2},
        {"", "", 0.0, 2},                 {"", "", 0.0, 2},                    {"", "", 0.0, 2},
        {"", "", 0.0, 2},
    };
    Units u;
    for (int i = 0; i < 10; ++i) {
        EXPECT_STREQ(u.unitTable[i].name, rows[i].name) << i;
        EXPECT_STREQ(u.unitTable[i].abbrev, rows[i].abbrev) << i;
        EXPECT_EQ(u.unitTable[i].metersPerUnit, rows[i].metersPerUnit) << i;
        EXPECT_EQ(u.unitTable[i].decimals, rows[i].decimals) << i;
    }
    EXPECT_EQ(kUsFoot, 12.0 / 39.37);
    for (int v : {u.distUnits, u.wpUnits, u.latLonStyle, u.defaultLatHemi, u.defaultLonHemi, u.defaultEntry,
                  u.defaultDistCalc})
        EXPECT_EQ(v, 0);
    Unit blank;
    EXPECT_STREQ(blank.name, "");
    EXPECT_EQ(blank.decimals, 2);
}

struct ParseCase {
    const char* text;
    int unit;
    double expected;
    int pos;
};

const ParseCase kParseCases[] = {
    {"  -12.5 ft", 0, -12.5 * kUsFoot, 10},     // "ft" is US survey feet unless the unit is feet
    {"  -12.5 ft", 1, -12.5 * 0.3048, 10},
    {"-12.5FT", 3, -12.5 * kUsFoot, 7},
    {"12.5", 3, 12500.0, 4},
    {"N 100m", 0, 100.0, 6},                    // axis labels of grid text
    {"E1.5 km", 1, 1500.0, 7},
    {"x 2nm", 0, 3704.0, 5},
    {"S-3M", 2, -3.0, 4},
    {"o + 4 yd", 0, 4 * 0.9144, 8},
    {"10 NM", 0, 18520.0, 5},
    {"2 Km", 0, 2000.0, 4},
    {"12mi", 0, 12.0, 2},                        // unknown suffix: default unit, not consumed
    {"12mi", 4, 12.0 * 1852.0, 2},
    {"5f", 1, 5 * 0.3048, 1},
    {"5 f", 0, 5.0, 2},
    {"7 kn", 3, 7000.0, 2},
    {"3mm", 0, 3.0, 1},
    {"abc", 0, 0.0, 0},
    {"", 0, 0.0, 0},
    {"   ", 0, 0.0, 3},
    {"N", 0, 0.0, 1},
    {"--5", 0, 0.0, 1},
    {"1234567890123", 0, 1234567890123.0, 13},  // read whole, however long
    {"1234567890123", 3, 1234567890123.0 * 1000.0, 13},
    {"2296583.33333ft", 1, 2296583.33333 * 0.3048, 15},
    {"N 0.30000000000000004441m", 0, 0.30000000000000004441, 25}, // the double after 0.3
    {".5", 3, 500.0, 2},
    {"-.5m", 3, -0.5, 4},
    {".", 0, 0.0, 1},
    {"1.2.3", 0, 1.2, 3},                       // a second point is no number: stops there
    {"1.2.3m", 0, 1.2, 3},
    {"1e3", 0, 1.0, 1},
    {"\t+7\n", 4, 7 * 1852.0, 4},
    {"5", -1, 5.0, 1},                          // a negative unit counts as metres
    {"5", 5, 5.0, 1},                           // so does an empty record
    {"5", 10, 5.0, 1},                          // and an index beyond the table
    {"5", 1000000, 5.0, 1},
    {"5 ft", 7, 5 * kUsFoot, 4},
};

TEST_F(UnitsTest, ParsesDistanceText) {
    for (bool withObject : {false, true}) {
        if (withObject) alloc();
        ASSERT_EQ(getUnits() != nullptr, withObject);
        for (const ParseCase& c : kParseCases) {
            auto text = exact(c.text);
            int pos = -1;
            EXPECT_EQ(parseStrToUnit(text.get(), &pos, c.unit), c.expected)
                << "'" << c.text << "' unit " << c.unit << (withObject ? "" : " (no object)");
            EXPECT_EQ(pos, c.pos) << "'" << c.text << "'";
            Units table;
            EXPECT_EQ(table.fromStr(text.get(), c.unit), c.expected) << "'" << c.text << "'";
        }
    }
    EXPECT_EQ(parseStrToUnit(nullptr, nullptr, 0), 0.0);
    int pos = -1;
    EXPECT_EQ(parseStrToUnit(nullptr, &pos, 0), 0.0);
    EXPECT_EQ(pos, 0);
    char text[] = "3.5";
    EXPECT_EQ(parseStrToUnit(text, nullptr, 3), 3500.0);
}

// Any byte string is read without crashing and without reading past its end; the
// position never leaves the text.
TEST_F(UnitsTest, AnyByteStringIsReadWithinItsBuffer) {
    alloc();
    std::mt19937 rng(9);
    const char alphabet[] = "0123456789.+- \t\nNnEeSsXxYyOomMkKfFtTdDi\x80\xff";
    for (int i = 0; i < 20000; ++i) {
        std::string s(rng() % 24, ' ');
        for (char& ch : s) ch = (i % 2) ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(1 + rng() % 255);
        auto text = exact(s);
        int pos = -1;
        const double v = parseStrToUnit(text.get(), &pos, static_cast<int>(rng() % 12) - 1);
        ASSERT_GE(pos, 0) << s;
        ASSERT_LE(pos, static_cast<int>(s.size())) << s;
        ASSERT_FALSE(std::isnan(v)) << s;
        parseStrToDist(text.get());
    }
    // Long runs are read to their end; a second point or label ends the reading.
    const std::pair<char, int> fills[] = {{' ', 100000}, {'7', 100000}, {'.', 1}, {'N', 1}};
    for (const auto& [fill, end] : fills) {
        auto text = exact(std::string(100000, fill));
        int pos = -1;
        parseStrToUnit(text.get(), &pos, 0);
        EXPECT_EQ(pos, end) << fill;
    }
}

TEST_F(UnitsTest, ParseStrToDistUsesTheDistanceUnit) {
    struct Case {
        int distUnits;
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {0, "12.5", 12.5},  {1, "10", 3.048},       {1, "10 ft", 3.048},   {2, "10 ft", 10 * kUsFoot},
        {3, "1.5", 1500.0}, {3, "1.5m", 1.5},       {4, "1", 1852.0},      {9, "7", 7.0},
        {-3, "7", 7.0},     {123456, "7", 7.0},
    };
    for (const Case& c : cases) {
        alloc(c.distUnits);
        std::string text = c.text;
        EXPECT_DOUBLE_EQ(parseStrToDist(text.data()), c.expected) << c.distUnits << " '" << c.text << "'";
    }
}

TEST_F(UnitsTest, WritesDistances) {
    struct Case {
        int distUnits;
        double meters;
        const char* expected;
    };
    const Case cases[] = {
        {0, 1234.5678, "1234.57m"},  {3, 1234.5678, "1.23457km"}, {1, 1234.5678, "4050.42ft"},
        {2, 1234.5678, "4050.41ft"}, {4, 1234.5678, "0.66661nm"}, {0, -0.004, "0.00m"},
        {0, -0.006, "-0.01m"},
        {5, 1234.5678, "1234.57m"},  {10, 1234.5678, "1234.57m"}, {-1, 1234.5678, "1234.57m"},
    };
    for (const Case& c : cases) {
        alloc(c.distUnits);
        char out[64];
        distToStr(out, c.meters);
        EXPECT_STREQ(out, c.expected) << c.distUnits;
    }
    // A table edited by the host: decimals out of range are clamped.
    alloc(0).unitTable[0].decimals = 42;
    char out[64];
    distToStr(out, 1.5);
    EXPECT_STREQ(out, "1.500000000m");
    // Absurd values are cut to 50 bytes.
    std::memset(out, 'x', sizeof out);
    distToStr(out, 1e300);
    EXPECT_EQ(std::strlen(out), 49u);
    EXPECT_EQ(out[50], 'x');
}

TEST_F(UnitsTest, WritesWaypointDistances) {
    struct Case {
        int wpUnits;
        double meters;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {4, 1852.0, 3, "1.000nm"}, {3, 1500.0, 0, "2km"},       {0, 12.345, 2, "12.35m"},
        {1, 3.048, 1, "10.0ft"},   {0, 1.0, -4, "1m"},          {0, 1.0, 15, "1.000000000m"},
        {8, 12.345, 1, "12.3m"},   {-2, 12.345, 1, "12.3m"},
    };
    for (const Case& c : cases) {
        alloc(0, c.wpUnits);
        char out[64];
        wpDistToStr(out, c.meters, c.decimals);
        EXPECT_STREQ(out, c.expected) << c.wpUnits << " " << c.decimals;
    }
}

TEST_F(UnitsTest, ToStrUsesTheGivenUnitAndDecimals) {
    struct Case {
        double meters;
        int unit;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {100.0, 2, 3, "328.083ft"}, {1234.5678, 0, 0, "1235m"},         {1234.5678, 3, 2, "1.23km"},
        {500000.0, 1, 3, "1640419.948ft"}, {1.0, 0, 9, "1.000000000m"}, {1.0, 0, 10, "1.000000000m"},
        {1.0, 0, -1, "1m"},         {1.0, 6, 2, "1.00m"},               {1.0, -6, 2, "1.00m"},
    };
    Units u;
    for (const Case& c : cases) {
        char out[50];
        u.toStr(out, c.meters, c.unit, c.decimals, 50);
        EXPECT_STREQ(out, c.expected) << c.meters << " " << c.unit << " " << c.decimals;
    }
    char small[6] = "zzzzz";
    u.toStr(small, 100.0, 2, 3, 4);
    EXPECT_STREQ(small, "328");
    u.toStr(small, 100.0, 2, 3, 0);
    EXPECT_STREQ(small, "328");
}

TEST_F(UnitsTest, SettingsLoadAndSaveKeepWhatWasRead) {
    std::string in = file("in.ini",
                          "; user settings\r\n[Units]\r\nDISTUNITS = 3\r\nwpUnits=12\r\nlatLonStyle=1\r\n"
                          "defaultLatHemi=-1\r\ndefaultEntry=1\r\ndefaultDistCalc=5\r\n[other]\r\nx=1\r\n");
    ASSERT_EQ(allocUnits(in.data()), 1);
    Units* u = getUnits();
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->distUnits, 3);
    EXPECT_EQ(u->wpUnits, 12);
    EXPECT_EQ(u->latLonStyle, 1);
    EXPECT_EQ(u->defaultLatHemi, -1);
    EXPECT_EQ(u->defaultLonHemi, 0);
    EXPECT_EQ(u->defaultEntry, 1);
    EXPECT_EQ(u->defaultDistCalc, 5);
    EXPECT_EQ(getLatLonStyle(), 1);
    EXPECT_EQ(geoOrGrid(), 1);
    EXPECT_EQ(defaultEntry(), 1);
    EXPECT_EQ(distToMeters(), 1000.0);
    EXPECT_EQ(metersToDist(), 1.0 / 1000.0);
    char out[64];
    wpDistToStr(out, 2.5, 1); // index 12 converts as metres
    EXPECT_STREQ(out, "2.5m");

    std::string outFile = dir_ + "/out.ini";
    saveUnits(outFile.data());
    EXPECT_EQ(readRaw(outFile),
              "[units]\ndistUnits=3\nwpUnits=12\nlatLonStyle=1\ndefaultLatHemi=-1\ndefaultLonHemi=0\n"
              "defaultEntry=1\ndefaultDistCalc=5\n");
    // Saving back into the file it came from changes only the values that differ.
    u->distUnits = 4;
    saveUnits(in.data());
    EXPECT_EQ(readRaw(in),
              "; user settings\r\n[Units]\r\nDISTUNITS = 4\r\nwpUnits=12\r\nlatLonStyle=1\r\n"
              "defaultLatHemi=-1\r\ndefaultEntry=1\r\ndefaultDistCalc=5\r\ndefaultLonHemi=0\r\n[other]\r\nx=1\r\n");
}

TEST_F(UnitsTest, LifecycleWithoutAndWithAnObject) {
    std::string saved = dir_ + "/saved.ini";
    // No object: defaults, and no file is touched.
    EXPECT_EQ(getUnits(), nullptr);
    EXPECT_EQ(metersToDist(), 1.0);
    EXPECT_EQ(distToMeters(), 1.0);
    EXPECT_EQ(getLatLonStyle(), 0);
    EXPECT_EQ(geoOrGrid(), 0);
    char out[64];
    distToStr(out, 1234.5678);
    EXPECT_STREQ(out, "1234.57m");
    wpDistToStr(out, 1.0, 1);
    EXPECT_STREQ(out, "1.0m");
    char five[] = "5";
    EXPECT_EQ(parseStrToDist(five), 5.0);
    saveUnits(saved.data());
    deAllocUnits(saved.data());
    loadUnits(saved.data());
    struct stat st{};
    EXPECT_NE(::stat(saved.c_str(), &st), 0);

    // A second allocUnits reloads the same object.
    std::string a = file("a.ini", "[units]\ndistUnits=1\nlatLonStyle=1\n");
    std::string b = file("b.ini", "[units]\ndistUnits=4\n");
    ASSERT_EQ(allocUnits(a.data()), 1);
    Units* first = getUnits();
    first->defaultDistCalc = 9;
    ASSERT_EQ(allocUnits(b.data()), 1);
    EXPECT_EQ(getUnits(), first);
    EXPECT_EQ(first->distUnits, 4);
    EXPECT_EQ(first->latLonStyle, 0);
    EXPECT_EQ(first->defaultDistCalc, 0);

    loadUnits(a.data());
    EXPECT_EQ(getUnits()->distUnits, 1);
    deAllocUnits(saved.data());
    EXPECT_EQ(getUnits(), nullptr);
    EXPECT_EQ(readRaw(saved),
              "[units]\ndistUnits=1\nwpUnits=0\nlatLonStyle=1\ndefaultLatHemi=0\ndefaultLonHemi=0\n"
              "defaultEntry=0\ndefaultDistCalc=0\n");
}

TEST_F(UnitsTest, UnitsFileNameIsBounded) {
    std::string name = "settings.ini";
    loadUnits(name.data());
    EXPECT_STREQ(gw::unitsFileName(), "settings.ini");
    std::string longest(255, 'a');
    loadUnits(longest.data());
    EXPECT_EQ(std::string(gw::unitsFileName()), longest);
    std::string tooLong(256, 'b');
    loadUnits(tooLong.data());
    EXPECT_EQ(std::string(gw::unitsFileName()), longest);
    loadUnits(nullptr);
    EXPECT_EQ(std::string(gw::unitsFileName()), longest);
    // The name is remembered whether or not an object exists, and loading still happens.
    std::string f = file("f.ini", "[units]\ndistUnits=2\n");
    alloc();
    loadUnits(f.data());
    EXPECT_EQ(gw::unitsFileName(), f);
    EXPECT_EQ(getUnits()->distUnits, 2);
}

TEST_F(UnitsTest, TextIsTheSameInADecimalCommaLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 not installed";
    alloc(3);
    char out[64];
    distToStr(out, 1234.5678);
    std::string written = out;
    std::string text = "0.9996 km";
    double parsed = parseStrToDist(text.data());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(written, "1.23457km");
    EXPECT_EQ(parsed, 999.6);
}

} // namespace
