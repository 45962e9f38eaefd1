// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Record fields, sentence checksums and file-name stems.
#include "gridwise/fields.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Exact-size heap copy of a text (no byte after the NUL), so ASan catches over-reads.
std::unique_ptr<char[]> heapText(const std::string& text) {
    std::unique_ptr<char[]> buf(new char[text.size() + 1]);
    std::memcpy(buf.get(), text.c_str(), text.size() + 1);
    return buf;
}

// Splits with the variant of width W into an exact heap array of n fields filled
// with a marker first; returns the fields found.
template <std::size_t W>
std::vector<std::string> split(const std::string& text, int n, int mode, int* count) {
    std::unique_ptr<char[][W]> fields(new char[n > 0 ? n : 1][W]);
    std::memset(fields.get(), '#', sizeof(char[W]) * static_cast<std::size_t>(n > 0 ? n : 1));
    auto t = heapText(text);
    *count = breakFields(t.get(), fields.get(), n, mode);
    std::vector<std::string> out;
    for (int i = 0; i < *count; ++i) {
        EXPECT_NE(std::memchr(fields[i], '\0', W), nullptr) << "field " << i << " not terminated";
        out.emplace_back(fields[i]);
    }
    for (int i = *count; i < n; ++i) EXPECT_EQ(fields[i][0], '\0') << "unused field " << i;
    return out;
}

using Fields = std::vector<std::string>;

struct SplitCase {
    const char* text;
    int maxFields;
    int mode;
    Fields expected;
};

TEST(BreakFields, Width30) {
    const SplitCase cases[] = {
        {"Name,6378137.00,298.257223,WGS 84,0,0,0", 12, 1,
         {"Name", "6378137.00", "298.257223", "WGS 84", "0", "0", "0"}},
        {"a, b;;c:d", 12, 0, {"a", "b", "c", "d"}},
        {"a,,b", 12, 1, {"a", "", "b"}},
        {"a,b,", 12, 0, {"a", "b", ""}},
        {"a,b,", 12, 1, {"a", "b", ""}},
        {"a,b,c", 2, 0, {"a", "b"}},
        {"a,b,c", 2, 1, {"a", "b"}},
        {"", 12, 0, {}},
        {"a", 12, 0, {"a"}},
        {"  a  ", 12, 0, {"a", "", ""}},
        {" ; a ,; b", 12, 1, {"a ", "b"}},  // skipped only where a field starts
        {"x:y;z w", 12, 1, {"x:y;z w"}},
        {",a", 12, 1, {"", "a"}},
        {",a", 12, 0, {"a"}},
        // a separator as the last character where a field starts closes one
        // more empty field
        {"a,,", 12, 0, {"a", "", ""}},
        {"a, ;", 12, 0, {"a", "", ""}},
        {",", 12, 0, {"", ""}},
        {",", 1, 0, {""}},
        {" ", 12, 0, {"", ""}},
        {"a, ", 12, 1, {"a", " "}},  // mode 1: the last blank is taken as the field
        {"a,b,c", 3, 1, {"a", "b", "c"}},
    };
    for (const SplitCase& c : cases) {
        int count = 0;
        Fields got = split<30>(c.text, c.maxFields, c.mode, &count);
        EXPECT_EQ(got, c.expected) << '"' << c.text << "\" mode " << c.mode << " n " << c.maxFields;
    }
}

TEST(BreakFields, LongFieldsAreCutAndTheScanGoesOn) {
    int count;
    std::string long25(25, 'x');
    Fields got = split<20>(long25 + ",next", 4, 0, &count);
    EXPECT_EQ(got, (Fields{std::string(19, 'x'), "next"}));
    got = split<80>(std::string(200, 'y') + " z", 4, 0, &count);
    EXPECT_EQ(got, (Fields{std::string(79, 'y'), "z"}));
    got = split<30>(std::string(30, 'w') + ",v", 4, 1, &count);
    EXPECT_EQ(got, (Fields{std::string(29, 'w'), "v"}));
    got = split<30>(std::string(29, 'u'), 4, 1, &count);
    EXPECT_EQ(got, (Fields{std::string(29, 'u')}));
}

