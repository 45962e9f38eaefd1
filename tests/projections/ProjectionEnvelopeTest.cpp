// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The envelope: factory by code and by text, changeTo, forwarding, copies.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "projections/ProjectionFactory.h"
#include "projections/TransverseMercator.h"
#include "ProjectionTestUtil.h"

namespace {

TransverseMercator* tmOf(Projection& envelope) {
    return dynamic_cast<TransverseMercator*>(envelope.inner);
}

std::string initOf(Projection& p) {
    char buf[GW_INIT_STR_MAX];
    p.getInitStr(buf);
    return buf;
}

const char* const kDefaultInit = "0,UTM Zone 11,W117 00.0000,0.00,500000.00,0.999600,N00 00.0000,0";

TEST(ProjectionFactory, LeadingIntegerReadsLikeAtoi) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {nullptr, 0},      {"", 0},           {"abc", 0},          {"0,x", 0},
        {"  7,RD", 7},     {"\t-3", -3},      {"+4x", 4},          {"12abc", 12},
        {"- 5", 0},        {"2147483647", 2147483647},             {"99999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},     {"-99999999999999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(projLeadingInt(c.text), c.expected) << (c.text ? c.text : "(null)");
}

TEST(ProjectionFactory, DefaultEnvelopeHoldsDefaultTransverseMercator) {
    Projection p;
    EXPECT_EQ(p.type, 0);
    EXPECT_NE(p.ownsInner, 0);
    ASSERT_NE(tmOf(p), nullptr);
    EXPECT_EQ(p.inner->ownsInner, 0);
    EXPECT_EQ(p.inner->inner, nullptr);
    char general[30], specific[30];
    p.getTypeStr(general, specific);
    EXPECT_STREQ(general, "USER");
    EXPECT_STREQ(specific, "Transverse Mercator");
    EXPECT_EQ(initOf(p), kDefaultInit);
    EXPECT_EQ(p.getFormat(), 0);
    EXPECT_EQ(p.getUnits(), 0);
}

// Texts whose leading integer names no class give a default Transverse Mercator
// and are not read; a leading 0 reads the fields.
TEST(ProjectionFactory, TextChoosesClassByLeadingInteger) {
    struct Case {
        const char* text;
        const char* expectedInit;
    } cases[] = {
        {"2,Other,E003 00.0000,1.00,2.00,0.999000,N10 00.0000,1", kDefaultInit},
        {"8,Other,E003 00.0000,1.00,2.00,0.999000,N10 00.0000,1", kDefaultInit},
        {"-1,Other,E003 00.0000,1.00,2.00,0.999000,N10 00.0000,1", kDefaultInit},
        {"4294967296,Other,E003 00.0000,1.00,2.00", kDefaultInit},
        {"0,My Zone,E003 00.0000,100.00,200.00,0.999000,N10 00.0000,1",
         "0,My Zone,E003 00.0000,100.00,200.00,0.999000,N10 00.0000,1"},
        {"  0,My Zone,W003 30.0000,-100.25,200.75,0.999000,S10 00.0000,2",
         "0,My Zone,W003 30.0000,-100.25,200.75,0.999000,S10 00.0000,2"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        Projection p(text.data());
        EXPECT_EQ(p.type, 0) << c.text;
        ASSERT_NE(tmOf(p), nullptr);
        EXPECT_EQ(initOf(p), c.expectedInit) << c.text;
        char general[30], specific[30];
        p.getTypeStr(general, specific);
        EXPECT_STREQ(general, "USER");
        EXPECT_STREQ(specific, "Transverse Mercator");
    }
}

TEST(ProjectionFactory, ChangeToReplacesInnerWithDefaults) {
    std::string text = "0,My Zone,E003 00.0000,100.00,200.00,0.999000,N10 00.0000,1";
    Projection p(text.data());
    std::strcpy(p.general, "envelope-g");
    std::strcpy(p.specific, "envelope-s");
    for (int code : {0, 2, 8, -7, 1 << 30}) {
        p.changeTo(code);
        EXPECT_EQ(p.type, 0);
        EXPECT_NE(p.ownsInner, 0);
        ASSERT_NE(tmOf(p), nullptr);
        EXPECT_EQ(initOf(p), kDefaultInit) << code;
        EXPECT_STREQ(p.general, "envelope-g");
        EXPECT_STREQ(p.specific, "envelope-s");
    }
    // A concrete projection does not change class (and leaks nothing).
    TransverseMercator tm;
    tm.changeTo(0);
    EXPECT_EQ(tm.inner, nullptr);
    EXPECT_EQ(tm.ownsInner, 0);
}

TEST(ProjectionEnvelope, ForwardsEveryOperation) {
    Datum d = gwtest::wgs84();
    Projection p;
    TransverseMercator direct;
    p.geoparm(&d);
    direct.geoparm(&d);
    tmOf(p)->units = 2;
    direct.units = 2;

    double n1, e1, n2, e2;
    p.geoToGrid(52.0, -116.0, n1, e1);
    direct.geoToGrid(52.0, -116.0, n2, e2);
    EXPECT_EQ(n1, n2);
    EXPECT_EQ(e1, e2);
    double la1, lo1, la2, lo2;
    p.gridToGeo(n1, e1, la1, lo1);
    direct.gridToGeo(n2, e2, la2, lo2);
    EXPECT_EQ(la1, la2);
    EXPECT_EQ(lo1, lo2);
    EXPECT_EQ(p.converge(n1, e1), direct.converge(n2, e2));
    EXPECT_EQ(p.lineScale(n1, e1, n1 + 1000, e1 + 1000), direct.lineScale(n2, e2, n2 + 1000, e2 + 1000));
    EXPECT_EQ(p.getUnits(), 2);
    EXPECT_EQ(p.getFormat(), 0);
    EXPECT_EQ(p.editDialog(nullptr, nullptr), 0);
    char l1[6][50], l2[6][50];
    p.getLines(l1);
    direct.getLines(l2);
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(l1[i], l2[i]);

    char g[30], s[30];
    char longName[] = "a name that is far longer than twenty-nine characters";
    char zone[] = "Zone 31";
    p.setTypeStr(longName, zone);
    p.getTypeStr(g, s);
    EXPECT_EQ(std::string(g), std::string(longName).substr(0, 29));
    EXPECT_STREQ(s, "Zone 31");
    EXPECT_STREQ(p.inner->general, g); // the names live in the concrete projection
}

TEST(ProjectionEnvelope, CopyAndAssignmentCloneTheConcreteProjection) {
    std::string text = "0,Source,E003 00.0000,100.00,200.00,0.999000,N10 00.0000,1";
    Projection a(text.data());
    char g[] = "G", s[] = "S";
    a.setTypeStr(g, s);

    Projection b(a);
    ASSERT_NE(b.inner, nullptr);
    EXPECT_NE(b.inner, a.inner);
    EXPECT_NE(b.ownsInner, 0);
    EXPECT_EQ(initOf(b), initOf(a));
    tmOf(b)->falseEast = 1.0;
    EXPECT_EQ(tmOf(a)->falseEast, 200.0);
    char g2[30], s2[30];
    b.getTypeStr(g2, s2);
    EXPECT_STREQ(g2, "G");
    EXPECT_STREQ(s2, "S");

    Projection c;
    Projection* before = c.inner;
    c = a;
    EXPECT_NE(c.inner, a.inner);
    EXPECT_NE(c.inner, before);
    EXPECT_EQ(initOf(c), initOf(a));
    c = c; // self-assignment keeps the projection
    EXPECT_EQ(initOf(c), initOf(a));

    // Assigning the envelope its own concrete projection copies it before the old goes.
    c = *c.inner;
    EXPECT_EQ(initOf(c), initOf(a));
    c.getTypeStr(g2, s2);
    EXPECT_STREQ(g2, "G");

    // Assigning a concrete projection to an envelope wraps a copy of it.
    TransverseMercator tm;
    tm.falseNorth = 42.0;
    Projection d;
    d = tm;
    ASSERT_NE(tmOf(d), nullptr);
    EXPECT_NE(d.inner, static_cast<Projection*>(&tm));
    EXPECT_EQ(tmOf(d)->falseNorth, 42.0);

    std::unique_ptr<Projection> e(a.clone());
    EXPECT_NE(e->inner, a.inner);
    EXPECT_EQ(initOf(*e), initOf(a));
    // All envelopes are destroyed at scope end: ASan reports any double delete.
}

TEST(ProjectionEnvelope, ConcreteCopyIsNotAnEnvelope) {
    TransverseMercator a;
    a.falseNorth = 5.0;
    std::strcpy(a.specific, "Mine");
    TransverseMercator b(a);
    EXPECT_EQ(b.inner, nullptr);
    EXPECT_EQ(b.ownsInner, 0);
    EXPECT_EQ(b.falseNorth, 5.0);
    EXPECT_STREQ(b.specific, "Mine");
    TransverseMercator c;
    c = a;
    EXPECT_EQ(c.inner, nullptr);
    EXPECT_EQ(c.ownsInner, 0);
    EXPECT_STREQ(c.specific, "Mine");
    std::unique_ptr<Projection> d(a.clone());
    ASSERT_NE(dynamic_cast<TransverseMercator*>(d.get()), nullptr);
    EXPECT_EQ(d->ownsInner, 0);
}

// A concrete projection with an overlong initialisation string.
class LongInit : public Projection {
public:
    LongInit() : Projection(ProjectionBaseCon{}) { type = 0; }
    void initText(gw::InitText& out) const override { out.append("0," + std::string(3 * GW_INIT_STR_MAX, 'x')); }
    Projection* clone() const override { return new LongInit(*this); }
};

TEST(ProjectionEnvelope, InitStringIsBoundedToTheDocumentedMaximum) {
    Projection p;
    p = LongInit();
    static char buf[GW_INIT_STR_MAX + 16];
    std::memset(buf, '#', sizeof buf);
    p.getInitStr(buf);
    EXPECT_EQ(std::strlen(buf), static_cast<size_t>(GW_INIT_STR_MAX - 1));
    for (size_t i = GW_INIT_STR_MAX; i < sizeof buf; ++i) ASSERT_EQ(buf[i], '#');
    EXPECT_EQ(gw::initString(p).size(), 3u * GW_INIT_STR_MAX + 2);
}

// The sized writer: at most size - 1 characters and the terminator, nothing for
// a null buffer or size 0.
TEST(ProjectionEnvelope, SizedInitStringIsCutToTheBuffer) {
    Projection p;
    const std::string whole = kDefaultInit;
    const std::string cut = whole.substr(0, whole.size() - 1);
    const struct {
        size_t size;
        const char* expected; // null: the buffer is left alone
    } cases[] = {
        {0, nullptr},
        {1, ""},
        {5, "0,UT"},
        {whole.size(), cut.c_str()},
        {whole.size() + 1, kDefaultInit},
        {sizeof(char[200]), kDefaultInit},
    };
    for (const auto& c : cases) {
        char buf[200];
        std::memset(buf, '#', sizeof buf);
        p.getInitStr(buf, c.size);
        if (c.expected == nullptr) {
            EXPECT_EQ(buf[0], '#') << c.size;
        } else {
            EXPECT_STREQ(buf, c.expected) << c.size;
        }
        for (size_t i = c.size; i < sizeof buf; ++i) ASSERT_EQ(buf[i], '#') << c.size;
    }
    p.getInitStr(nullptr, 10);
    p.getInitStr(nullptr);
}

} // namespace
