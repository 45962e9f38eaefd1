// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The strict reader of a whole angle text: what it takes, what it refuses, and
// where it stops.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gridwise/angletext.h"

namespace {

TEST(ReadAngle, TakesWholeAnglesOnly) {
    struct Case {
        const char* text;
        int flags;
        int verdict;
        double degrees;
        size_t stop;
    };
    const Case cases[] = {
        {"N34 30", 0, 1, 34.5, 6},
        {"  34 30 00 S \n", 0, 1, -34.5, 12},
        {"-12.5", 0, 1, -12.5, 5},
        {"W117.5", 0, 1, -117.5, 6},
        {"", 0, 0, 0.0, 0},
        {"   ", 0, 0, 0.0, 3},
        {"N", 0, 0, 0.0, 1},
        {"x5", 0, 0, 0.0, 0},
        {"1 x", 0, -1, 1.0, 2},
        {"1 2 3 4", 0, -1, 1.0 + 2.0 / 60 + 3.0 / 3600, 6},
        {" N ", GW_ANGLE_SIGN_ALONE, 1, 0.0, 2},
        {"N S", GW_ANGLE_SIGN_ALONE, 0, 0.0, 2},
        {" 12.3456789012345 ", GW_ANGLE_EXACT_DECIMAL, 1, 12.3456789012345, 17},
        {"-0.1", GW_ANGLE_EXACT_DECIMAL, 1, -0.1, 4},
        {"N12.5", GW_ANGLE_EXACT_DECIMAL, 1, 12.5, 5},
        // runs read whole, with the flag or without it; two points are no number
        {"34.03333333333333", 0, 1, 34.03333333333333, 17},
        {" -89.9999999999", GW_ANGLE_EXACT_DECIMAL, 1, -89.9999999999, 15},
        {"W117 00.00000000000012", 0, 1, -(117 + 0.00000000000012 / 60), 22},
        {"1.2.3", 0, -1, 1.2, 3},
        {"1.2.3", GW_ANGLE_EXACT_DECIMAL, -1, 1.2, 3},
        {"12 30.5.5", 0, -1, 12 + 30.5 / 60, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "' flags " + std::to_string(c.flags));
        double degrees = -99.0;
        size_t stop = 999;
        EXPECT_EQ(gwReadAngle(c.text, c.flags, &degrees, &stop), c.verdict);
        EXPECT_EQ(degrees, c.degrees);
        EXPECT_EQ(stop, c.stop);
    }
    EXPECT_EQ(gwReadAngle(nullptr, 0, nullptr, nullptr), 0);
}

// The reader gives parseStrToAng's value wherever that reads the whole text.
TEST(ReadAngle, AgreesWithTheParser) {
    for (const char* text : {"N52 05 07.44", "52 05.1240N", "E004 52 07.0", "  0 00 01.50000", "359.999999"}) {
        std::string copy = text;
        int pos = 0;
        const double expected = parseStrToAng(copy.data(), &pos);
        double degrees = 0.0;
        EXPECT_EQ(gwReadAngle(text, 0, &degrees, nullptr), 1) << text;
        EXPECT_EQ(degrees, expected) << text;
    }
}

} // namespace
