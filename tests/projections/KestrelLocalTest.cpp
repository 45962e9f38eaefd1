// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Affine local system: the two transformations over a base projection, settings
// and initialisation strings with the embedded base, deep copies, refusal of a
// local system as base, and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "geodesy/Datum.h"
#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/Local.h"
#include "projections/PolarStereo.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"
#include "ProjectionTestUtil.h"

namespace {

using gwtest::sectionKeys;
using gwtest::TempDir;
using gwtest::text;

// Rows as (factor of the northing, factor of the easting, constant).
struct Affine {
    double l2mE[3], l2mN[3], m2lE[3], m2lN[3];
};

void setAffine(KestrelLocal& k, const Affine& a) {
    k.localToENorth = a.l2mE[0], k.localToEEast = a.l2mE[1], k.localToEConst = a.l2mE[2];
    k.localToNNorth = a.l2mN[0], k.localToNEast = a.l2mN[1], k.localToNConst = a.l2mN[2];
    k.eToLocalNorth = a.m2lE[0], k.eToLocalEast = a.m2lE[1], k.eToLocalConst = a.m2lE[2];
    k.nToLocalNorth = a.m2lN[0], k.nToLocalEast = a.m2lN[1], k.nToLocalConst = a.m2lN[2];
}

KestrelLocal withBase(const char* baseInit) {
    std::string init = std::string("3,Site,0,0,0,0,0,0,0,0,0,0,0,0,") + baseInit;
    return KestrelLocal(init.data());
}

TEST(KestrelLocalConstruct, DefaultsAndSingularZeroCoefficients) {
    KestrelLocal k;
    EXPECT_EQ(k.type, 3);
    EXPECT_EQ(text(k.general), "USER");
    EXPECT_EQ(text(k.specific), "KestrelLocal");
    EXPECT_EQ(text(k.localProjName), "");
    ASSERT_NE(k.baseProj, nullptr);
    EXPECT_EQ(k.baseProj->type, 0);
    EXPECT_EQ(k.baseProj->ownsInner, 1);
    EXPECT_EQ(k.getFormat(), 1);
    EXPECT_EQ(k.editDialog(nullptr, nullptr), 0);
    Datum datum;
    k.geoparm(&datum);
    // All coefficients 0: every local point is map (0, 0), every map point local (0, 0).
    double lat, lon, lat0, lon0, n, e;
    k.baseProj->gridToGeo(0.0, 0.0, lat0, lon0);
    k.gridToGeo(1234.0, -5678.0, lat, lon);
    EXPECT_EQ(lat, lat0);
    EXPECT_EQ(lon, lon0);
    k.geoToGrid(34.0, -117.0, n, e);
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(e, 0.0);
}

TEST(KestrelLocalConvert, MissingKeysGiveTheBaseProjection) {
    TempDir dir;
    std::string file = dir.file("empty.ini");
    char section[] = "Nothing";
    KestrelLocal k;
    k.loadData(section, file.data());
    EXPECT_EQ(text(k.localProjName), "KestrelLocal");
    Projection tm;
    Datum datum;
    k.geoparm(&datum);
    tm.geoparm(&datum);
    double pts[][2] = {{34.0, -117.0}, {-12.5, -119.25}, {60.0, -110.0}};
    for (auto& p : pts) {
        double n1, e1, n2, e2, la1, lo1, la2, lo2;
        k.geoToGrid(p[0], p[1], n1, e1);
        tm.geoToGrid(p[0], p[1], n2, e2);
        EXPECT_EQ(n1, n2);
        EXPECT_EQ(e1, e2);
        k.gridToGeo(n1, e1, la1, lo1);
        tm.gridToGeo(n2, e2, la2, lo2);
        EXPECT_EQ(la1, la2);
        EXPECT_EQ(lo1, lo2);
        EXPECT_EQ(k.converge(n1, e1), tm.converge(n1, e1));
        EXPECT_EQ(k.lineScale(n1, e1, n1 + 100, e1 + 100), tm.lineScale(n1, e1, n1 + 100, e1 + 100));
    }
    EXPECT_EQ(k.getUnits(), 0);
}

TEST(KestrelLocalConvert, AffineTable) {
    const std::string flat = "5,Flat,52,4,";
    const std::string tm = gw::initString(Projection());
    struct Case {
        const char* what;
        Affine a;
        std::string base;
        double n, e;       // local point
        double mapN, mapE; // its map point, computed by hand
        double tol;        // local -> geo -> local
    } cases[] = {
        {"translation, flat base", {{0, 1, 1000}, {1, 0, 2000}, {0, 1, -1000}, {1, 0, -2000}}, flat, 0, 0, 2000, 1000, 1e-9},
        // 499 km from the central meridian the TM round trip itself is about 0.1 mm off
        {"translation, TM base", {{0, 1, 1000}, {1, 0, 2000}, {0, 1, -1000}, {1, 0, -2000}}, tm, 0, 0, 2000, 1000, 2e-4},
        {"90 degree rotation, flat base", {{1, 0, 0}, {0, -1, 0}, {-1, 0, 0}, {0, 1, 0}}, flat, 300, 400, -400, 300, 1e-9},
        {"90 degree rotation, TM base near CM", {{1, 0, 0}, {0, -1, 0}, {-1, 0, 0}, {0, 1, 0}}, tm, 500100, -3700000, 3700000, 500100, 1e-7},
        // scale 2 and a quarter turn, with constants; the inverse worked out by hand
        {"scaled rotation", {{-2, 0, 10}, {0, 2, 20}, {0.5, 0, -10}, {0, -0.5, 5}}, flat, 3, 4, 28, 4, 1e-9},
    };
    Datum datum;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KestrelLocal k = withBase(c.base.c_str());
        setAffine(k, c.a);
        k.geoparm(&datum);
        double mapN, mapE;
        k.localToMap(c.n, c.e, mapN, mapE);
        EXPECT_EQ(mapN, c.mapN);
        EXPECT_EQ(mapE, c.mapE);
        double backN, backE;
        k.mapToLocal(mapN, mapE, backN, backE);
        EXPECT_EQ(backN, c.n);
        EXPECT_EQ(backE, c.e);
        double lat, lon, bLat, bLon;
        k.gridToGeo(c.n, c.e, lat, lon);
        k.baseProj->gridToGeo(c.mapN, c.mapE, bLat, bLon);
        EXPECT_EQ(lat, bLat);
        EXPECT_EQ(lon, bLon);
        double n, e;
        k.geoToGrid(lat, lon, n, e);
        EXPECT_NEAR(n, c.n, c.tol);
        EXPECT_NEAR(e, c.e, c.tol);
        // Scale and convergence are the base's at the map point, the affine part left out.
        EXPECT_EQ(k.converge(c.n, c.e), k.baseProj->converge(c.mapN, c.mapE));
        double mapN2, mapE2;
        k.localToMap(c.n + 10, c.e - 10, mapN2, mapE2);
        EXPECT_EQ(k.lineScale(c.n, c.e, c.n + 10, c.e - 10),
                  k.baseProj->lineScale(c.mapN, c.mapE, mapN2, mapE2));
    }
}

