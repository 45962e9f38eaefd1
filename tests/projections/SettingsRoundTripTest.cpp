// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// What a projection works with is what it saves: every projection type loaded
// from random settings (valid values, angles beyond the writers' range, names
// with leading separators, names cut to their field), saved, loaded again and
// written as an initialisation string and read back converts the same points
// and shows the same names and description lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "gridwise/projection.h"
#include "projections/InitText.h"
#include "projections/ProjectionTypes.h"
#include "ProjectionTestUtil.h"

namespace {

using gwtest::mut;
using gwtest::sectionLines;
using gwtest::TempDir;

class RandomSettings {
public:
    explicit RandomSettings(unsigned seed) : rng_(seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

    // A number written with the given decimals.
    std::string number(double lo, double hi, int decimals) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, uniform(lo, hi));
        return text;
    }

    // An angle text: hemisphere letter, degrees and minutes with four decimals
    // (as the writers put them), or plain decimal degrees; up to `range` degrees.
    std::string angle(const char* letters, double range) {
        const double a = uniform(0.0, range);
        char text[64];
        if (pick(3) == 0) {
            std::snprintf(text, sizeof text, "%s%.4f", pick(2) ? "-" : "", a);
        } else {
            const int d = static_cast<int>(a);
            std::snprintf(text, sizeof text, "%c%d %07.4f", letters[pick(2)], d, (a - d) * 60 * 0.999);
        }
        return text;
    }
    std::string latitude() { return angle("NS", pick(4) == 0 ? 700.0 : 90.0); }
    std::string longitude() { return angle("EW", pick(3) == 0 ? 900.0 : 180.0); }

    // A name of up to 45 characters, often starting with blanks, ':' or ';' and
    // with blanks where a field cuts it. No commas: they are written as blanks.
    std::string name() {
        static const char alphabet[] = "ABCdefXYZ 0123456789-_.:;";
        std::string s;
        const int lead = pick(3) == 0 ? pick(3) + 1 : 0;
        for (int i = 0; i < lead; ++i) s += " :;"[pick(3)];
        const int n = pick(46);
        for (int i = 0; i < n; ++i) s += alphabet[pick(sizeof alphabet - 1)];
        if (pick(4) == 0 && s.size() > 30) s[28] = s[29] = ' '; // cut at 29 ends in a blank
        return s;
    }

    // A Transverse Mercator brings a scale factor below 0.5 up to 0.5; another
    // projection writes what it reads, six decimals.
    std::string scale(bool transverseMercator) {
        switch (pick(4)) {
        case 0: return transverseMercator ? "0.0000001" : "0.000001";
        case 1: return number(-2.0, 0.5, 6);
        default: return number(0.5, 1.5, 6);
        }
    }

    // One section holding every key any projection type reads.
    std::string section(int type) {
        std::string s = "GeodesyType=" + std::to_string(type) + "\n";
        auto key = [&s](const char* k, const std::string& v) { s += std::string(k) + "=" + v + "\n"; };
        static const char* const baseTypes[] = {"0", "1", "4", "5", "7"};
        const char* base = baseTypes[pick(5)];
        key("localGeodesyType", base);
        const bool tm = type == 0 || ((type == 3 || type == 6) && base[0] == '0');
        key("projName", name());
        key("localProjName", name());
        key("general", name());
        key("specific", name());
        key("originLon", longitude());
        key("originLat", latitude());
        key("lonOfOrigin", longitude());
        key("latOfOrigin", latitude());
        key("firstParallel", latitude());
        key("secondParallel", latitude());
        key("falseNorth", number(-1e6, 1e7, 2));
        key("falseEast", number(-1e6, 1e7, 2));
        key("scaleFactor", scale(tm));
        key("units", std::to_string(pick(3)));
        for (const char* k : {"localCenterLat", "localCenterLon", "localEndLat", "localEndLon"})
            key(k, number(-600.0, 600.0, 6));
        for (const char* k : {"eToLocalNorth", "eToLocalEast", "localToENorth", "localToEEast", "localToNNorth",
                              "localToNEast", "nToLocalNorth", "nToLocalEast"})
            key(k, number(-2.0, 2.0, 6));
        for (const char* k : {"eToLocalConst", "localToEConst", "localToNConst", "nToLocalConst"})
            key(k, number(-1e5, 1e5, 3));
        return s;
    }

private:
    std::mt19937 rng_;
};

