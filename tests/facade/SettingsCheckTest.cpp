// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The settings check: each mistake a hand-written settings file may hold is named
// with its line, key and kind; a section with an error is refused by the handle
// constructor and read as before with the lenient flag; files the library writes
// itself have no problem.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "facade/SettingsCheck.h"
#include "gridwise/batch.h"
#include "gridwise/geodetics.h"
#include "support/SettingsFiles.h"

namespace {

using Kind = gw::SettingsProblem::Kind;

struct Case {
    const char* name;
    const char* section; // the lines after "[s]"
    Kind kind;
    int line;            // of the file: "[s]" is line 1
    const char* key;     // "" for none
    const char* text;    // a part of the problem's text
};

const Case kCases[] = {
    {"misspelt key", "falseEasting=600000\n", Kind::warning, 2, "falseEasting", "did you mean falseEast?"},
    {"misspelt parallel", "GeodesyType=1\nfirstParalel=N40 58\n", Kind::warning, 3, "firstParalel",
     "did you mean firstParallel?"},
    {"TM scale 0", "scaleFactor=0\n", Kind::error, 2, "scaleFactor", "must lie between 0.5 and 10"},
    {"polar scale 0", "GeodesyType=4\nscaleFactor=0\n", Kind::error, 3, "scaleFactor", "between 0.1 and 10"},
    {"latitude beyond the pole", "originLat=N95\n", Kind::error, 2, "originLat", "beyond the poles"},
    {"angle text for degrees", "GeodesyType=5\nlocalCenterLat=N47 22.614\n", Kind::error, 3, "localCenterLat",
     "is not a number"},
    {"decimal comma", "scaleFactor=0,9996\n", Kind::error, 2, "scaleFactor", "decimal comma"},
    {"decimal comma in a false value", "falseEast=500000,5\n", Kind::error, 2, "falseEast", "decimal comma"},
    {"axis in kilometres", "aAxis=6378.137\n", Kind::error, 2, "aAxis", "between 6000000 and 7000000"},
    {"type code without a class", "GeodesyType=9\n", Kind::error, 2, "GeodesyType", "names no projection"},
    {"grid unit without a record", "units=5\n", Kind::error, 2, "units", "names no unit"},
    {"polar longitude of origin", "GeodesyType=4\nlonOfOrigin=E070\n", Kind::error, 3, "lonOfOrigin",
     "meridian 0"},
    {"polar origin off the pole", "GeodesyType=4\nlatOfOrigin=N70\n", Kind::error, 3, "latOfOrigin", "a pole"},
    {"polar false origin outside the frame", "GeodesyType=4\nfalseNorth=0\n", Kind::error, 3, "falseNorth",
     "between 890000 and 3110000"},
    {"base that may not be a base", "GeodesyType=6\nlocalGeodesyType=3\n", Kind::error, 3, "localGeodesyType",
     "base"},
    {"text behind a number", "falseNorth=100 m\n", Kind::error, 2, "falseNorth", "is not a number"},
    {"empty value", "scaleFactor=\n", Kind::error, 2, "scaleFactor", "is empty"},
    {"integer with a fraction", "GeodesyType=1.5\n", Kind::error, 2, "GeodesyType", "whole number"},
    {"key of another type", "GeodesyType=0\nfirstParallel=N40 58\n", Kind::note, 3, "firstParallel",
     "not used by a Transverse Mercator"},
    {"key that comes again", "falseEast=1\nfalseEast=2\n", Kind::warning, 3, "falseEast", "comes again"},
    {"name with a comma", "datumName=NAD83, adjusted\n", Kind::warning, 2, "datumName", "comma"},
    {"long angle read whole", "originLon=-117.00000000001\nscaleFactor=x\n", Kind::error, 3, "scaleFactor", ""},
};

TEST(SettingsCheck, NamesEachMistakeWithItsLineKeyAndKind) {
    gwtest::TempDir dir;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("s.ini");
        gwtest::writeFile(path, std::string("[s]\n") + c.section);
        const std::vector<gw::SettingsProblem> problems = gw::checkGeodesySection(path.c_str(), "s");
        ASSERT_EQ(problems.size(), 1u) << (problems.empty() ? "" : gw::problemLine(path, problems[0]));
        const gw::SettingsProblem& p = problems[0];
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.line, c.line);
        EXPECT_EQ(p.key, c.key);
        EXPECT_NE(p.text.find(c.text), std::string::npos) << p.text;
        // A section with an error is refused, whole or through the lenient flag read
        // as the host interface reads it.
        GwGeodesy* strict = gwGeodesyFromSettings(path.c_str(), "s");
        GwGeodesy* lenient = gwGeodesyFromSettingsWith(path.c_str(), "s", GW_SETTINGS_LENIENT);
        EXPECT_EQ(strict == nullptr, c.kind == Kind::error);
        if (strict == nullptr) {
            EXPECT_NE(std::string(gwLastError()).find(c.key), std::string::npos);
        }
        EXPECT_NE(lenient, nullptr);
        gwGeodesyFree(strict);
        gwGeodesyFree(lenient);
    }
}

