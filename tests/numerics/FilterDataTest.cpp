// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The running median filter.
#include "gridwise/filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Step {
    double value, time;
    int result;
    double output;
    int flag;
};

// Feeds samples and checks every result, output and flag.
void run(FilterData& f, const std::vector<Step>& steps, double tol, int maxSamples = 20) {
    int k = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(f.addData(s.value, s.time, tol, maxSamples), s.result) << "step " << k;
        EXPECT_EQ(f.output, s.output) << "step " << k;
        EXPECT_EQ(f.flag, s.flag) << "step " << k;
        EXPECT_EQ(f.spare, 0.0);
        ++k;
    }
}

TEST(FilterData, SpikeIsPassedThenRejected) {
    FilterData f;
    EXPECT_EQ(f.size, 20);
    EXPECT_EQ(f.maxAge, 500.0);
    run(f,
        {{10, 0, 0, 10, 0},
         {10, 1, 0, 10, 0},   // fewer than 3 samples: raw
         {10, 2, 1, 10, 1},
         {10, 3, 1, 10, 1},
         {50, 4, 0, 50, 0},   // median 10 is not within 1 of 50
         {10.5, 5, 1, 10, 2}}, // median of 10, 10, 10, 10, 10.5, 50
        1.0);
}

TEST(FilterData, ThreeOrFourSamplesNeedThreeClose) {
    FilterData f;
    // Sorted 1, 5, 5.5, 9: median 5.25 is close to 5.5 but only two samples are.
    run(f, {{1, 0, 0, 1, 0}, {9, 1, 0, 9, 0}, {5, 2, 0, 5, 0}, {5.5, 3, 0, 5.5, 0}}, 2.0);
    FilterData g;
    run(g, {{10, 0, 0, 10, 0}, {10, 1, 0, 10, 0}, {20, 2, 0, 20, 0}, {20, 3, 1, 15, 1}}, 6.0);
}

TEST(FilterData, AgeZerosAndSampleLimit) {
    FilterData old(20, 5.0);
    run(old, {{10, 0, 0, 10, 0}, {10, 1, 0, 10, 0}, {10, 2, 1, 10, 1}, {10.2, 100, 0, 10.2, 0}}, 1.0);

    FilterData zeros;
    run(zeros, {{10, 0, 0, 10, 0}, {0, 1, 0, 0, 0}, {0, 2, 0, 0, 0}, {10, 3, 0, 10, 0}, {10.1, 4, 1, 10, 1}},
        1.0);

    // Four small values then a streak of large ones: the newest three agree.
    FilterData limited, unlimited;
    const std::vector<double> values = {1, 1, 1, 1, 100, 100, 100, 100};
    int r3 = 0, r20 = 0;
    for (size_t k = 0; k < values.size(); ++k) {
        r3 = limited.addData(values[k], double(k), 5.0, 3);
        r20 = unlimited.addData(values[k], double(k), 5.0, 20);
    }
    EXPECT_EQ(r3, 1);
    EXPECT_EQ(limited.output, 100.0);
    EXPECT_EQ(limited.flag, 1);
    EXPECT_EQ(r20, 0); // median 50.5 of all eight
    EXPECT_EQ(unlimited.output, 100.0);
}

TEST(FilterData, RingSizes) {
    FilterData big(50, 1e9);
    EXPECT_EQ(big.size, 30);
    for (int k = 0; k < 100; ++k) big.addData(5.0 + (k % 3), k, 10.0, 100);
    EXPECT_EQ(big.count, 30);
    EXPECT_EQ(big.flag, 2);

    FilterData three(3, 1e9);
    for (int k = 0; k < 10; ++k) three.addData(double(k + 1), k, 100.0, 20);
    EXPECT_EQ(three.output, 9.0); // median of 8, 9, 10
    EXPECT_EQ(three.flag, 1);

    for (int size : {0, -5}) {
        FilterData tiny(size, 500.0);
        EXPECT_EQ(tiny.size, 1);
        EXPECT_EQ(tiny.addData(3.0, 0, 1, 20), 0);
        EXPECT_EQ(tiny.addData(4.0, 1, 1, 20), 0);
        EXPECT_EQ(tiny.output, 4.0);
    }

    // Fields changed by the caller do not take the ring out of bounds.
    FilterData edited;
    edited.size = 1000;
    edited.index = -4;
    edited.count = 77;
    EXPECT_EQ(edited.addData(1.0, 0, 1, 20), 0);
    EXPECT_LE(edited.count, 30);
}

TEST(FilterData, CopiedMemberByMember) {
    FilterData f;
    f.addData(10, 0, 1, 20);
    f.addData(10, 1, 1, 20);
    FilterData g = f;
    EXPECT_EQ(g.addData(10, 2, 1, 20), 1);
    EXPECT_EQ(f.count, 2);
}

} // namespace