TEST(KestrelLocalInitString, FormatAndRoundTrip) {
    KestrelLocal k;
    std::snprintf(k.localProjName, sizeof k.localProjName, "Plant");
    setAffine(k, {{0.000123456789, 0.999876543210, 1234.5678},
                  {-0.000123456789, 1.000123456789, -1234.5678},
                  {0.999876543211, -0.000123456788, 98765.4321},
                  {1.000123456788, 0.000123456787, -98765.4321}});
    Projection tm;
    // The constants' three decimals do not hold four: they get the fourth.
    std::string expected = "3,Plant,"
                           "0.999876543211,-0.000123456788,98765.4321,"  // eToLocal
                           "0.000123456789,0.999876543210,1234.5678,"    // localToE
                           "1.000123456788,0.000123456787,-98765.4321,"  // nToLocal
                           "-0.000123456789,1.000123456789,-1234.5678,"  // localToN
                           + gw::initString(tm);
    std::string s = gw::initString(k);
    EXPECT_EQ(s, expected);

    KestrelLocal r(s.data());
    EXPECT_EQ(text(r.localProjName), "Plant");
    EXPECT_EQ(r.eToLocalNorth, 0.999876543211);
    EXPECT_EQ(r.eToLocalEast, -0.000123456788);
    EXPECT_EQ(r.eToLocalConst, 98765.4321);
    EXPECT_EQ(r.localToENorth, 0.000123456789);
    EXPECT_EQ(r.localToEEast, 0.999876543210);
    EXPECT_EQ(r.localToEConst, 1234.5678);
    EXPECT_EQ(r.nToLocalNorth, 1.000123456788);
    EXPECT_EQ(r.nToLocalEast, 0.000123456787);
    EXPECT_EQ(r.nToLocalConst, -98765.4321);
    EXPECT_EQ(r.localToNNorth, -0.000123456789);
    EXPECT_EQ(r.localToNEast, 1.000123456789);
    EXPECT_EQ(r.localToNConst, -1234.5678);
    EXPECT_EQ(r.baseProj->type, 0);
    EXPECT_EQ(gw::initString(r), s);

    // Through the envelope, over a flat local base.
    std::string overLocal = std::string("3,Yard,0,1,0,0,1,0,1,0,0,1,0,0,5,Base,51.5,-0.125,");
    Projection env(overLocal.data());
    ASSERT_EQ(env.type, 3);
    auto* inner = dynamic_cast<KestrelLocal*>(env.inner);
    ASSERT_NE(inner, nullptr);
    ASSERT_EQ(inner->baseProj->type, 5);
    auto* base = dynamic_cast<Local*>(inner->baseProj->inner);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(text(base->localProjName), "Base");
    EXPECT_EQ(base->centerLat, 51.5);
    EXPECT_EQ(base->centerLon, -0.125);
    EXPECT_EQ(env.getFormat(), 1);
}