// Equal, or both not a number; otherwise within `relative` of each other. Saved
// settings carry every number to the bit and angles within 3e-13 degree (the
// angle reader's twelve-character runs); the local systems' initialisation
// strings keep twelve decimals of a degree.
bool close(double a, double b, double relative) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    if (std::isinf(a) || std::isinf(b)) return a == b;
    return std::fabs(a - b) <= relative * std::max(1.0, std::max(std::fabs(a), std::fabs(b)));
}

struct Snapshot {
    std::vector<double> values;
    std::vector<std::string> lines;
    std::string general, specific;
};

Snapshot snapshot(Projection& p) {
    Datum d = gwtest::wgs84();
    p.geoparm(&d);
    Snapshot s;
    const double points[][2] = {{0.0, 0.0}, {33.5, -117.25}, {52.1, 5.3}, {-41.2, 174.8}, {84.0, 30.0},
                                {-84.0, -150.0}, {0.5, -170.0}, {10.0, 179.5}};
    for (const auto& pt : points) {
        double n = 0, e = 0, lat = 0, lon = 0;
        p.geoToGrid(pt[0], pt[1], n, e);
        p.gridToGeo(1000.0 * pt[0], 1000.0 * pt[1], lat, lon);
        s.values.insert(s.values.end(), {n, e, lat, lon});
    }
    char lines[6][50] = {};
    p.getLines(lines);
    for (auto& line : lines) s.lines.emplace_back(line);
    char general[30] = "", specific[30] = "";
    p.getTypeStr(general, specific);
    s.general = general;
    s.specific = specific;
    return s;
}

void expectSame(const Snapshot& a, const Snapshot& b, bool names, double relative) {
    ASSERT_EQ(a.values.size(), b.values.size());
    for (std::size_t i = 0; i < a.values.size(); ++i)
        EXPECT_TRUE(close(a.values[i], b.values[i], relative))
            << "value " << i << ": " << a.values[i] << " vs " << b.values[i];
    EXPECT_EQ(a.lines, b.lines);
    if (names) {
        EXPECT_EQ(a.general, b.general);
        EXPECT_EQ(a.specific, b.specific);
    }
}

} // namespace

TEST(SettingsRoundTrip, EveryTypeThroughSettingsAndInitString) {
    TempDir dir;
    std::string file = dir.file("round.ini");
    RandomSettings random(20261210);
    for (int round = 0; round < 60; ++round) {
        for (const gw::ProjectionTypeInfo& info : gw::projectionTypes()) {
            const int type = gw::code(info.type);
            const std::string keys = random.section(type);
            SCOPED_TRACE("type " + std::to_string(type) + "\n" + keys);
            {
                std::ofstream out(file);
                out << "[A]\n" << keys;
            }
            std::string a = "A", b = "B", c = "C";
            Projection first;
            first.changeTo(type);
            first.loadData(mut(a), mut(file));
            first.saveData(mut(b), mut(file));
            Projection second;
            second.changeTo(type);
            second.loadData(mut(b), mut(file));
            second.saveData(mut(c), mut(file));
            const Snapshot s1 = snapshot(first);
            expectSame(s1, snapshot(second), true, 1e-12);
            EXPECT_EQ(sectionLines(file, "B"), sectionLines(file, "C")); // the saved text is stable

            // Through the initialisation string. General and specific names are not
            // in it (the second line of a system over a base shows the base's
            // specific name), and the name of a local system is cut to the
            // string's 19-character field.
            std::string init = gw::initString(first);
            Projection fromText(init.data());
            Snapshot s3 = snapshot(fromText);
            Snapshot expected = s1;
            const bool local = type == 3 || type == 5 || type == 6;
            if (local) {
                std::string& name = expected.lines[0];
                name = name.substr(0, 19);
                while (!name.empty() && name.back() == ' ') name.pop_back();
            }
            if (type == 3 || type == 6) expected.lines[1] = s3.lines[1];
            expectSame(expected, s3, false, 1e-6);
            const std::string again = gw::initString(fromText);
            if (!local) {
                EXPECT_EQ(again, init);
            }
            EXPECT_EQ(gw::initString(Projection(mut(const_cast<std::string&>(again)))), again);
        }
    }
}

