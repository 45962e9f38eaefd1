// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings text shared by the datum and the projections: the longitude kept from a
// settings key or an initialisation string, and the rules that pick a unit record.
#include "units/GridUnit.h"
#include "units/SettingsText.h"

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
