// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The readers of typed form fields: a table of texts, each read whole or refused.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "units/FieldRules.h"

using namespace gw;

namespace {

struct Case {
    const char* reader;
    const char* text;
    bool ok;
    double value;       // when ok
    const char* reason; // when refused: a word the reason must hold
};

FieldReading readWith(const std::string& reader, const std::string& text) {
    if (reader == "number") return readNumberField(text);
    if (reader == "scale") return readNumberField(text, kScaleFactorMin, kScaleFactorMax);
    if (reader == "lat") return readLatitudeField(text);
    if (reader == "lon") return readLongitudeField(text);
    if (reader == "angle") return readAngleField(text, -kDatumRotationMax, kDatumRotationMax);
    if (reader == "metres") return readDistanceField(text, 0, false);
    if (reader == "feet") return readDistanceField(text, 1, false);
    if (reader == "usfeet") return readDistanceField(text, 2, false);
    if (reader == "axis") return readDistanceField(text, 0, false, kSemiMajorAxisMin, kSemiMajorAxisMax);
    if (reader == "station") return readDistanceField(text, 0, true, -kAnyValue, kAnyValue, DistanceAxis::north);
    if (reader == "north") return readDistanceField(text, 0, false, -kAnyValue, kAnyValue, DistanceAxis::north);
    if (reader == "east") return readDistanceField(text, 0, false, -kAnyValue, kAnyValue, DistanceAxis::east);
    ADD_FAILURE() << "no reader " << reader;
    return {};
}

const Case kCases[] = {
    {"number", "0.9996", true, 0.9996, ""},
    {"number", "  -1.5e-6 ", true, -1.5e-6, ""},
    {"number", "1,5", false, 0, "comma"},
    {"number", "abc", false, 0, "not a number"},
    {"number", "", false, 0, "empty"},
    {"number", "1.5x", false, 0, "not a number"},
    {"number", "nan", false, 0, "not a number"},
    {"number", "inf", false, 0, "not a number"},
    {"number", "0x10", false, 0, "not a number"},
    {"number", "1e999", false, 0, "finite"},
    {"number", "five hundred", false, 0, "not a number"},
    {"scale", "1.5", true, 1.5, ""},
    {"scale", "0.05", false, 0, "between 0.1 and 10"},
    {"scale", "11", false, 0, "between"},
    {"lat", "N34 00.3000", true, 34.005, ""},
    {"lat", "S12 30 00.0", true, -12.5, ""},
    {"lat", "34 30 S", true, -34.5, ""},
    {"lat", "-45.25", true, -45.25, ""},
    {"lat", "N90 00.0000", true, 90.0, ""},
    {"lat", "N95 00.0000", false, 0, "poles"},
    {"lat", "E034 00.0000", false, 0, "letter 'E'"},
    {"lat", "N34 75.0000", false, 0, "minutes"},
    {"lat", "N34 10 60", false, 0, "seconds"},
    {"lat", "N34,5", false, 0, "comma"},
    {"lat", "abc", false, 0, "not readable"},
    {"lat", "N34 00 00 00", false, 0, "not readable"},
    {"lon", "W084 10.0000", true, -(84 + 10.0 / 60), ""},
    {"lon", "E180 00.0000", true, 180.0, ""},
    {"lon", "N34 00.3000", false, 0, "letter 'N'"},
    {"lon", "E190 00.0000", false, 0, "180"},
    {"lon", "-200", false, 0, "180"},
    {"angle", "  0 00 01.50000", true, 1.5 / 3600, ""},
    {"angle", "-0 00 01.50000", true, -1.5 / 3600, ""},
    {"angle", "N1", false, 0, "letter 'N'"},
    {"angle", "200", false, 0, "between"},
    {"metres", "500000.00m", true, 500000.0, ""},
    {"metres", " 12.5 ", true, 12.5, ""},
    {"metres", "1km", true, 1000.0, ""},
    {"east", "E 500000.00m", true, 500000.0, ""},
    {"metres", "abc", false, 0, "not a distance"},
    {"metres", "1,5", false, 0, "comma"},
    {"metres", "12 apples", false, 0, "not a distance"},
    {"metres", "N", false, 0, "not a distance"},
    {"feet", "100", true, 30.48, ""},
    {"feet", "100ft", true, 30.48, ""},
    {"usfeet", "1200", true, 1200 * (1200.0 / 3937.0), ""},
    {"axis", "6378137.00m", true, 6378137.0, ""},
    {"axis", "abc", false, 0, "not a distance"},
    {"axis", "0", false, 0, "between"},
    {"station", "S12+34.56m", true, 1234.56, ""},
    {"station", "S-12-34.56m", true, -1234.56, ""},
    {"station", "S0+00.00m", true, 0.0, ""},
    {"station", "S1+05m", true, 105.0, ""},
    {"station", "12+34", true, 1234.0, ""},
    // the remainder is two whole digits, as written; anything else is no station
    {"station", "S1+5m", false, 0, "not a distance"},
    {"station", "S1+0.5m", false, 0, "not a distance"},
    {"station", "S1+", false, 0, "not a distance"},
    {"station", "S--1m", false, 0, "not a distance"},
    {"station", "S-1-5m", false, 0, "not a distance"},
    {"station", "S1.5+05m", false, 0, "not a distance"},
    {"station", "S12+34.5.6m", false, 0, "not a distance"},
    // numbers of any length read whole; two points are no number
    {"lat", "34.03333333333333", true, 34.03333333333333, ""},
    {"lat", "-89.9999999999", true, -89.9999999999, ""},
    {"lat", "34.01020000000012", true, 34.01020000000012, ""},
    {"lon", "-117.00000000001", true, -117.00000000001, ""},
    {"lat", "1.2.3", false, 0, "not readable"},
    {"feet", "2296583.33333ft", true, 2296583.33333 * 0.3048, ""},
    {"metres", "1.2.3", false, 0, "not a distance"},
    // a field takes the label of its own axis only
    {"metres", "E200", false, 0, "axis label 'E'"},
    {"metres", "N200", false, 0, "axis label 'N'"},
    {"north", "E200", false, 0, "axis label 'E'"},
    {"north", "N200", true, 200.0, ""},
    {"north", "Y200", true, 200.0, ""},
    {"east", "N200", false, 0, "axis label 'N'"},
    {"east", "x200", true, 200.0, ""},
    {"east", "E200", true, 200.0, ""},
    {"north", "S200", false, 0, "axis label 'S'"},  // a station label outside the station form
    {"station", "O200", false, 0, "axis label 'O'"},
};

} // namespace

