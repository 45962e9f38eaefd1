// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Angle, latitude and longitude text: exact writer texts, splitting with carry,
// the parser's reading rules, round trips, and hostile input.
#include "gridwise/angletext.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Writer = int (*)(char*, double, int, int);

// Runs a writer into an exact 32-byte heap buffer (so that ASan sees any write
// past the documented size) and checks the returned count.
std::string write(Writer w, double value, int decimals, int style) {
    std::unique_ptr<char[]> buf(new char[32]);
    std::memset(buf.get(), 'x', 32);
    int n = w(buf.get(), value, decimals, style);
    std::string text(buf.get());
    EXPECT_EQ(n, static_cast<int>(text.size())) << text;
    EXPECT_LT(text.size(), 32u);
    return text;
}

// Parses a text held in an exact-size heap buffer (no byte after the NUL).
double parse(const std::string& text, int* pos) {
    std::unique_ptr<char[]> buf(new char[text.size() + 1]);
    std::memcpy(buf.get(), text.c_str(), text.size() + 1);
    return parseStrToAng(buf.get(), pos);
}

struct WriterCase {
    const char* name;
    Writer writer;
    double value;
    int decimals;
    int style;
    const char* expected;
};

TEST(AngleTextWriters, ExactTexts) {
    const WriterCase cases[] = {
        {"lat", latToStr, 52.0854, 4, 1, "N52 05.1240"},
        {"lat", latToStr, 52.0854, 4, 0, "N52 05 07.4400"},
        // A value that rounds to zero takes the positive letter and no minus.
        {"lat", latToStr, -0.0000001, 4, 1, "N00 00.0000"},
        {"lat", latToStr, -0.0000001, 2, 0, "N00 00 00.00"},
        {"lon", lonToStr, -0.00000001, 3, 0, "E000 00 00.000"},
        {"lon", lonToStr, -0.000002, 4, 1, "W000 00.0001"},
        {"ang", angToStr, -0.0000001, 3, 0, "   0  0 00.000"},
        {"ang", angToStr, -359.9999999, 3, 0, "   0  0 00.000"},
        {"ang", angToStr, -0.5, 4, 1, "-  0 30.0000"},
        {"lat", latToStr, 0.0, 4, 1, "N00 00.0000"},
        {"lat", latToStr, -0.0, 4, 1, "N00 00.0000"},
        {"lat", latToStr, 90.0, 2, 0, "N90 00 00.00"},
        {"lat", latToStr, -90.0, 2, 1, "S90 00.00"},
        {"lat", latToStr, 12.5, 0, 0, "N12 30 00"},
        {"lat", latToStr, 12.5, 0, 1, "N12 30"},
        {"lat", latToStr, 12.5, 6, 0, "N12 30 00.000000"},
        {"lat", latToStr, 12.5, 6, 1, "N12 30.000000"},
        // out of range: fixed zero texts, unpatched formats, always N / E
        {"lat", latToStr, 90.5, 4, 1, "N00 00.000"},
        {"lat", latToStr, 90.5, 0, 1, "N00 00.000"},
        {"lat", latToStr, -90.5, 6, 0, "N00 00 00.000"},
        {"lat", latToStr, std::nan(""), 4, 1, "N00 00.000"},
        {"lat", latToStr, -INFINITY, 4, 0, "N00 00 00.000"},
        {"lat", latToStr, 1e300, 4, 0, "N00 00 00.000"},
        {"lon", lonToStr, 4.8686, 4, 1, "E004 52.1160"},
        {"lon", lonToStr, -4.8686, 4, 1, "W004 52.1160"},
        {"lon", lonToStr, -180.0, 3, 0, "W180 00 00.000"},
        {"lon", lonToStr, 180.0, 1, 1, "E180 00.0"},
        {"lon", lonToStr, 181.0, 4, 0, "E00 00 00.000"},
        {"lon", lonToStr, -181.0, 4, 1, "E00 00.000"},
        {"lon", lonToStr, std::nan(""), 2, 0, "E00 00 00.000"},
        {"lon", lonToStr, -DBL_MAX, 2, 1, "E00 00.000"},
        {"ang", angToStr, -45.5, 1, 0, "- 45 30 00.0"},
        {"ang", angToStr, 45.5, 1, 0, "  45 30 00.0"},
        {"ang", angToStr, 0.0, 3, 0, "   0  0 00.000"},
        {"ang", angToStr, 359.9999999, 3, 0, "   0  0 00.000"},
        {"ang", angToStr, 400.0, 3, 0, "  40  0 00.000"},
        {"ang", angToStr, -400.0, 2, 1, "- 40 00.00"},
        {"ang", angToStr, 123.25, 0, 0, " 123 15 00"},
        {"ang", angToStr, 123.25, 0, 1, " 123 15"},
        {"ang", angToStr, 123.25, 4, 1, " 123 15.0000"},
        {"ang", angToStr, 7.0, 6, 7, "   7 00.000000"},
        // huge, non-finite: degrees modulo 360 of the exact value, or zero
        {"ang", angToStr, 2147483647.0, 1, 0, " 127  0 00.0"},
        {"ang", angToStr, 2147483648.0, 1, 0, " 128  0 00.0"},
        {"ang", angToStr, -2147483648.5, 1, 1, "-128 30.0"},
        {"ang", angToStr, DBL_MAX, 1, 0, " 128  0 00.0"},
        {"ang", angToStr, -1e300, 1, 0, "   0  0 00.0"},  // a whole number of turns: zero, no minus
        {"ang", angToStr, INFINITY, 2, 0, "   0  0 00.00"},
        {"ang", angToStr, -INFINITY, 2, 1, "   0 00.00"},
        {"ang", angToStr, std::nan(""), 2, 0, "   0  0 00.00"},
        // decimals outside 0 to 6 are clamped
        {"ang", angToStr, 10.5, -3, 0, "  10 30 00"},
        {"ang", angToStr, 10.5, 9, 1, "  10 30.000000"},
        {"lat", latToStr, 10.5, 1000, 0, "N10 30 00.000000"},
        {"lon", lonToStr, 10.5, -2147483647 - 1, 1, "E010 30"},
    };
    for (const WriterCase& c : cases) {
        EXPECT_EQ(write(c.writer, c.value, c.decimals, c.style), c.expected)
            << c.name << "(" << c.value << ", " << c.decimals << ", " << c.style << ")";
    }
}

