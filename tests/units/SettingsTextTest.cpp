// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings text shared by the datum and the projections: the longitude kept from a
// settings key or an initialisation string, and the rules that pick a unit record.
#include "units/GridUnit.h"
#include "units/SettingsText.h"

#include "gridwise/angletext.h"
#include "platform/CLocale.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

TEST(KeptLongitude, HalfTurnKeptAndBeyondItWrapped) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, double> cases[] = {
        {-180.0, -180.0}, {180.0, 180.0},   {-179.5, -179.5}, {190.0, -170.0}, {-190.0, 170.0},
        {540.0, 180.0},   {-540.0, 180.0},  {-180.5, 179.5},  {720.25, 0.25},  {-1e6, 80.0},
    };
    for (const auto& c : cases) EXPECT_EQ(gw::keptLongitude(c.first), c.second) << c.first;
    EXPECT_EQ(gw::keptLongitude(std::nan("")), 0.0);
    EXPECT_TRUE(std::isnan(gw::keptLongitude(inf)));
    EXPECT_TRUE(std::isnan(gw::keptLongitude(-inf)));
}

// A host may fill a spare record and empty a filled one through getUnits: the
// grid unit follows the table as it is now, the distance texts the five records
// the table was built with.
TEST(UnitIndex, TableFilledAndInUseRecordsDiffer) {
    Units u;
    u.unitTable[7].metersPerUnit = 2.0;
    std::strcpy(u.unitTable[7].abbrev, "dm2");
    u.unitTable[1].metersPerUnit = 0.0;
    struct Case {
        int index, table, filled, grid;
    };
    const Case cases[] = {
        {-1, 0, 0, 0}, {0, 0, 0, 0}, {1, 1, 1, 0},  {4, 4, 4, 4},       {5, 5, 0, 0},
        {7, 7, 0, 7},  {9, 9, 0, 0}, {10, 0, 0, 0}, {INT_MIN, 0, 0, 0}, {INT_MAX, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gw::unitTableIndex(c.index), c.table) << c.index;
        EXPECT_EQ(gw::filledUnitIndex(c.index), c.filled) << c.index;
        EXPECT_EQ(gw::gridUnitIndex(u, c.index), c.grid) << c.index;
    }
    char out[50];
    u.toStr(out, 10.0, 7, 1, sizeof out);
    EXPECT_STREQ(out, "10.0m");
    gw::distanceText(out, sizeof out, 1000.0, 12, 1);
    EXPECT_STREQ(out, "1000.0m");
    gw::distanceText(out, sizeof out, 1000.0, 1, 1);
    EXPECT_STREQ(out, "3280.8ft");
}

} // namespace

// Stored numbers keep their stated form when it carries the value and otherwise
// get the decimals the value needs; the readers give back the same double.
TEST(StoredNumbers, StatedFormWhenItFitsMoreDecimalsWhenNot) {
    struct Case {
        const char* format;
        double value;
        gw::NumberReader reader;
        const char* text;
    } cases[] = {
        {"%.6f", 0.9996, gw::NumberReader::plain, "0.999600"},             // fits: byte for byte as before
        {"%.6f", 0.9996012717, gw::NumberReader::plain, "0.9996012717"},   // a national grid's scale
        {"%.3f", 500000.0, gw::NumberReader::plain, "500000.000"},
        {"%.3f", 213360.42672085344, gw::NumberReader::plain, "213360.42672085343"},
        {"%.2f", 400000.0, gw::NumberReader::grid, "400000.00"},
        {"%.2f", 1234.5678, gw::NumberReader::grid, "1234.5678"},
        {"%.10f", 0.3 / 3600, gw::NumberReader::plain, "0.00008333333333333333"},
        {"%.2f", -0.0, gw::NumberReader::plain, "0.00"},  // no negative zero
    };
    for (const Case& c : cases) {
        const std::string text = gw::numberText(c.format, c.value, c.reader, 79);
        EXPECT_EQ(text, c.text) << c.value;
        EXPECT_EQ(gw::cAtof(text.c_str()), c.value) << text;
    }
    // The grid reader takes twelve digits and points: the closest such text.
    const std::string grid = gw::numberText("%.2f", 213360.42672085344, gw::NumberReader::grid, 79);
    EXPECT_EQ(grid, "213360.42672");
    // A field read 19 characters wide is never written wider.
    EXPECT_LE(gw::numberText("%.12f", 1.0 / 3e7, gw::NumberReader::plain, 19).size(), 19u);
}

