// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Date and time text: the scan's acceptance rules, the text form and bad input.
#include "gridwise/datetext.h"
#include "gridwise/timecal.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct ReadCase {
    const char* text;
    bool accepted;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double seconds = 0;
};

const ReadCase kReadCases[] = {
    {"01-25-14 13:05:07.4", true, 2014, 1, 25, 13, 5, 7.4},
    {"12/31/99", true, 1999, 12, 31, 0, 0, 0},
    {"1/1/00", true, 2000, 1, 1, 0, 0, 0},
    {"1-1-49", true, 2049, 1, 1, 0, 0, 0},
    {"1-1-50", true, 1950, 1, 1, 0, 0, 0},
    {"1 1 1900", true, 1900, 1, 1, 0, 0, 0},
    {"12-31-2100 23:59:59.9", true, 2100, 12, 31, 23, 59, 59.9},
    {"2-30-14", true, 2014, 3, 2, 0, 0, 0},                  // counts on
    {"1-32-14", true, 2014, 2, 1, 0, 0, 0},                  // day 32 allowed
    {"01-25-14 13:05:07.4567", true, 2014, 1, 25, 13, 5, 7.456}, // 6 characters of seconds
    {"01-25-14 25:75:61.5", true, 2014, 1, 25, 1, 15, 1.5},  // wrap
    {"date: 3/4/2015 at 6h7", true, 2015, 3, 4, 6, 7, 0},
    {"3/4/2015 6", true, 2015, 3, 4, 6, 0, 0},
    {"1.5/4/2015", true, 2015, 1, 4, 0, 0, 0}, // month 1.5 truncated to 1
    {"123-4-15", false},                         // month 123
    {"1-1-1899", false},
    {"1-1-2101", false},
    {"1-1-5", false},                            // one-digit year
    {"12.5.14", false},                          // month 12.5
    {"5.12.14", false},                          // month 5.12, no day
    {"13-01-14", false},
    {"00-10-14", false},
    {"1-0-14", false},
    {"1-33-14", false},
    {"1-25", false},
    {"5", false},
    {"x5", false},
    {"", false},
    {"-/: ", false},
};

TEST(StrToTime, AcceptanceRules) {
    for (const ReadCase& c : kReadCases) {
        const double t = strToTime(c.text);
        if (!c.accepted) {
            EXPECT_EQ(t, 0.0) << '"' << c.text << '"';
            continue;
        }
        const double expected = yearMonthDayToDos(c.year, c.month, c.day, c.hour, c.minute, c.seconds);
        EXPECT_NEAR(t, expected, 1e-6) << '"' << c.text << '"';
    }
}

TEST(TimeToStr, TextForm) {
    struct Case {
        double t;
        const char* text;
    };
    const Case cases[] = {
        {0.0, ""},
        {yearMonthDayToDos(2014, 1, 25, 13, 5, 7.46), "01-25-14 13:05:07.4"}, // cut, not rounded
        {yearMonthDayToDos(2014, 1, 25, 13, 5, 7.4), "01-25-14 13:05:07.4"},
        {yearMonthDayToDos(2000, 2, 29, 0, 0, 59.99), "02-29-00 00:00:59.9"},
        {yearMonthDayToDos(1999, 12, 31, 23, 59, 0), "12-31-99 23:59:00.0"},
        {yearMonthDayToDos(2100, 3, 1, 7, 8, 9), "03-01-00 07:08:09.0"},
        {0.5, "01-01-70 00:00:00.5"},
        // Just before midnight the date is still the day that ends.
        {1388534399.99999, "12-31-13 23:59:59.9"},
        {std::nextafter(1388534400.0, 0.0), "12-31-13 23:59:59.9"},
        {1388534400.0, "01-01-14 00:00:00.0"},
    };
    for (const Case& c : cases) {
        char buf[20];
        timeToStr(buf, c.t);
        EXPECT_STREQ(buf, c.text);
    }
}

TEST(DateTimeText, RoundTrip) {
    char buf[20];
    timeToStr(buf, strToTime("01-25-14 13:05:07.4"));
    EXPECT_STREQ(buf, "01-25-14 13:05:07.4");
    // Every minute of a day in 2031 and every day of two years, with tenths.
    for (int k = 0; k < 1440; ++k) {
        const double t = yearMonthDayToDos(2031, 6, 30, k / 60, k % 60, (k % 600) / 10.0);
        timeToStr(buf, t);
        ASSERT_EQ(std::strlen(buf), 19u);
        char again[20];
        timeToStr(again, strToTime(buf));
        ASSERT_STREQ(again, buf);
    }
    for (int day = 1; day <= 731; ++day) {
        timeToStr(buf, yearMonthDayToDos(2047, 1, day, 12, 0, 0));
        char again[20];
        timeToStr(again, strToTime(buf));
        ASSERT_STREQ(again, buf);
    }
}

