// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The handle interface seen as a host sees it: the class of every refusal, the
// texts a handle gives back, and handles built beside a process-wide instance
// that holds another projection.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "gridwise/batch.h"
#include "gridwise/geodetics.h"
#include "gridwise/units.h"
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

namespace {

std::string exactTextOf(const GwGeodesy* g, int part) {
    std::string text(gwGeodesyExactText(g, part, nullptr, 0), '\0');
    gwGeodesyExactText(g, part, text.data(), text.size() + 1);
    return text;
}

// A field that does not read whole, or reads outside the range the parameter forms
// take, is refused by its position instead of being read as a default or a zero.
TEST(HandleInterface, UnreadableFieldsAreRefusedByPosition) {
    struct Case {
        const char* init;
        const char* datum;
        int code;
        const char* reason; // the start of gwLastError
    };
    const Case cases[] = {
        {"0,UTM,E9,0.00,500000.00,abc,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 6 (scale factor) does not read: abc"},
        {"0,UTM,E9,0.00,500000.00,0.3,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 6 (scale factor)"},
        {"0,UTM,E9,nan,500000.00,0.9996,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 4 (false northing)"},
        {"0,UTM,E9,0,inf,0.9996,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 5 (false easting)"},
        {"0,UTM,E9,0,2e8,0.9996,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 5 (false easting)"},
        {"0,UTM,E9,0,500000,0.9996,N95,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 7 (latitude of origin)"},
        {"0,UTM,E190,0,500000,0.9996,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 3 (longitude of origin)"},
        {"0,UTM,E9,0,500000,0.9996,0,x", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 8 (units)"},
        {"0,UTM,E9,0,500000,0.9996,0,7", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 8 (units)"},
        {"1,L,N33,N95,W116,N32,0,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 4 (second standard parallel)"},
        {"4,UPS,E0,N90,20,2000000,2000000,0", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 5 (scale factor)"},
        {"5,Site,95,10,", nullptr, GW_ERROR_TEXT_UNREADABLE, "field 3 (latitude of the centre or start)"},
        // The base projection of a station/offset system: its fields count on.
        {"6,Line,34,-117,34.1,-117,0,UTM,E9,0,500000,zz,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE,
         "field 12 (scale factor)"},
        {"6,Line,34,-117,34.1,-117,3,UTM,E9,0,500000,0.9996,0,0", nullptr, GW_ERROR_TEXT_UNREADABLE,
         "field 7 (base projection)"},
        {kUtm, "X,6378137,298.25,X,200000,0,0,0,0,0,0", GW_ERROR_BAD_ARGUMENT, "datum text: dX"},
        {kUtm, "X,6378137,298.25,X,0,0,0,0,0,200,0", GW_ERROR_BAD_ARGUMENT, "datum text: rY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.init);
        GwGeodesy* g = gwGeodesyFromText(c.init, c.datum);
        EXPECT_EQ(g, nullptr);
        gwGeodesyFree(g);
        EXPECT_EQ(gwLastErrorCode(), c.code) << gwLastError();
        EXPECT_EQ(std::string(gwLastError()).rfind(c.reason, 0), 0u) << gwLastError();
    }

    // What the forms take still reads: hemisphere and plain angles, grid text with a
    // unit, a station, names with blanks.
    const char* taken[] = {
        "0,UTM Zone 11,W117 00.0000,0.00,1640416.67ft,0.999600,N00 00.0000,1",
        "0,UTM,-117.5,-100,500000,10,-89.999,2",
        "1,California 6,N32 47,N33 53,W116 15,N32 10,0.00,2000000.00,0",
        "6,Line,34,-117,34.1,-117,0,UTM,E9,S0+00,500000,0.9996,0,0",
    };
    for (const char* init : taken) {
        GwGeodesy* g = gwGeodesyFromText(init, nullptr);
        EXPECT_NE(g, nullptr) << init << ": " << gwLastError();
        gwGeodesyFree(g);
    }
}

// Every projection type, with names that hold commas, UTF-8 cut at the member's
// size and Latin-1 bytes, gives texts that build the same handle again.
TEST(HandleInterface, EveryTypeRoundTripsThroughItsTexts) {
    TempDir dir;
    const std::string file = dir.file("geo.ini");
    std::string text;
    const std::string longName = std::string(38, 'n') + "\xc3\xa9"; // 40 bytes: the cut falls inside the last
    for (int type : {0, 1, 3, 4, 5, 6, 7}) {
        text += "[t" + std::to_string(type) + "]\nGeodesyType=" + std::to_string(type) + "\nprojName=" + longName +
                "\nlocalProjName=Site, north\nlocalCenterLat=34.5\nlocalCenterLon=-117.25\nlocalEndLat=34.6\n"
                "localEndLon=-117.2\nlocalGeodesyType=1\ndatumName=Caf\xe9, old\nellipseName=Bessel, 1841\n"
                "aAxis=6377397.155\ninverseFlattening=299.1528128\ndeltaX=565.4\nrotX=0.0001\n";
    }
    writeFile(file, text);
    for (int type : {0, 1, 3, 4, 5, 6, 7}) {
        const std::string section = "t" + std::to_string(type);
        SCOPED_TRACE(section);
        GwGeodesy* g = gwGeodesyFromSettings(file.c_str(), section.c_str());
        ASSERT_NE(g, nullptr) << gwLastError();
        const std::string datum = datumTextOf(g);
        EXPECT_EQ(std::count(datum.begin(), datum.end(), ','), 10) << datum;
        EXPECT_NE(datum.find("Caf\xe9  old"), std::string::npos) << datum;
        const std::string init = initStringOf(g);
        if (type == 0) {
            EXPECT_EQ(init.substr(0, 41), "0," + std::string(38, 'n') + ",") << init;
        }
        for (const auto& [i, d] : {std::pair{init, datum},
                                   std::pair{exactTextOf(g, GW_DESCRIBE_PROJECTION), exactTextOf(g, GW_DESCRIBE_DATUM)}}) {
            GwGeodesy* again = gwGeodesyFromText(i.c_str(), d.c_str());
            ASSERT_NE(again, nullptr) << i << " / " << d << ": " << gwLastError();
            EXPECT_EQ(initStringOf(again), init);
            EXPECT_EQ(datumTextOf(again), datum);
            gwGeodesyFree(again);
        }
        gwGeodesyFree(g);
    }
}

// A save that does not reach the disk is reported with its own class; one that does
// leaves the last failure as it was.
TEST(HandleInterface, FailedSavesAreReported) {
    TempDir dir;
    ASSERT_EQ(allocGeodetics(), 1);
    ASSERT_EQ(allocUnits(nullptr), 1);
    std::filesystem::create_directory(dir.file("folder.ini"));
    writeFile(dir.file("plain"), "not a folder\n");
    std::vector<std::pair<std::string, std::string>> targets = {
        {"a folder in place of the file", dir.file("folder.ini")},
        {"a parent that is a file", dir.file("plain") + "/geo.ini"},
        {"a missing folder", dir.file("none") + "/geo.ini"},
    };
    std::filesystem::create_directory(dir.file("locked"));
    if (geteuid() != 0) {
        chmod(dir.file("locked").c_str(), 0555);
        targets.push_back({"a read-only folder", dir.file("locked") + "/geo.ini"});
    } else {
        writeFile(dir.file("locked") + "/geo.ini", "[s]\n");
        const std::string cmd = "chattr +i '" + dir.file("locked") + "/geo.ini' 2>/dev/null";
        if (std::system(cmd.c_str()) == 0) targets.push_back({"an immutable file", dir.file("locked") + "/geo.ini"});
    }
    char section[] = "s";
    for (const auto& [what, path] : targets) {
        SCOPED_TRACE(what);
        std::vector<char> name(path.begin(), path.end());
        name.push_back('\0');
        gwSetLastError(GW_ERROR_NONE, "");
        saveGeoData(section, name.data());
        EXPECT_EQ(gwLastErrorCode(), GW_ERROR_FILE_UNWRITABLE);
        EXPECT_NE(std::string(gwLastError()).find(path), std::string::npos) << gwLastError();
        gwSetLastError(GW_ERROR_NONE, "");
        saveUnits(name.data());
        EXPECT_EQ(gwLastErrorCode(), GW_ERROR_FILE_UNWRITABLE);
        EXPECT_NE(std::string(gwLastError()).find("unit settings"), std::string::npos) << gwLastError();
    }
    if (geteuid() == 0) std::system(("chattr -i '" + dir.file("locked") + "/geo.ini' 2>/dev/null").c_str());
    chmod(dir.file("locked").c_str(), 0755);

    gwSetLastError(GW_ERROR_BAD_ARGUMENT, "before");
    std::string good = dir.file("good.ini");
    saveGeoData(section, good.data());
    saveUnits(good.data());
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_BAD_ARGUMENT);
    EXPECT_NE(gwtest::readFile(good).find("GeodesyType=0"), std::string::npos);
    deAllocUnits(nullptr);
    deAllocGeodetics();
}

} // namespace
