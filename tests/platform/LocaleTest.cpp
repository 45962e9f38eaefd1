// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Text numbers and settings stay in the "C" form when the host has switched the
// process to a locale with a decimal comma.
#include "platform/CLocale.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 not installed";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
        if (std::string(probe) != "0,5") GTEST_SKIP() << "de_DE.UTF-8 does not write a decimal comma";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CommaLocale, NumbersAreWrittenAndReadWithAPoint) {
    char text[32];
    gw::cFormat(text, sizeof text, "%.4f", 0.9996);
    EXPECT_STREQ(text, "0.9996");
    EXPECT_EQ(gw::cFormatString("%.10f", -1.25), "-1.2500000000");
    EXPECT_EQ(gw::cAtof("0.9996"), 0.9996);
    EXPECT_EQ(gw::cAtof("  -12.5e1xyz"), -125.0);
    char* end = nullptr;
    const char comma[] = "0,9996";
    EXPECT_EQ(gw::cStrtod(comma, &end), 0.0); // a comma ends the number
    EXPECT_EQ(end, comma + 1);

    // The host's own locale is untouched.
    std::snprintf(text, sizeof text, "%.1f", 2.5);
    EXPECT_STREQ(text, "2,5");
}

TEST_F(CommaLocale, SettingsRoundTripANumber) {
    char dir[] = "/tmp/gw-locale-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/geo.ini";
    char text[32];
    gw::cFormat(text, sizeof text, "%.10f", 0.9996);
    ASSERT_TRUE(gw::iniWriteString("geodesy", "scaleFactor", text, file.c_str()));
    const std::string stored = gw::iniGetString("geodesy", "scaleFactor", "", file.c_str());
    EXPECT_EQ(stored, "0.9996000000");
    EXPECT_EQ(gw::cAtof(stored.c_str()), 0.9996);
    ASSERT_TRUE(gw::iniWriteString("geodesy", "count", "-42", file.c_str()));
    EXPECT_EQ(gw::iniGetInt("geodesy", "count", 0, file.c_str()), -42);
    std::string cmd = std::string("rm -rf '") + dir + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
}

TEST(CAtoi, BlanksSignsAndSaturation) {
    const std::pair<const char*, int> cases[] = {
        {" \t\n\v\f\r-12x", -12}, {"\xa0" "5", 0},        {"+-3", 0},
        {"000000000000000000000042", 42},   {"2147483648", INT_MAX}, {"-2147483647", -2147483647},
        {"-2147483648", INT_MIN},           {"-2147483649", INT_MIN}, {nullptr, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(gw::cAtoi(c.first), c.second) << (c.first ? c.first : "(null)");
}

} // namespace