TEST(AngleTextWriters, CarryThroughEveryField) {
    // seconds round to 60: carry into minutes, then into degrees
    EXPECT_EQ(write(latToStr, 10.9999999, 3, 0), "N11 00 00.000");
    EXPECT_EQ(write(latToStr, 10.9999999, 4, 1), "N11 00.0000");
    EXPECT_EQ(write(lonToStr, -179.99999999, 2, 0), "W180 00 00.00");
    EXPECT_EQ(write(latToStr, 89.9999999, 0, 1), "N90 00");
    // a carry of the minutes only
    EXPECT_EQ(write(latToStr, 10.0 + 59.9999 / 3600.0 + 1.0 / 60.0, 2, 0), "N10 02 00.00");
}

TEST(AngleTextSplit, DmsAndDecimalMinutes) {
    struct DmsCase {
        double degrees;
        int decimals;
        int d, m;
        double s;
    };
    const DmsCase dms[] = {
        {10.9999999, 3, 11, 0, 0.0},  {-10.9999999, 3, 11, 0, 0.0},
        {52.0854, 4, 52, 5, 7.44},    {12.504305555555556, 1, 12, 30, 15.5},
        {0.6 / 3600, 0, 0, 0, 1.0},   {0.4 / 3600, 0, 0, 0, 0.0},
        {1e6 + 0.5, 2, 1000000, 30, 0.0},
        {std::nan(""), 3, 0, 0, 0.0}, {INFINITY, 3, 2147483647, 0, 0.0},
        {-1e300, 3, 2147483647, 0, 0.0},
        {2147483647.0 - 0x1p-22, 3, 2147483646, 59, 59.999},  // no carry
        {2147483647.0 - 0x1p-22, 2, 2147483647, 0, 0.0},      // carry into the last int
        // any count of decimals splits: 8 keeps 1.23456789, -1 rounds to tens
        {10.0 + 1.23456789 / 3600, 8, 10, 0, 1.23456789},
        {10.0 + 44.0 / 3600, -1, 10, 0, 40.0},
        {10.0 + 56.0 / 3600, -1, 10, 1, 0.0},  // 5.6 + 0.5 -> 6 tens: carry
        {10.0 + 56.0 / 3600, 400, 10, 0, 56.0},  // no overflow into NaN
    };
    for (const DmsCase& c : dms) {
        int d = -1, m = -1;
        double s = -1;
        degToDms(c.degrees, c.decimals, &d, &m, &s);
        EXPECT_EQ(d, c.d) << c.degrees;
        EXPECT_EQ(m, c.m) << c.degrees;
        EXPECT_NEAR(s, c.s, 1e-9) << c.degrees;
    }
    struct DecMinCase {
        double degrees;
        int decimals;
        int d;
        double m;
    };
    const DecMinCase dm[] = {
        {10.9999999, 4, 11, 0.0}, {4.8686, 4, 4, 52.116}, {-4.8686, 4, 4, 52.116},
        {0.6 / 60, 0, 0, 1.0},    {std::nan(""), 2, 0, 0.0}, {-INFINITY, 2, 2147483647, 0.0},
        {4.0 + 12.3456789 / 60, 7, 4, 12.3456789},
        {4.0 + 12.3456789 / 60, -1, 4, 10.0},
    };
    for (const DecMinCase& c : dm) {
        int d = -1;
        double m = -1;
        degToDecMin(c.degrees, c.decimals, &d, &m);
        EXPECT_EQ(d, c.d) << c.degrees;
        EXPECT_NEAR(m, c.m, 1e-9) << c.degrees;
    }
}

