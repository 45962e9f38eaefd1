// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The handle interface seen as a host sees it: the class of every refusal, the
// texts a handle gives back, and handles built beside a process-wide instance
// that holds another projection.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "gridwise/batch.h"
#include "support/SettingsFiles.h"

using gwtest::TempDir;
using gwtest::writeFile;

namespace {

constexpr const char* kUtm = "0,UTM 32,E9,0.00,500000.00,0.999600,0,0";

// Each refusal reports its class beside its text; a success leaves both alone.
TEST(HandleInterface, EveryRefusalHasItsClass) {
    TempDir dir;
    const std::string file = dir.file("geo.ini");
    writeFile(file, "[tm]\nGeodesyType=0\n");

    struct Case {
        const char* what;
        GwGeodesy* (*call)(const std::string& file);
        int code;
    };
    const Case cases[] = {
        {"no file", [](const std::string&) { return gwGeodesyFromSettings(nullptr, "tm"); }, GW_ERROR_BAD_ARGUMENT},
        {"no section", [](const std::string& f) { return gwGeodesyFromSettings(f.c_str(), ""); }, GW_ERROR_BAD_ARGUMENT},
        {"unreadable file",
         [](const std::string& f) { return gwGeodesyFromSettings((f + ".none").c_str(), "tm"); },
         GW_ERROR_FILE_UNREADABLE},
        {"missing section", [](const std::string& f) { return gwGeodesyFromSettings(f.c_str(), "elsewhere"); },
         GW_ERROR_SECTION_MISSING},
        {"empty init", [](const std::string&) { return gwGeodesyFromText(" ", nullptr); }, GW_ERROR_BAD_ARGUMENT},
        {"type not a number", [](const std::string&) { return gwGeodesyFromText("x,UTM", nullptr); },
         GW_ERROR_TEXT_UNREADABLE},
        {"unknown type", [](const std::string&) { return gwGeodesyFromText("2,UTM,E9,0,500000,0.9996,0,0", nullptr); },
         GW_ERROR_UNSUPPORTED},
        {"field count", [](const std::string&) { return gwGeodesyFromText("0,UTM,E9", nullptr); },
         GW_ERROR_TEXT_UNREADABLE},
        {"datum field count", [](const std::string&) { return gwGeodesyFromText(kUtm, "WGS 84,6378137"); },
         GW_ERROR_TEXT_UNREADABLE},
        {"axis out of range",
         [](const std::string&) { return gwGeodesyFromText(kUtm, "X,6000,298.25,X,0,0,0,0,0,0,0"); },
         GW_ERROR_BAD_ARGUMENT},
        {"rotation unreadable",
         [](const std::string&) { return gwGeodesyFromText(kUtm, "X,6378137,298.25,X,0,0,0,0,1 x,0,0"); },
         GW_ERROR_TEXT_UNREADABLE},
        {"copy of nothing", [](const std::string&) { return gwGeodesyCopy(nullptr); }, GW_ERROR_BAD_ARGUMENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(file), nullptr);
        EXPECT_EQ(gwLastErrorCode(), c.code) << gwLastError();
        EXPECT_STRNE(gwLastError(), "");
    }

    GwGeodesy* g = gwGeodesyFromSettings(file.c_str(), "tm");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_BAD_ARGUMENT); // from the copy before
    EXPECT_EQ(gwGeoToGrid(g, 1, nullptr, 8, nullptr, 8, nullptr, 8, nullptr, 8, nullptr), 0u);
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_BAD_ARGUMENT);
    gwGeodesyFree(g);

    int other = -1;
    std::thread([&] { other = gwLastErrorCode(); }).join();
    EXPECT_EQ(other, GW_ERROR_NONE);
}

} // namespace

namespace {

std::string datumTextOf(const GwGeodesy* g) {
    std::string text(gwGeodesyDatumText(g, nullptr, 0), '\0');
    gwGeodesyDatumText(g, text.data(), text.size() + 1);
    return text;
}

std::string initStringOf(const GwGeodesy* g) {
    std::string text(gwGeodesyInitString(g, nullptr, 0), '\0');
    gwGeodesyInitString(g, text.data(), text.size() + 1);
    return text;
}

// A handle's texts build a handle with the same texts; a short buffer is cut and
// terminated; the description has six and seven lines.
TEST(HandleInterface, TextsBuildTheSameHandle) {
    const char* datums[] = {
        "International 1924,6378388,297,ED50,-87,-98,-121,0,0,0,0",
        "Bessel 1841,6377397.155,299.1528128,RD,565.417,50.3319,465.552,4.0772e-06,-0.0001132,0.0000509,-0.000515",
        "WGS 84,6378137,298.257223563,X,0,0,0,0,12 30 15.123,-0.5,N",
    };
    for (const char* datum : datums) {
        SCOPED_TRACE(datum);
        GwGeodesy* g = gwGeodesyFromText(kUtm, datum);
        ASSERT_NE(g, nullptr) << gwLastError();
        const std::string init = initStringOf(g);
        const std::string text = datumTextOf(g);
        GwGeodesy* again = gwGeodesyFromText(init.c_str(), text.c_str());
        ASSERT_NE(again, nullptr) << gwLastError();
        EXPECT_EQ(initStringOf(again), init);
        EXPECT_EQ(datumTextOf(again), text);
        gwGeodesyFree(again);
        gwGeodesyFree(g);
    }

    GwGeodesy* g = gwGeodesyNew();
    ASSERT_NE(g, nullptr);
    char cut[5] = "xxxx";
    EXPECT_EQ(gwGeodesyInitString(g, cut, sizeof cut), initStringOf(g).size());
    EXPECT_EQ(std::string(cut), initStringOf(g).substr(0, 4));
    EXPECT_EQ(datumTextOf(g).substr(0, 7), "WGS 84,");
    for (int part : {GW_DESCRIBE_PROJECTION, GW_DESCRIBE_DATUM}) {
        std::string lines(gwGeodesyDescription(g, part, nullptr, 0), '\0');
        gwGeodesyDescription(g, part, lines.data(), lines.size() + 1);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), part == GW_DESCRIBE_DATUM ? 6 : 5) << lines;
    }
    EXPECT_EQ(gwGeodesyDescription(g, 2, cut, sizeof cut), 0u);
    EXPECT_STREQ(cut, "");
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_BAD_ARGUMENT);
    gwGeodesyFree(g);
    EXPECT_EQ(gwGeodesyDatumText(nullptr, nullptr, 0), 0u);
}

} // namespace