TEST(KestrelLocalInitString, LocalSystemAsBaseIsRefused) {
    const char* bases[] = {
        "3,Inner,1,1,1,1,1,1,1,1,1,1,1,1,5,B,1,1,",
        "6,Inner,1,1,2,2,0,",
        " +3,x",
        "",
        "   ",
    };
    for (const char* b : bases) {
        SCOPED_TRACE(b);
        std::string init = std::string("3,Outer,0,1,0,0,1,0,1,0,0,1,0,0,") + b;
        KestrelLocal k(init.data());
        EXPECT_EQ(k.baseProj->type, 0);
        Projection tm;
        EXPECT_EQ(gw::initString(*k.baseProj), gw::initString(tm));
    }
    // Fewer than 14 commas: no base text at all.
    std::string shortInit = "3,Short,1,2,3";
    KestrelLocal k(shortInit.data());
    EXPECT_EQ(k.baseProj->type, 0);
    EXPECT_EQ(k.eToLocalEast, 2.0);

    // A long chain of nested systems is not followed.
    std::string chain;
    for (int i = 0; i < 20000; ++i) chain += "3,n,0,0,0,0,0,0,0,0,0,0,0,0,";
    KestrelLocal deep(chain.data());
    EXPECT_EQ(deep.baseProj->type, 0);
}

