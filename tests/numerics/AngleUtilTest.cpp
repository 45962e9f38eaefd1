// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Angle utilities: full-circle arctangent, signed differences, sense of turn.
#include "gridwise/angleutil.h"

#include <GeographicLib/Math.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(Arctan, QuadrantsAndAxes) {
    struct Case {
        double y, x, expected;
    };
    const Case cases[] = {
        {0, 0, 0},       {0, 1, 0},      {1, 0, 90},     {0, -1, 180},   {-1, 0, 270},
        {1, 1, 45},      {1, -1, 135},   {-1, -1, 225},  {-1, 1, 315},   {-0.0, -1, 180},
        {-0.0, 0.0, 0},  {0.0, -0.0, 0},
    };
    for (const Case& c : cases) EXPECT_NEAR(arctan(c.y, c.x), c.expected, 1e-12) << c.y << ", " << c.x;
}

TEST(Arctan, NeverReturns360) {
    // atan2 of a tiny negative y is a tiny negative angle: + 360 rounds to 360
    for (double y : {-1e-300, -1e-20, -4.9e-324, -1e-14}) {
        double r = arctan(y, 1.0);
        EXPECT_GE(r, 0.0) << y;
        EXPECT_LT(r, 360.0) << y;
    }
    EXPECT_EQ(arctan(-1e-20, 1.0), 0.0);
    EXPECT_TRUE(std::isnan(arctan(NAN, 1.0)));
}

TEST(Arctan, AgreesWithGeographicLib) {
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> dist(-1e3, 1e3);
    for (int i = 0; i < 100000; ++i) {
        double y = dist(rng), x = dist(rng);
        double ref = GeographicLib::Math::atan2d(y, x);
        if (ref < 0) ref += 360;
        double r = arctan(y, x);
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 360.0);
        ASSERT_NEAR(std::remainder(r - ref, 360.0), 0.0, 1e-12) << y << ", " << x;
    }
}

TEST(DeltaAngle, OneShiftIntoHalfTurn) {
    struct Case {
        double a, b, expected;
    };
    const Case cases[] = {
        {350, 10, -20}, {10, 350, 20},   {190, 10, 180},  {10, 190, -180}, {181, 0, -179},
        {0, 181, 179},  {30, 30, 0},     {-170, 170, 20}, {600, 0, 240},   // beyond 540: one shift only
        {-600, 0, -240},
    };
    for (const Case& c : cases) EXPECT_EQ(deltaAngle(c.a, c.b), c.expected) << c.a << " - " << c.b;
    EXPECT_EQ(deltaAngle(1, 1, 45), 0.0);
    EXPECT_NEAR(deltaAngle(-1, 0, 80), -170, 1e-12);  // 270 - 80 = 190 -> -170
    EXPECT_NEAR(deltaAngle(0, -1, 0), 180, 1e-12);    // exactly 180 stays
    EXPECT_NEAR(deltaAngle(1, 0, -100), -170, 1e-12);  // 190 -> -170
}

TEST(CurveDirection, SenseOfTurn) {
    struct Case {
        double from, to;
        int expected;
    };
    const Case cases[] = {
        {10, 20, -1},   {20, 10, 1},    {170, -170, -1}, {-170, 170, 1}, {0, 10, 1},
        {-10, 0, 1},    {30, 30, 1},    {350, 10, -1},   {10, 350, 1},   {-20, -10, -1},
        {-10, -20, 1},  {-10, 100, -1}, {-10, 175, 1},   {100, -90, -1}, {100, -70, 1},
        {180, -180, -1}, {190, 200, -1}, {-190, 170, 1},  {-100, 80, 1},  {100, -80, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(curveDirection(c.from, c.to), c.expected) << c.from << " -> " << c.to;
}

} // namespace