TEST(AngleTextParse, Forms) {
    struct ParseCase {
        const char* text;
        double expected;
        int pos;
    };
    const ParseCase cases[] = {
        {"5", 5.0, 1},
        {"N52 05.1235", 52.0 + 5.1235 / 60.0, 11},
        {"W004 52.1160", -(4.0 + 52.116 / 60.0), 12},
        {"12 30 15.5", 12.0 + 30.0 / 60.0 + 15.5 / 3600.0, 10},
        {"12 30 15.5 S", -(12.0 + 30.0 / 60.0 + 15.5 / 3600.0), 12},
        {"N12 S", 12.0, 4},
        {".5", 0.0, 0},
        {"  ", 0.0, 2},
        {"N", 0.0, 1},
        {"", 0.0, 0},
        {"52.0875", 52.0875, 7},
        {"-4.5", -4.5, 4},
        {"+4.5", 4.5, 4},
        {"52 05.25 N", 52.0875, 10},
        {"52 05.25 w", -52.0875, 10},
        {"s 1 30", -1.5, 6},
        {" \t e\n10 ", 10.0, 8},
        {"- 45 30 00.0", -45.5, 12},
        {"10 20 30 40", 10.0 + 20.0 / 60.0 + 30.0 / 3600.0, 9},  // a fourth field ends the number part
        {"10x", 10.0, 2},
        {"10 .5", 10.0 + 0.5 / 60.0, 5},  // only the degrees must start with a digit
        {"1.2.3", 1.2, 3},  // a second point is no number: reading stops there
        {"1.2.3 4", 1.2, 3},
        {"10 1.2.3", 10.02, 6},
        {"N-5", 0.0, 1},
        {"X5", 0.0, 0},
        {"10 S N", -10.0, 4},
        // runs are read whole, however long
        {"1234567890123", 1234567890123.0, 13},
        {"0000000000000000000045", 45.0, 22},
    };
    for (const ParseCase& c : cases) {
        int pos = -1;
        EXPECT_DOUBLE_EQ(parse(c.text, &pos), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(pos, c.pos) << '"' << c.text << '"';
    }
    char text[] = "12 30 15.5 S";
    EXPECT_DOUBLE_EQ(strToAng(text), -(12.0 + 30.0 / 60.0 + 15.5 / 3600.0));
    EXPECT_EQ(parseStrToAng(nullptr, nullptr), 0.0);
    EXPECT_EQ(parseStrToAng(text, nullptr), strToAng(text));
}

// A run of any length is the correctly rounded decimal, to the last bit (the
// compiler rounds the literals the same way), in every field.
TEST(AngleTextParse, LongRunsReadToTheLastBit) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"34.03333333333333", 34.03333333333333},
        {"-117.00000000001", -117.00000000001},
        {"-89.9999999999", -89.9999999999},
        {"34.01020000000012", 34.01020000000012},
        {"N51.95000000001", 51.95000000001},
        {"S34 02.00000000000012", -(34 + 2.00000000000012 / 60)},
        {"34 02 03.000000000000456 W", -(34 + 2.0 / 60 + 3.000000000000456 / 3600)},
        {"0.1000000000000000055511151231257827021181583404541015625", 0.1},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        int pos = -1;
        EXPECT_EQ(parseStrToAng(text.data(), &pos), c.expected) << c.text;
        EXPECT_EQ(pos, static_cast<int>(text.size())) << c.text;
    }
}