TEST(FieldRules, EachTextReadsWholeOrIsRefusedWithItsReason) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.reader) + " '" + c.text + "'");
        const FieldReading r = readWith(c.reader, c.text);
        ASSERT_EQ(r.ok, c.ok) << r.problem;
        if (c.ok) {
            EXPECT_NEAR(r.value, c.value, 4 * std::fabs(c.value) * 2.3e-16 + 1e-300);
            EXPECT_TRUE(r.problem.empty());
        } else {
            EXPECT_NE(r.problem.find(c.reason), std::string::npos) << r.problem;
        }
    }
}

TEST(FieldRules, NamesAreTrimmedAndRefusedWhenTheyCannotBeKept) {
    std::string name;
    EXPECT_TRUE(readNameField("  Zone 31  ", 39, name).ok);
    EXPECT_EQ(name, "Zone 31");
    EXPECT_TRUE(readNameField(std::string(24, 'D'), 24, name).ok);
    const struct {
        std::string text;
        const char* reason;
    } refused[] = {{"", "empty"},          {"   ", "empty"},     {"North,South", "comma"},
                   {std::string(25, 'D'), "longer than 24"}, {"a\tb", "control"}, {":name", "start"}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.text);
        name = "kept";
        const FieldReading r = readNameField(c.text, 24, name);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.problem.find(c.reason), std::string::npos) << r.problem;
        EXPECT_EQ(name, "kept");
    }
}