TEST(KestrelLocalSettings, SaveLoadKeysOrderAndNames) {
    TempDir dir;
    std::string file = dir.file("geo.ini");
    char section[] = "Geodesy";
    KestrelLocal k;
    std::snprintf(k.localProjName, sizeof k.localProjName, "Works");
    setAffine(k, {{0.5, 0.25, 1000.12346}, {-0.25, 0.5, -2000.5}, {2, -1, 3.25}, {1, 2, -4.75}});
    k.baseProj->changeTo(0);
    std::snprintf(k.general, sizeof k.general, "Sites");
    std::snprintf(k.specific, sizeof k.specific, "Works grid");
    k.saveData(section, file.data());

    std::vector<std::string> keys = sectionKeys(file, "Geodesy");
    std::vector<std::string> own = {"localProjName", "eToLocalNorth", "eToLocalEast", "eToLocalConst",
                                    "localToENorth", "localToEEast", "localToEConst", "localToNNorth",
                                    "localToNEast", "localToNConst", "nToLocalNorth", "nToLocalEast",
                                    "nToLocalConst", "localGeodesyType", "projName"};
    ASSERT_GE(keys.size(), own.size() + 2);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + own.size()), own);
    EXPECT_EQ(keys[keys.size() - 2], "general");
    EXPECT_EQ(keys.back(), "specific");
    struct KV { const char* key; const char* value; } exact[] = {
        {"eToLocalNorth", "2.000000000000"}, {"eToLocalConst", "3.2500"},
        {"localToEConst", "1000.12346"},     {"localToNConst", "-2000.5000"},
        {"nToLocalConst", "-4.7500"},       {"localGeodesyType", "0"},
        {"general", "Sites"},               {"specific", "Works grid"},
    };
    for (const KV& kv : exact) EXPECT_EQ(gw::iniGetString("Geodesy", kv.key, "", file.c_str()), kv.value) << kv.key;

    KestrelLocal r;
    r.loadData(section, file.data());
    EXPECT_EQ(text(r.localProjName), "Works");
    EXPECT_EQ(r.localToENorth, 0.5);
    EXPECT_EQ(r.localToEEast, 0.25);
    EXPECT_EQ(r.localToEConst, 1000.12346);
    EXPECT_EQ(r.localToNNorth, -0.25);
    EXPECT_EQ(r.localToNConst, -2000.5);
    EXPECT_EQ(r.eToLocalNorth, 2.0);
    EXPECT_EQ(r.eToLocalEast, -1.0);
    EXPECT_EQ(r.nToLocalEast, 2.0);
    EXPECT_EQ(r.nToLocalConst, -4.75);
    EXPECT_EQ(r.baseProj->type, 0);
    EXPECT_EQ(text(r.general), "Sites");
    EXPECT_EQ(text(r.specific), "Works grid");
    // The base read the same two names (they share the section).
    char g[30], s[30];
    r.baseProj->getTypeStr(g, s);
    EXPECT_EQ(text(s), "Works grid");
}

TEST(KestrelLocalSettings, BaseTypeOfALocalSystemIsReadAsTransverseMercator) {
    TempDir dir;
    std::string file = dir.file("geo.ini");
    for (const char* code : {"3", "6", "5", "99"}) {
        SCOPED_TRACE(code);
        gw::iniWriteString("S", "localGeodesyType", code, file.c_str());
        char section[] = "S";
        KestrelLocal k;
        k.loadData(section, file.data());
        int want = std::string(code) == "5" ? 5 : 0;
        EXPECT_EQ(k.baseProj->type, want);
    }
}

TEST(KestrelLocalCopy, DeepCopies) {
    std::string init = "3,A,0,1,0,0,1,0,1,0,0,1,0,0,5,Base,10,20,";
    auto* k = new KestrelLocal(init.data());
    Projection* c = k->clone();
    auto* kc = dynamic_cast<KestrelLocal*>(c);
    ASSERT_NE(kc, nullptr);
    EXPECT_NE(kc->baseProj, k->baseProj);
    EXPECT_NE(kc->baseProj->inner, k->baseProj->inner);
    KestrelLocal assigned;
    assigned = *k;
    EXPECT_NE(assigned.baseProj, k->baseProj);
    std::string s = gw::initString(*k);
    delete k;
    EXPECT_EQ(gw::initString(*kc), s);
    EXPECT_EQ(gw::initString(assigned), s);
    EXPECT_EQ(text(assigned.specific), "KestrelLocal");
    assigned = assigned; // self-assignment keeps everything
    EXPECT_EQ(gw::initString(assigned), s);
    Projection env(s.data());
    Projection envCopy(env);
    EXPECT_NE(envCopy.inner, env.inner);
    EXPECT_EQ(gw::initString(envCopy), s);
    delete c;
}