// Within a microsecond of midnight, on random days from 1970 to 2100, the text
// shows the day the moment belongs to: before midnight the day that ends, at and
// after it the next one.
TEST(TimeToStr, DateNearMidnight) {
    std::mt19937 rng(1970);
    std::uniform_int_distribution<int> dayOf(0, 47480); // 1970-01-02 .. 2099-12-31
    char before[20], after[20], text[20];
    for (int i = 0; i < 20000; ++i) {
        const double midnight = yearMonthDayToDos(1970, 1, 2 + dayOf(rng), 0, 0, 0);
        timeToStr(before, midnight - 3600); // 23:00 of the day that ends
        timeToStr(after, midnight + 3600);  // 01:00 of the next day
        const double ulps = std::uniform_real_distribution<double>(0.0, 1e-6)(rng);
        for (double t : {midnight - ulps, std::nextafter(midnight, 0.0), midnight - 1e-6}) {
            if (t == midnight) continue; // less than half a step of the double below midnight
            timeToStr(text, t);
            ASSERT_EQ(std::string(text, 8), std::string(before, 8)) << std::fixed << t;
            ASSERT_STREQ(text + 8, " 23:59:59.9") << std::fixed << t;
        }
        for (double t : {midnight, midnight + ulps, std::nextafter(midnight, 1e12)}) {
            timeToStr(text, t);
            ASSERT_EQ(std::string(text, 8), std::string(after, 8)) << std::fixed << t;
            ASSERT_STREQ(text + 8, " 00:00:00.0") << std::fixed << t;
        }
    }
}

TEST(DateTimeText, DecimalCommaLocaleDoesNotMatter) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no decimal-comma locale installed";
    char buf[20];
    timeToStr(buf, yearMonthDayToDos(2014, 1, 25, 13, 5, 7.4));
    const double t = strToTime("01-25-14 13:05:07.4");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_STREQ(buf, "01-25-14 13:05:07.4");
    EXPECT_NEAR(t, yearMonthDayToDos(2014, 1, 25, 13, 5, 7.4), 1e-6);
}

// The writer stays within the 20 characters its callers provide, whatever the time.
TEST(TimeToStr, BoundedForAnyTime) {
    const double inf = std::numeric_limits<double>::infinity();
    const double times[] = {std::nan(""), inf, -inf, 1e300, -1e300, -1.0, -86400.0 * 366 * 3000,
                            9.3e18, 1e17, -0.0001, 4.9e-324};
    for (double t : times) {
        char buf[64];
        std::memset(buf, 'Z', sizeof buf);
        timeToStr(buf, t);
        EXPECT_LE(std::strlen(buf), 19u) << t;
        for (std::size_t i = 20; i < sizeof buf; ++i) ASSERT_EQ(buf[i], 'Z') << t;
    }
}

// Any byte string is read without crashing and without reading past its end (the
// texts sit in heap blocks of their exact size, so AddressSanitizer sees overreads).
TEST(StrToTime, AnyByteString) {
    const double lowest = yearMonthDayToDos(1900, 1, 1, 0, 0, 0);
    const double highest = yearMonthDayToDos(2100, 12, 32, 23, 59, 60);
    auto check = [&](const std::string& s) {
        std::vector<char> exact(s.begin(), s.end());
        exact.push_back('\0');
        const double t = strToTime(exact.data());
        ASSERT_TRUE(t == 0.0 || (t >= lowest && t < highest)) << t;
    };
    check(std::string(100000, '7'));
    check(std::string(400, '9'));
    check(std::string(100000, '-'));
    check(std::string(100000, '.'));
    check("1" + std::string(100000, '.'));
    check("1-1-14 " + std::string(400, '9'));
    check("1-1-14 1:1:" + std::string(400, '.'));
    check("1-1-14 ");
    check("1-1-14 1:1:");
    std::mt19937 rng(7);
    const char alphabet[] = "0123456789.-/: x\x80\xff";
    for (int k = 0; k < 20000; ++k) {
        std::string s(rng() % 40, ' ');
        for (char& ch : s)
            ch = (k % 2) ? alphabet[rng() % (sizeof alphabet - 1)] : char(1 + rng() % 255);
        check(s);
    }
    EXPECT_EQ(strToTime(nullptr), 0.0);
}

} // namespace