// Every writer text parses back to the angle within half a unit of its last
// decimal (plus rounding of the value itself).
TEST(AngleTextParse, RoundTripOfEveryWriterStyleAndDecimals) {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> latDist(-90.0, 90.0), lonDist(-180.0, 180.0),
        angDist(-1000.0, 1000.0);
    for (int i = 0; i < 3000; ++i) {
        double lat = latDist(rng), lon = lonDist(rng), ang = angDist(rng);
        for (int decimals = 0; decimals <= 6; ++decimals) {
            for (int style = 0; style <= 1; ++style) {
                double unit = std::pow(10.0, -decimals) / (style == 0 ? 3600.0 : 60.0);
                double tol = 0.5 * unit + 1e-12;
                int pos;
                std::string t = write(latToStr, lat, decimals, style);
                EXPECT_NEAR(parse(t, &pos), lat, tol) << t;
                EXPECT_EQ(pos, static_cast<int>(t.size())) << t;
                t = write(lonToStr, lon, decimals, style);
                EXPECT_NEAR(parse(t, &pos), lon, tol) << t;
                EXPECT_EQ(pos, static_cast<int>(t.size())) << t;
                t = write(angToStr, ang, decimals, style);
                double back = parse(t, &pos);
                EXPECT_EQ(pos, static_cast<int>(t.size())) << t;
                // angToStr prints the degrees modulo 360 and keeps the sign
                double expected = std::copysign(std::fmod(std::fabs(ang), 360.0), ang);
                double diff = std::remainder(back - expected, 360.0);
                EXPECT_NEAR(diff, 0.0, tol) << t << " from " << ang;
            }
        }
    }
}

TEST(AngleTextParse, WritersAreLocaleIndependent) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "de_DE.utf8") == nullptr)
        GTEST_SKIP() << "no German locale installed";
    std::string lat = write(latToStr, 52.0854, 4, 1);
    std::string ang = write(angToStr, -45.5, 1, 0);
    int pos;
    double back = parse("N52 05.1240", &pos);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(lat, "N52 05.1240");
    EXPECT_EQ(ang, "- 45 30 00.0");
    EXPECT_DOUBLE_EQ(back, 52.0 + 5.124 / 60.0);
}