TEST(BreakFields, Fixed25CommaOnlyForm) {
    struct Case {
        std::string text;
        Fields expected;
    };
    const Case cases[] = {
        {" : a b;c, :d", {"a b;c", "d"}},
        {"a,,;b", {"a", "", ";b"}},
        {"a,", {"a", ""}},
        {std::string(30, 'q') + ",r", {std::string(24, 'q'), "r"}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<char[][25]> fields(new char[115][25]);
        std::memset(fields.get(), '#', sizeof(char[115][25]));
        auto t = heapText(c.text);
        int count = breakFields(t.get(), fields.get());
        ASSERT_EQ(count, static_cast<int>(c.expected.size())) << c.text;
        for (int i = 0; i < count; ++i) EXPECT_EQ(fields[i], c.expected[i]) << c.text;
        for (int i = count; i < 115; ++i) EXPECT_EQ(fields[i][0], '\0');
    }
    // 115 fields at most, the rest not read
    std::string many;
    for (int i = 0; i < 200; ++i) many += std::to_string(i) + ",";
    std::unique_ptr<char[][25]> fields(new char[115][25]);
    auto t = heapText(many);
    EXPECT_EQ(breakFields(t.get(), fields.get()), 115);
    EXPECT_STREQ(fields[114], "114");
}

TEST(BreakFields, NoFieldsAllowedWritesNothing) {
    char fields[1][20];
    std::memset(fields, '#', sizeof fields);
    char text[] = "a,b";
    EXPECT_EQ(breakFields(text, fields, 0, 0), 0);
    EXPECT_EQ(breakFields(text, fields, -3, 1), 0);
    EXPECT_EQ(fields[0][0], '#');
    EXPECT_EQ(breakFields(nullptr, fields, 1, 0), 0);
    EXPECT_EQ(fields[0][0], '\0');
}

TEST(BreakFields, AnyByteStringStaysInItsBuffers) {
    std::mt19937 rng(3);
    const char alphabet[] = "ab ,;:\t\x80\xff";
    for (int i = 0; i < 20000; ++i) {
        std::size_t len = rng() % 60;
        std::string text;
        for (std::size_t j = 0; j < len; ++j) {
            unsigned r = rng();
            text += (r & 0x100) ? static_cast<char>((r & 0xff) ? (r & 0xff) : 'z')
                                : alphabet[r % (sizeof alphabet - 1)];
        }
        int n = 1 + static_cast<int>(rng() % 6);
        int mode = static_cast<int>(rng() % 2);
        int count;
        split<20>(text, n, mode, &count);
        ASSERT_GE(count, 0);
        ASSERT_LE(count, n);
        split<30>(text, n, mode, &count);
        split<80>(text, n, mode, &count);
        std::unique_ptr<char[][25]> f25(new char[115][25]);
        auto t = heapText(text);
        ASSERT_LE(breakFields(t.get(), f25.get()), 115);
    }
    int count;
    std::string huge(1 << 20, 'k');
    EXPECT_EQ(split<20>(huge, 3, 0, &count), (Fields{std::string(19, 'k')}));
    std::string seps(1 << 20, ';');
    EXPECT_EQ(split<20>(seps, 3, 0, &count), (Fields{"", ""}));
}

TEST(CheckSum, AppendsTwoHexDigitsAndLineEnd) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"$A,B", "$A,B*2F\r\n"},
        {"$", "$*00\r\n"},
        {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
         "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"},
    };
    for (const Case& c : cases) {
        std::size_t len = std::strlen(c.text);
        std::unique_ptr<char[]> buf(new char[len + 6]);  // exactly six more
        std::memcpy(buf.get(), c.text, len + 1);
        checkSum(buf.get());
        EXPECT_STREQ(buf.get(), c.expected);
        EXPECT_EQ(checkCheckSum(buf.get()), 1) << c.text;
    }
}