TEST(KestrelLocalLines, Description) {
    KestrelLocal k;
    std::snprintf(k.localProjName, sizeof k.localProjName, "Works");
    char lines[7][50];
    std::snprintf(lines[6], 50, "untouched");
    k.getLines(lines);
    const char* want[] = {"Works", "Transverse Mercator", "Local Line2", "Local Line3", "Local Line4",
                          "Local Line5", "untouched"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(text(lines[i]), want[i]) << i;
}

TEST(KestrelLocalHostile, AbsurdValuesNeverCrash) {
    TempDir dir;
    std::string longText(10000, '9');
    const char* ownKeys[] = {"eToLocalNorth", "eToLocalEast", "eToLocalConst", "localToENorth",
                             "localToEEast", "localToEConst", "localToNNorth", "localToNEast",
                             "localToNConst", "nToLocalNorth", "nToLocalEast", "nToLocalConst"};
    // Every key any base projection reads from the section.
    const char* baseKeys[] = {"projName", "originLon", "originLat", "falseNorth", "falseEast",
                              "scaleFactor", "units", "latOfOrigin", "lonOfOrigin", "firstParallel",
                              "secondParallel", "localCenterLat", "localCenterLon"};
    const char* values[] = {"nan", "1e308", "-1e308", "inf", "1e-320", longText.c_str()};
    Datum datum;
    int i = 0;
    for (const char* baseType : {"0", "1", "4", "5", "7", "3", "6", longText.c_str()}) {
        size_t longest = 0;
        for (const char* v : values) {
            SCOPED_TRACE(testing::Message() << "base " << std::string(baseType).substr(0, 5) << " value "
                                            << std::string(v).substr(0, 8));
            std::string section = std::string("S").append(std::to_string(i++));
            // one small file per case keeps the writes quick
            std::string file = dir.file((section + ".ini").c_str());
            gwtest::writeLocalSystemSection(file, section, ownKeys, baseKeys, v, baseType, longText);
            KestrelLocal k;
            k.loadData(section.data(), file.data());
            EXPECT_NE(k.baseProj->type, 3);
            EXPECT_NE(k.baseProj->type, 6);
            EXPECT_EQ(std::string(k.localProjName).size(), 39u);
            EXPECT_EQ(std::string(k.general).size(), 29u);
            EXPECT_EQ(std::string(k.specific).size(), 29u);
            k.geoparm(&datum);
            double n, e, lat, lon;
            k.geoToGrid(34.0, -117.0, n, e);
            k.gridToGeo(1000.0, 1000.0, lat, lon);
            k.lineScale(0, 0, 1, 1);
            k.converge(5, 5);
            char lines[6][50];
            k.getLines(lines);
            for (auto& l : lines) EXPECT_LT(std::string(l).size(), 50u);
            k.saveData(section.data(), file.data());
            std::string s = gw::initString(k);
            longest = std::max(longest, s.size());
            KestrelLocal r(s.data());
            EXPECT_EQ(std::string(r.localProjName).size(), 19u);
            r.geoparm(&datum);
            r.geoToGrid(34.0, -117.0, n, e);
            char buf[GW_INIT_STR_MAX];
            k.getInitStr(buf);
            EXPECT_LT(std::string(buf).size(), size_t(GW_INIT_STR_MAX));
            Projection env(buf); // a cut string still builds something
            env.geoparm(&datum);
        }
        std::cout << "longest affine local initialisation string over base type "
                  << std::string(baseType).substr(0, 5) << " with absurd values: " << longest << "\n";
    }
}

TEST(KestrelLocalInitString, LengthWithNormalValues) {
    for (int baseType : {0, 1, 4, 5, 7}) {
        KestrelLocal k;
        std::snprintf(k.localProjName, sizeof k.localProjName, "%s", std::string(39, 'N').c_str());
        setAffine(k, {{-0.000123456789, 0.999876543210, -1234567.891},
                      {0.999876543210, 0.000123456789, -5432109.876},
                      {-0.000123456789, 1.000123456789, 1234567.891},
                      {1.000123456789, 0.000123456789, 5432109.876}});
        k.baseProj->changeTo(baseType);
        std::string s = gw::initString(k);
        EXPECT_LT(s.size(), size_t(GW_INIT_STR_MAX));
        std::cout << "affine local initialisation string over base type " << baseType
                  << " with normal values: " << s.size() << "\n";
    }
}

// The longest strings the local systems can write: every number -DBL_MAX, every
// name 39 characters, over each ellipsoidal base. getInitStr cuts them to the
// buffer; the cut text still builds a projection.
TEST(KestrelLocalInitString, WorstCaseLength) {
    const double m = -DBL_MAX;
    const std::string name(39, 'N');
    auto fillBase = [&](Projection* env) {
        if (auto* tm = dynamic_cast<TransverseMercator*>(env->inner)) {
            std::snprintf(tm->projName, sizeof tm->projName, "%s", name.c_str());
            tm->originLon = tm->originLat = tm->falseNorth = tm->falseEast = tm->scaleFactor = m;
            tm->units = INT_MIN;
        } else if (auto* l = dynamic_cast<Lambert*>(env->inner)) {
            std::snprintf(l->projName, sizeof l->projName, "%s", name.c_str());
            l->latOfOrigin = l->lonOfOrigin = l->falseNorth = l->falseEast = m;
            l->firstParallel = l->secondParallel = m;
            l->units = INT_MIN;
        } else if (auto* p = dynamic_cast<PolarStereo*>(env->inner)) {
            std::snprintf(p->projName, sizeof p->projName, "%s", name.c_str());
            p->latOfOrigin = p->lonOfOrigin = p->falseNorth = p->falseEast = p->scaleFactor = m;
            p->units = INT_MIN;
        }
    };
    Datum datum;
    for (int baseType : {0, 1, 4}) {
        KestrelLocal k;
        std::snprintf(k.localProjName, sizeof k.localProjName, "%s", name.c_str());
        setAffine(k, {{m, m, m}, {m, m, m}, {m, m, m}, {m, m, m}});
        k.baseProj->changeTo(baseType);
        fillBase(k.baseProj);
        StaOff s;
        std::snprintf(s.localProjName, sizeof s.localProjName, "%s", name.c_str());
        s.startLat = s.startLon = s.endLat = s.endLon = m;
        s.baseProj->changeTo(baseType);
        fillBase(s.baseProj);
        size_t kLen = gw::initString(k).size(), sLen = gw::initString(s).size();
        std::cout << "worst-case initialisation string over base type " << baseType << ": affine local "
                  << kLen << ", station/offset " << sLen << " characters\n";
        char buf[GW_INIT_STR_MAX];
        k.getInitStr(buf);
        EXPECT_EQ(std::string(buf).size(), std::min(kLen, size_t(GW_INIT_STR_MAX - 1)));
        Projection cut(buf);
        cut.geoparm(&datum);
        double n, e;
        cut.geoToGrid(10.0, 10.0, n, e);
        s.getInitStr(buf);
        EXPECT_EQ(std::string(buf).size(), std::min(sLen, size_t(GW_INIT_STR_MAX - 1)));
    }
}

} // namespace