TEST(StoredNumbers, AnglesInTheirFormOrCloserForms) {
    struct Case {
        double value;
        bool latitude;
        const char* text;
    } cases[] = {
        {-117.0, false, "W117 00.0000"},
        {32.0 + 10.0 / 60, true, "N32 10.0000"},
        {52.0 + 9.0 / 60 + 22.178 / 3600, true, "N52 09 22.178"},  // a published origin in seconds
        {-(4.0 + 53.0 / 60 + 21.961 / 3600), false, "W004 53 21.961"},
    };
    for (const Case& c : cases) {
        const std::string text = c.latitude ? gw::latitudeText(c.value) : gw::longitudeText(c.value);
        EXPECT_EQ(text, c.text) << c.value;
        std::string copy = text;
        EXPECT_EQ(strToAng(copy.data()), c.value) << text;
    }
    // No text of the angle reader holds every double: the closest one it reads.
    const double odd = 33.98765432109876;
    std::string text = gw::latitudeText(odd);
    EXPECT_NEAR(strToAng(text.data()), odd, 3e-13) << text;
    // Inside the exact scope such an angle is plain degrees, read back to the bit.
    const gw::ExactTextScope exact;
    text = gw::latitudeText(odd);
    EXPECT_EQ(text, "33.98765432109876");
    EXPECT_EQ(gw::latitudeField(text.data(), 0.0), odd);
}

// Datum rotations of a projection-list entry are read by strToAng: arc-seconds
// in degrees need more than "%f" gives: they are written in seconds when that
// reads back exactly.
TEST(StoredNumbers, RotationsInDegreesKeepTheirArcSeconds) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0.000000"},
        {0.5, "0.500000"},
        {1.2 / 3600, "0 0 1.2"},
        {-0.3 / 3600, "-0 0 0.3"},
    };
    for (const Case& c : cases) {
        std::string text = gw::angleNumberText("%f", c.value, 29);
        EXPECT_EQ(text, c.text) << c.value;
        EXPECT_EQ(strToAng(text.data()), c.value) << text;
    }
}

namespace {

// A name is cut at its member's size, never inside a UTF-8 character; bytes that are
// not UTF-8 (Latin-1) are cut as bytes; the start and end are trimmed as before.
TEST(KeptNames, CutAtACharacterBoundary) {
    struct Case {
        const char* in;
        std::size_t cap;
        const char* kept;
    };
    const Case cases[] = {
        {"Zone", 10, "Zone"},
        {" :;Zone  ", 10, "Zone"},
        {"a\xc3\xa9", 3, "a"},                  // é would be cut after its first byte
        {"a\xc3\xa9", 4, "a\xc3\xa9"},          // fits exactly
        {"a\xe2\x82\xac" "b", 4, "a"},          // € cut after two of its three bytes
        {"a\xe2\x82\xac" "b", 5, "a\xe2\x82\xac"},
        {"\xf0\x9f\x98\x80x", 4, ""},           // a four-byte character
        {"caf\xe9s", 5, "caf\xe9"},             // Latin-1: é is one byte, kept
        {"ab\x80\x80\x80\x80\x80", 5, "ab\x80\x80"}, // stray continuation bytes: cut as bytes
    };
    for (const Case& c : cases) {
        char out[16];
        std::memset(out, 'x', sizeof out);
        gw::keepName(out, c.cap, c.in);
        EXPECT_STREQ(out, c.kept) << c.in << " in " << c.cap;
    }
}

} // namespace