TEST(SettingsCheck, UnitSettingsByteOrderMarkAndSections) {
    gwtest::TempDir dir;
    const std::string path = dir.file("u.ini");
    gwtest::writeFile(path, "\xEF\xBB\xBF[units]\nlatLongStyle=1\ndistUnits=7\nlatLonStyle=2\n"
                            "[unit]\ndistUnits=1\n[geo]\nGeodesyType=1\n[GEO]\nfalseNorth=5\n");
    // The mark reads as nothing: the first section is there.
    EXPECT_EQ(gwSettingsSectionCheck(path.c_str(), "units"), GW_ERROR_NONE);
    const std::vector<gw::SettingsProblem> all = gw::checkSettingsFile(path.c_str());
    std::string lines;
    for (const gw::SettingsProblem& p : all) lines += gw::problemLine("u.ini", p) + "\n";
    EXPECT_EQ(lines,
              "u.ini:1: note: the file starts with a UTF-8 byte-order mark, which is read as nothing\n"
              "u.ini:9: warning: [GEO] the section comes again (first on line 7): the two are read as one, and where "
              "both hold a key the first one is read\n"
              "u.ini:2: warning: [units] latLongStyle is not a unit settings key, and is not read: did you mean "
              "latLonStyle?\n"
              "u.ini:3: error: [units] distUnits=7: names no unit (0 meters, 1 feet, 2 US survey feet, 3 kilometers, "
              "4 nautical miles)\n"
              "u.ini:4: warning: [units] latLonStyle=2: is read as 1, degrees, minutes and seconds (0 is degrees and "
              "decimal minutes)\n"
              "u.ini:5: warning: [unit] is read as a geodesy section, not as the unit settings: did you mean "
              "[units]?\n"
              "u.ini:6: warning: [unit] distUnits is not a settings key, and is not read\n");

    // A file without [units] is an error when its unit settings are asked for.
    const std::string none = dir.file("none.ini");
    gwtest::writeFile(none, "[unit]\ndistUnits=1\n");
    const std::vector<gw::SettingsProblem> missing = gw::checkUnitsSection(none.c_str());
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(gw::problemLine("none.ini", missing[0]), "none.ini: error: there is no section [units] (did you mean [unit]?)");
}

TEST(SettingsCheck, SectionsTheLibraryWritesHaveNoProblem) {
    gwtest::TempDir dir;
    const std::string path = dir.file("saved.ini");
    for (int type : {0, 1, 3, 4, 5, 6, 7}) {
        SCOPED_TRACE(type);
        const std::string in = dir.file("in.ini");
        gwtest::writeFile(in, "[s]\nGeodesyType=" + std::to_string(type) + "\n");
        GwGeodesy* g = gwGeodesyFromSettings(in.c_str(), "s");
        ASSERT_NE(g, nullptr);
        gwGeodesyFree(g);
        allocGeodetics();
        std::string section = std::to_string(type);
        section.insert(section.begin(), 't');
        loadGeoData(const_cast<char*>("s"), const_cast<char*>(in.c_str()));
        saveGeoData(section.data(), const_cast<char*>(path.c_str()));
        deAllocGeodetics();
        for (const gw::SettingsProblem& p : gw::checkGeodesySection(path.c_str(), section.c_str()))
            ADD_FAILURE() << gw::problemLine(path, p);
    }
}

TEST(SettingsCheck, ProblemTextIsCutAtWholeLines) {
    gwtest::TempDir dir;
    const std::string path = dir.file("s.ini");
    gwtest::writeFile(path, "[s]\nscaleFactor=0\nfalseEasting=1\n");
    int refusing = -1;
    const long length = gwSettingsProblems(path.c_str(), "s", 0, nullptr, 0, &refusing);
    EXPECT_EQ(refusing, 1);
    std::vector<char> all(static_cast<std::size_t>(length) + 1);
    EXPECT_EQ(gwSettingsProblems(path.c_str(), "s", 0, all.data(), all.size(), nullptr), length);
    const std::string text(all.data());
    EXPECT_EQ(text.size(), static_cast<std::size_t>(length));
    const std::size_t first = text.find('\n') + 1;
    std::vector<char> cut(first + 5);
    gwSettingsProblems(path.c_str(), "s", 0, cut.data(), cut.size(), nullptr);
    EXPECT_EQ(std::string(cut.data()), text.substr(0, first));
    EXPECT_EQ(gwSettingsProblems(nullptr, "s", 0, nullptr, 0, nullptr), -1);
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_BAD_ARGUMENT);
}

} // namespace
