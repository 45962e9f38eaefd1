// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Running out of memory: the geodesy object's constructors and assignment never
// throw, a Geodetics without its projection answers safely and makes it again on
// loading, and allocGeodetics gives a whole instance or none.
//
// The allocation functions of this test program fail on demand (support/FailingAllocation.h).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"
#include "support/FailingAllocation.h"
#include "support/SettingsFiles.h"

using gwtest::FailFrom;

namespace {

TEST(GeodeticsOutOfMemory, WithoutItsProjectionItAnswersAndLoadsItAgain) {
    std::optional<Geodetics> g;
    {
        FailFrom all(0);
        g.emplace();
    }
    ASSERT_EQ(g->projection, nullptr);
    double a = 5.0, b = 5.0;
    g->gridToGeo(3e6, 4e5, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    a = b = 5.0;
    g->geoToGrid(30.0, -100.0, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(g->lineScale(0, 0, 100, 100), 1.0);
    EXPECT_EQ(g->converge(0, 0), 0.0);
    EXPECT_EQ(g->getUnits(), 0);
    EXPECT_EQ(g->getFormat(), 0);
    double azimuth = 0.0, distance = 0.0;
    g->inverse(0.0, 0.0, 0.0, 1.0, azimuth, distance); // the datum still works
    EXPECT_EQ(azimuth, 90.0);
    EXPECT_NEAR(distance, 111319.49, 0.01);
    const Geodetics copy(*g);
    EXPECT_EQ(copy.projection, nullptr);

    gwtest::TempDir dir;
    const std::string file = dir.file("geo.ini");
    g->saveData(const_cast<char*>("S"), const_cast<char*>(file.c_str()));
    EXPECT_FALSE(std::filesystem::exists(file)); // nothing that could not be read back

    gwtest::writeFile(file, "[S]\nGeodesyType=1\naAxis=6378388\ninverseFlattening=297\n");
    g->loadData(const_cast<char*>("S"), const_cast<char*>(file.c_str()));
    ASSERT_NE(g->projection, nullptr);
    EXPECT_EQ(g->projection->type, 1);
    EXPECT_EQ(g->datum.aAxis, 6378388.0);
}

TEST(GeodeticsOutOfMemory, FailedAssignmentChangesNothing) {
    Geodetics source;
    source.datum.aAxis = 6378388.0;
    source.projection->changeTo(4);
    Geodetics target;
    Projection* const before = target.projection;
    // Whichever allocation of the copy fails (the envelope, or its concrete
    // projection behind it), the target stays as it was.
    for (long n : {0L, 1L}) {
        {
            FailFrom from(n);
            target = source;
        }
        EXPECT_EQ(target.projection, before) << n;
        EXPECT_EQ(target.projection->type, 0) << n;
        EXPECT_NE(target.projection->inner, nullptr) << n;
        EXPECT_EQ(target.datum.aAxis, 6378137.0) << n;
    }
    target = source;
    EXPECT_EQ(target.projection->type, 4);
    EXPECT_EQ(target.datum.aAxis, 6378388.0);
}

// Whichever allocation fails, allocGeodetics either makes an instance whose
// projection is whole or leaves none.
TEST(GeodeticsOutOfMemory, AllocGeodeticsMakesAWholeInstanceOrNone) {
    ASSERT_EQ(allocGeodetics(), 1); // start-up done before any failure is armed
    bool made = false;
    for (long n = 0; n < 1000 && !made; ++n) {
        int result;
        {
            FailFrom from(n);
            result = allocGeodetics();
        }
        Geodetics* g = gw::geodesyInstance();
        if (result == 1) {
            made = true;
            ASSERT_NE(g, nullptr);
            ASSERT_NE(g->projection, nullptr);
            EXPECT_NE(g->projection->inner, nullptr);
            double north = 0.0, east = 0.0;
            geoToGrid(33.0, -117.0, &north, &east);
            EXPECT_NEAR(east, 500000.0, 1.0); // the default zone's central meridian
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(g, nullptr) << n;
            double lat = 7.0;
            gridToGeo(0.0, 0.0, &lat, nullptr);
            EXPECT_EQ(lat, 7.0);
        }
    }
    EXPECT_TRUE(made);
    deAllocGeodetics();
}

} // namespace