TEST(AngleTextParse, AnyByteStringIsReadWithinItsBuffer) {
    std::mt19937 rng(7);
    const char alphabet[] = "0123456789.  \t\nNSEWnsew+-x\x80\xff";
    for (int i = 0; i < 20000; ++i) {
        std::size_t len = rng() % 40;
        std::unique_ptr<char[]> buf(new char[len + 1]);
        for (std::size_t j = 0; j < len; ++j) {
            unsigned r = rng();
            buf[j] = (r & 0x100) ? static_cast<char>(r & 0xff ? r & 0xff : 1)
                                 : alphabet[r % (sizeof alphabet - 1)];
        }
        buf[len] = '\0';
        int pos = -1;
        double v = parseStrToAng(buf.get(), &pos);
        ASSERT_GE(pos, 0);
        ASSERT_LE(pos, static_cast<int>(std::strlen(buf.get())));
        ASSERT_FALSE(std::isnan(v));
    }
    // very long texts: whitespace and digits are read to their end (a number
    // beyond the largest double is infinite), dots are no number
    const struct {
        char fill;
        double value;
        int pos;
    } big[] = {{' ', 0.0, 1 << 20}, {'9', HUGE_VAL, 1 << 20}, {'.', 0.0, 0}};
    for (const auto& c : big) {
        int pos = -1;
        EXPECT_EQ(parse(std::string(1 << 20, c.fill), &pos), c.value) << c.fill;
        EXPECT_EQ(pos, c.pos) << c.fill;
    }
}

TEST(AngleTextWriters, AnyDoubleStaysWithin32Characters) {
    std::mt19937_64 rng(11);
    std::vector<double> values = {0.0, -0.0, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN, DBL_MAX, -DBL_MAX,
                                  INFINITY, -INFINITY, std::nan(""), -std::nan(""),
                                  2147483647.0, 2147483647.5, -2147483648.0, 4294967296.5,
                                  1e19, -9.3e18, 1e300, 359.99999999999, -359.99999999999,
                                  89.99999999999, 179.99999999999, 90.0000000001};
    for (int i = 0; i < 2000; ++i) {
        std::uint64_t bits = rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        values.push_back(d);
    }
    for (double v : values) {
        for (int decimals : {-100, -1, 0, 3, 6, 7, 100}) {
            for (int style : {0, 1, -5}) {
                for (Writer w : {angToStr, latToStr, lonToStr}) {
                    std::string t = write(w, v, decimals, style);
                    ASSERT_LE(t.size(), 17u) << v;
                }
            }
        }
    }
}

TEST(AngleTextUtilities, PadAndStripChars) {
    struct PadCase {
        const char* src;
        unsigned width;
        const char* expected;
    };
    const PadCase pads[] = {
        {"abc", 5, "  abc"}, {"abc", 2, "ab"}, {"abc", 3, "abc"}, {"", 3, "   "}, {"abc", 0, ""},
    };
    for (const PadCase& c : pads) {
        std::unique_ptr<char[]> src(new char[std::strlen(c.src) + 1]);
        std::strcpy(src.get(), c.src);
        std::unique_ptr<char[]> dst(new char[c.width + 1]);
        pad(src.get(), c.width, dst.get());
        EXPECT_EQ(std::string(dst.get()), c.expected) << c.src << " " << c.width;
    }
    // in place, both ways
    char same[16] = "abc";
    pad(same, 6, same);
    EXPECT_STREQ(same, "   abc");
    pad(same, 2, same);
    EXPECT_STREQ(same, "  ");
    // src without a NUL within width + 1 bytes is never read further
    std::unique_ptr<char[]> noNul(new char[4]);
    std::memcpy(noNul.get(), "abcd", 4);
    char out[4];
    pad(noNul.get(), 3, out);
    EXPECT_STREQ(out, "abc");

    char text[] = " a b\tc \n\v\f\r";
    char dst[sizeof text];
    stripChars(dst, text);
    EXPECT_STREQ(dst, "abc");
    stripChars(text, text);
    EXPECT_STREQ(text, "abc");
    char high[] = "a\xa0" "b";  // bytes above 0x7f are never whitespace
    stripChars(high, high);
    EXPECT_STREQ(high, "a\xa0" "b");
}

} // namespace