// The reproducers: values the writers cannot store and names that lost
// characters on the way back.
TEST(SettingsRoundTrip, ValuesBroughtIntoTheWritersRange) {
    TempDir dir;
    std::string file = dir.file("cases.ini");
    const struct {
        const char* keys;
        const char* key;      // a key of the saved section
        const char* saved;    // its text
    } cases[] = {
        {"GeodesyType=0\noriginLon=E190\n", "originLon", "W170 00.0000"},
        {"GeodesyType=0\noriginLon=W540 30\n", "originLon", "E179 30.0000"},
        {"GeodesyType=0\noriginLon=W180\n", "originLon", "W180 00.0000"},
        {"GeodesyType=0\noriginLat=532\n", "originLat", "N00 00.0000"},
        {"GeodesyType=1\nlatOfOrigin=532\n", "latOfOrigin", "N32 10.0000"},
        {"GeodesyType=1\nfirstParallel=S95\n", "firstParallel", "N32 47.0000"},
        {"GeodesyType=4\nlatOfOrigin=N90 00.0001\n", "latOfOrigin", "N90 00.0000"},
        {"GeodesyType=4\nlonOfOrigin=E360\n", "lonOfOrigin", "E000 00.0000"},
        {"GeodesyType=0\nprojName=:Dock 4\n", "projName", "Dock 4"},
        {"GeodesyType=0\nspecific=Transverse Mercator for zone 31\n", "specific", "Transverse Mercator for zone"},
        {"GeodesyType=5\nlocalProjName=; Site\n", "localProjName", "Site"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        {
            std::ofstream out(file);
            out << "[A]\n" << c.keys;
        }
        std::string a = "A", b = "B";
        Projection p;
        p.changeTo(std::atoi(c.keys + 12));
        p.loadData(mut(a), mut(file));
        p.saveData(mut(b), mut(file));
        std::string saved;
        for (const auto& kv : sectionLines(file, "B"))
            if (kv.first == c.key) saved = kv.second;
        EXPECT_EQ(saved, c.saved);
    }

    // The central meridian of E190 is W170 after the round trip too.
    {
        std::ofstream out(file);
        out << "[A]\nGeodesyType=0\noriginLon=E190\n";
    }
    std::string a = "A", b = "B";
    Projection tm;
    tm.changeTo(0);
    tm.loadData(mut(a), mut(file));
    tm.saveData(mut(b), mut(file));
    Projection back;
    back.changeTo(0);
    back.loadData(mut(b), mut(file));
    Datum d = gwtest::wgs84();
    back.geoparm(&d);
    double n = 1, e = 1;
    back.geoToGrid(0.0, -170.0, n, e);
    EXPECT_NEAR(n, 0.0, 1e-6);
    EXPECT_NEAR(e, 500000.0, 1e-6);
}

TEST(SettingsRoundTrip, InitStringsCarryTheProjectionInUse) {
    const struct {
        const char* init;
        const char* written; // initString of what was read
    } cases[] = {
        {"0,:Dock 4,E003 00.0000,0.00,0.00,1.000000,N00 00.0000,0",
         "0,Dock 4,E003 00.0000,0.00,0.00,1.000000,N00 00.0000,0"},
        {"0, ,E003 00.0000,0.00,0.00,1.000000,N00 00.0000,0", "0,,E003 00.0000,0.00,0.00,1.000000,N00 00.0000,0"},
        {"0,n,E003 00.0000,0,0,0.0000001,N00 00.0000,0", "0,n,E003 00.0000,0.00,0.00,0.500000,N00 00.0000,0"},
        {"0,n,E190,0,0,1,N95,0", "0,n,W170 00.0000,0.00,0.00,1.000000,N00 00.0000,0"},
        {"4,p,W400,S100,0.994,0,0,0", "4,p,W040 00.0000,N90 00.0000,0.994000,0.000,0.000,0"},
        {"1,l,N32 47,N95,E200,N32 10,0,0,0",
         "1,l,N32 47.0000,N33 53.0000,W160 00.0000,N32 10.0000,0.00,0.00,0"},
    };
    for (const auto& c : cases) {
        std::string init = c.init;
        Projection p(init.data());
        EXPECT_EQ(gw::initString(p), c.written) << c.init;
        std::string again = gw::initString(p);
        EXPECT_EQ(gw::initString(Projection(again.data())), c.written) << c.init;
    }
}
