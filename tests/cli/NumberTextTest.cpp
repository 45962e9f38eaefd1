// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The tool's own number reading and writing against the C library's: every
// value must come out exactly as printf's "%.*f" writes it (but for the minus of
// a zero) and read exactly as
// strtod reads it, in every magnitude the fast paths cover and around them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "cli/LineFields.h"
#include "gridwise/units.h"

namespace {

// printf's text, without the minus of a value that shows as zero.
std::string printed(double v, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    const std::string text = buffer;
    const bool zero = text.find_first_of("123456789") == std::string::npos;
    return zero && text[0] == '-' ? text.substr(1) : text;
}

std::string fixed(double v, int decimals) {
    std::string out;
    gwcli::appendFixed(out, v, decimals);
    return out;
}

} // namespace

TEST(NumberText, WritesAsPrintfDoes) {
    // Ties and near-ties of the rounding, signs and zeros, the edges of the fast path.
    const struct {
        double value;
        int decimals;
    } cases[] = {
        {0.5, 0}, {1.5, 0}, {2.5, 0}, {-0.5, 0}, {0.125, 2}, {0.375, 2}, {2.675, 2}, {1.005, 2},
        {-0.0, 3}, {-0.0004, 3}, {0.0, 0}, {4503599627370495.5, 1}, {4503599627370497.0, 0},
        {9007199254740993.0, 3}, {1e300, 2}, {-1e-300, 17}, {123456.789, 17}, {5e-324, 12},
        {3762155.9723011, 3}, {-116.25000004999, 8},
    };
    for (const auto& c : cases) EXPECT_EQ(fixed(c.value, c.decimals), printed(c.value, c.decimals)) << c.value;
    // No negative zero, on the fast path and beyond it.
    EXPECT_EQ(fixed(-0.0, 3), "0.000");
    EXPECT_EQ(fixed(-0.0004, 3), "0.000");
    EXPECT_EQ(fixed(-0.5, 0), "0");
    EXPECT_EQ(fixed(-1e-300, 17), "0.00000000000000000");
    EXPECT_EQ(fixed(-0.0005, 3), "-0.001");
    EXPECT_EQ(fixed(std::nan(""), 3), "nan");
    EXPECT_EQ(fixed(-INFINITY, 3), "-inf");

    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-12.0, 17.0), mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> decimals(0, 12);
    for (int i = 0; i < 300000; ++i) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        const int d = decimals(random);
        ASSERT_EQ(fixed(v, d), printed(v, d)) << v << " " << d;
        // Values exactly on a rounding step: few decimals, so their halves are ties.
        const double step = std::round(v * 8) / 8;
        ASSERT_EQ(fixed(step, d % 3), printed(step, d % 3)) << step;
    }
}

TEST(NumberText, ReadsAsStrtodDoes) {
    const char* cases[] = {"0", "-0", "+3", "34.5", "-117.123456789", ".5", "5.", "0.1", "0.30000000000000004",
                           "123456789012345", "1234567890123456", "12345678901234567890.5",
                           "0.000000000000000000000001", "9007199254740993", "3762155.972301"};
    for (const char* text : cases)
        EXPECT_EQ(gwcli::plainValue(text), std::strtod(text, nullptr)) << text;
    // Beyond the range of a double (infinite, or zero below the smallest
    // denormal) and long runs of leading zeros, as strtod reads them.
    const std::string longCases[] = {"1" + std::string(309, '0'), "-" + std::string(400, '9'),
                                     std::string(320, '0') + "7.25", "0." + std::string(400, '0') + "1",
                                     "9" + std::string(308, '0') + ".5", "0." + std::string(322, '0') + "5"};
    for (const std::string& text : longCases)
        EXPECT_EQ(gwcli::plainValue(text), std::strtod(text.c_str(), nullptr)) << text.size() << " characters";

    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> length(1, 20), digit(0, 9);
    for (int i = 0; i < 300000; ++i) {
        std::string text = (i % 2) ? "-" : "";
        const int n = length(random);
        const int point = std::uniform_int_distribution<int>(0, n)(random);
        for (int k = 0; k < n; ++k) {
            if (k == point) text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        ASSERT_EQ(gwcli::plainValue(text), std::strtod(text.c_str(), nullptr)) << text;
    }
}

// A sign alone is no distance, also as the last token of a line held in a block of
// exactly its size (the reader must not look behind the sign).
TEST(LineFields, SignAloneIsNoDistance) {
    Units units;
    for (const char* line : {"-", "+", "12.5 -", "1,+"}) {
        const std::size_t n = std::strlen(line);
        std::unique_ptr<char[]> exact(new char[n]);
        std::memcpy(exact.get(), line, n);
        gwcli::LineTokens tokens;
        tokens.split(std::string_view(exact.get(), n));
        std::size_t next = tokens.count() - 1;
        double meters = -1.0;
        std::string error;
        EXPECT_FALSE(gwcli::readDistance(tokens, next, 1, units, meters, error)) << line;
        EXPECT_EQ(next, tokens.count() - 1) << line;
        EXPECT_NE(error.find("not a distance"), std::string::npos) << line;
    }
    gwcli::LineTokens tokens;
    tokens.split("+5");
    std::size_t next = 0;
    double meters = 0.0;
    std::string error;
    EXPECT_TRUE(gwcli::readDistance(tokens, next, 0, units, meters, error));
    EXPECT_EQ(meters, 5.0);
}
