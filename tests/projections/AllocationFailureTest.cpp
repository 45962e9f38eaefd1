// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Running out of memory: envelopes left bare, changeTo keeping its projection,
// assignment unchanged on failure, local systems with a bare base, and no
// exception out of any constructor. This program's operator new fails on demand
// (support/FailingAllocation.h).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"
#include "support/FailingAllocation.h"

namespace {

using gwtest::NoMemory;

std::string initOf(Projection& p) {
    char buf[GW_INIT_STR_MAX];
    std::memset(buf, '#', sizeof buf);
    p.getInitStr(buf);
    return buf;
}

void expectBare(Projection& p) {
    EXPECT_NE(p.ownsInner, 0);
    EXPECT_EQ(p.inner, nullptr);
    EXPECT_EQ(p.type, 0);
    EXPECT_EQ(initOf(p), "");
    double a = 1, b = 1;
    p.geoToGrid(52.0, 5.0, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    p.gridToGeo(1000.0, 2000.0, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(p.lineScale(0, 0, 100, 100), 1.0);
    EXPECT_EQ(p.converge(0, 0), 0.0);
    EXPECT_EQ(p.getUnits(), 0);
    EXPECT_EQ(p.getFormat(), 0);
}

TEST(OutOfMemory, EnvelopesAreLeftBare) {
    std::string lambert = "1,Zone,N32 47.0000,N33 53.0000,W116 15.0000,N32 10.0000,0.00,0.00,0";
    {
        NoMemory none;
        Projection plain;
        Projection fromText(lambert.data());
        none.end();
        expectBare(plain);
        expectBare(fromText);
    }
    // A copy of an envelope is bare when its concrete projection cannot be copied.
    Projection source(lambert.data());
    {
        NoMemory none;
        Projection copy(source);
        none.end();
        expectBare(copy);
    }
    // Memory back, the same envelope works as ever.
    Projection again(lambert.data());
    EXPECT_EQ(again.type, 1);
    EXPECT_EQ(initOf(again), lambert);
}

TEST(OutOfMemory, ChangeToAndAssignmentKeepTheProjection) {
    std::string text = "0,Mine,E003 00.0000,100.00,200.00,0.999000,N10 00.0000,1";
    Projection p(text.data());
    Projection other;
    other.changeTo(4);
    bool threw = false;
    {
        NoMemory none;
        p.changeTo(1);
        try {
            p = other;
        } catch (const std::bad_alloc&) {
            threw = true;
        }
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(p.type, 0);
    EXPECT_EQ(initOf(p), text);
    // The writers need memory too: without it the string is empty.
    char buf[GW_INIT_STR_MAX] = "untouched";
    {
        NoMemory none;
        p.getInitStr(buf);
    }
    EXPECT_STREQ(buf, "");
    p.changeTo(1);
    EXPECT_EQ(p.type, 1);
}

// A local system keeps its own fields and holds a bare base.
TEST(OutOfMemory, LocalSystemsHoldABareBase) {
    std::string kestrel = "3,Site,0,1,0,0,1,0,1,0,0,1,0,0,1,Zone,N32 47,N33 53,W116 15,N32 10,0,0,0";
    std::string staOff = "6,Line,1,2,3,4,5,Flat,0,0,";
    {
        NoMemory none;
        KestrelLocal k(kestrel.data());
        StaOff s(staOff.data());
        KestrelLocal kDefault;
        none.end();
        EXPECT_EQ(k.type, 3);
        EXPECT_EQ(k.eToLocalEast, 1.0);
        expectBare(*k.baseProj);
        EXPECT_EQ(gw::initString(k), "3,Site,0.000000000000,1.000000000000,0.000,0.000000000000,1.000000000000,0.000,"
                                     "1.000000000000,0.000000000000,0.000,1.000000000000,0.000000000000,0.000,");
        EXPECT_EQ(s.type, 6);
        EXPECT_EQ(s.endLon, 4.0);
        expectBare(*s.baseProj);
        expectBare(*kDefault.baseProj);
    }
    KestrelLocal k(kestrel.data());
    ASSERT_EQ(k.baseProj->type, 1);
    {
        NoMemory none;
        KestrelLocal copy(k);
        none.end();
        expectBare(*copy.baseProj);
        EXPECT_EQ(copy.eToLocalEast, 1.0);
    }
    // Assignment: the base's copy fails last, the old base stays.
    KestrelLocal target;
    bool threw = false;
    {
        NoMemory none;
        try {
            target = k;
        } catch (const std::bad_alloc&) {
            threw = true;
        }
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(target.baseProj->type, 0);
    EXPECT_NE(target.baseProj->inner, nullptr);
}

} // namespace
