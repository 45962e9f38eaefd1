// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// File-name keys and the path splitting under them.
#include "gridwise/filters.h"
#include "numerics/PathParts.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(PathParts, WindowsRulesForBothSeparators) {
    struct Case {
        const char *path, *drive, *dir, *name, *ext;
    };
    const Case cases[] = {
        {"C:\\dir\\sub/name.ext.gz", "C:", "\\dir\\sub/", "name.ext", ".gz"},
        {"name", "", "", "name", ""},
        {".profile", "", "", "", ".profile"},
        {"dir.d/name", "", "dir.d/", "name", ""},
        {"a/b\\", "", "a/b\\", "", ""},
        {"d:x.y", "d:", "", "x", ".y"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        const gw::PathParts p = gw::splitPath(c.path);
        EXPECT_STREQ(p.drive, c.drive) << c.path;
        EXPECT_STREQ(p.dir, c.dir) << c.path;
        EXPECT_STREQ(p.name, c.name) << c.path;
        EXPECT_STREQ(p.ext, c.ext) << c.path;
    }
}

TEST(PathParts, FileNameNumber) {
    const std::pair<const char*, int> cases[] = {
        {"0012 0034", 12}, {"  -7x", -7}, {"+5", 5}, {"abc", 0}, {"", 0},
        {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}, {"2147483647", INT_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(gw::fileNameNumber(c.first), c.second) << c.first;
}

TEST(FLClass, Comparisons) {
    struct Case {
        const char *a, *b;
        int equal, less;
    };
    const Case cases[] = {
        {"/data/run1/0012 0034.dat", "C:\\other\\0012 0035.txt", 0, 1},
        {"C:\\other\\0012 0035.txt", "/data/run1/0012 0034.dat", 0, 0},
        {"a/b/0012 0034.dat", "c:\\x\\0012 0034.txt", 1, 0},
        {"9.dat", "10.dat", 0, 1},          // by number, not by text
        {"0012x0034", "0012x0035", 0, 0},   // fifth character not a number: leading only
        {"12", "12", 1, 0},                 // shorter than five characters
        {"12", "0012 5", 0, 1},
        {"x/-3.log", "x/2.log", 0, 1},
    };
    for (const Case& c : cases) {
        const FLClass a(c.a), b(c.b);
        EXPECT_EQ(a == b, c.equal) << c.a << " == " << c.b;
        EXPECT_EQ(a < b, c.less) << c.a << " < " << c.b;
    }
}

TEST(FLClass, OwnsABoundedCopy) {
    const std::string longName(1000, '7');
    FLClass a(longName.c_str());
    EXPECT_EQ(std::strlen(a.fileName), 259u);
    FLClass b(a), c, d(nullptr);
    EXPECT_STREQ(c.fileName, "");
    EXPECT_STREQ(d.fileName, "");
    c = a;
    c = c;
    EXPECT_EQ(std::strlen(c.fileName), 259u);
    EXPECT_EQ(b == c, 1);
    EXPECT_EQ(b < c, 0);
    EXPECT_NE(c.fileName, a.fileName);

    std::vector<FLClass> keys;
    for (const char* name : {"0003 10.x", "0003 2.x", "1.x"}) keys.emplace_back(name);
    std::vector<FLClass> copy = keys;
    EXPECT_EQ(copy[1] < copy[0], 1);
    EXPECT_EQ(copy[2] < copy[1], 1);
}

} // namespace