TEST(CheckSum, HighBytesStillGiveTwoDigitsThatCheck) {
    // one byte of 0x80 or above makes the signed sum negative; still two digits
    std::mt19937 rng(5);
    for (int i = 0; i < 5000; ++i) {
        std::size_t len = 1 + rng() % 30;
        std::string text = "$";
        for (std::size_t j = 1; j < len; ++j) {
            char c = static_cast<char>(1 + rng() % 255);
            text += c == '*' ? 'x' : c;
        }
        std::unique_ptr<char[]> buf(new char[text.size() + 6]);
        std::memcpy(buf.get(), text.c_str(), text.size() + 1);
        checkSum(buf.get());
        ASSERT_EQ(std::strlen(buf.get()), text.size() + 5);
        const char* tail = buf.get() + text.size();
        ASSERT_EQ(tail[0], '*');
        ASSERT_TRUE(std::isxdigit(static_cast<unsigned char>(tail[1])) &&
                    std::isxdigit(static_cast<unsigned char>(tail[2])));
        ASSERT_STREQ(tail + 3, "\r\n");
        ASSERT_EQ(checkCheckSum(buf.get()), 1) << text;
    }
    // the low byte of the value: 0x80 taken as -128, -128 % 255 = -128 -> 80
    char one[8] = "$\x80";
    checkSum(one);
    EXPECT_STREQ(one, "$\x80*80\r\n");
    // two bytes: -128 ^ -127 = 1
    char two[9] = "$\x80\x81";
    checkSum(two);
    EXPECT_STREQ(two, "$\x80\x81*01\r\n");
    // three: -128 ^ -128 ^ -128 = -128 -> 80
    char three[10] = "$\x80\x80\x80";
    checkSum(three);
    EXPECT_STREQ(three, "$\x80\x80\x80*80\r\n");
}

TEST(CheckSum, CheckRejectsMalformedSentences) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"$A,B*2F\r\n", 1},
        {"$A,B*2F", 1},
        {"$A,B*2f", 1},
        {"$A,B* 2F", 1},       // leading blanks before the digits
        {"$A,B*0x2F", 1},      // as the hexadecimal read takes it
        {"$A,B*002F", 1},
        {"$A,B*2Fzz", 1},
        {"$A,B*2E", 0},
        {"$A,B*12F", 0},       // a value beyond two digits never matches
        {"$A,B*-2F", 0},
        {"$A,B*FFFFFFFFFFFFFFFFFFFFFF2F", 0},
        {"A,B*2F", 0},         // no '$'
        {"$A,B", 0},           // no '*'
        {"*", 0},              // the first character is not searched
        {"$*", 1},             // empty body, nothing readable: 0 == 0
        {"$*00", 1},
        {"$A*B*2F", 0},        // the last '*' counts: body "A*B"
        {"$A*B*29", 1},        // 'A' ^ '*' ^ 'B'
        // 0x80 as a signed byte is -128: its full hexadecimal form, its negative
        // and the two digits checkSum writes all match; other values do not
        {"$\x80*FFFFFF80", 1},
        {"$\x80*-80", 1},
        {"$\x80*80", 1},
        {"$\x80*7F", 0},
        {"$\x80\x81*01", 1},   // -128 ^ -127 = 1
        {"", 0},
        {"$", 0},
    };
    for (const Case& c : cases) {
        auto t = heapText(c.text);
        EXPECT_EQ(checkCheckSum(t.get()), c.expected) << c.text;
    }
    EXPECT_EQ(checkCheckSum(nullptr), 0);
}

TEST(CheckDosFileName, CleansCutsAndBounds) {
    struct Case {
        std::string name;
        std::string expected;
        int result;
    };
    const Case cases[] = {
        {"my data:file.txt", "mydatafile", 1},
        {".txt", "", 0},
        {"", "", 0},
        {"a\"b/c\\d[e]f{g}h:i;j=k,l m.n", "abcde]f{ghijklm", 1},
        {"\"/\\[}:;=, ", "", 0},
        {"a.b.c", "a", 1},
        {std::string(400, 'n'), std::string(151, 'n'), 1},
        {std::string(200, ' ') + "tail", "tail", 1},
        {std::string(150, 'n') + " xyz.e", std::string(150, 'n') + "x", 1},
    };
    for (const Case& c : cases) {
        auto t = heapText(c.name);
        EXPECT_EQ(checkDosFileName(t.get()), c.result) << c.name;
        EXPECT_EQ(std::string(t.get()), c.expected) << c.name;
    }
    EXPECT_EQ(checkDosFileName(nullptr), 0);
}

} // namespace
