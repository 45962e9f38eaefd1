// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Saves of several processes into one settings file: geodesy saves and projection-list
// appends keep every section and entry, and leave nothing beside the file.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>
#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/ProjectionList.h"
#include "geodesy/Datum.h"
#include "gridwise/geodetics.h"
#include "platform/IniFile.h"
#include "support/SettingsFiles.h"

namespace {

// "p3s12" and the like (snprintf: g++ 12 at -O3 warns falsely on "p" + std::to_string).
std::string tagged(const char* first, int a, const char* second, int b) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%d%s%d", first, a, second, b);
    return text;
}

using gwtest::TempDir;

// Runs body(0) .. body(n - 1) in n processes started together; true when each exited 0.
bool inProcesses(int n, const std::function<bool(int)>& body) {
    int go[2];
    if (::pipe(go) != 0) return false;
    std::vector<pid_t> children;
    for (int i = 0; i < n; ++i) {
        pid_t child = ::fork();
        if (child < 0) return false;
        if (child == 0) {
            ::close(go[1]);
            char c;
            while (::read(go[0], &c, 1) < 0 && errno == EINTR) {
            }
            ::_exit(body(i) ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(go[0]);
    ::close(go[1]); // the children start when the pipe closes
    bool ok = true;
    for (pid_t child : children) {
        int status = 0;
        ok &= ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return ok;
}

std::set<std::string> folderNames(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

// Eight processes saving forty geodesy sections each into one file keep all 320.
TEST(SettingsSaveProcesses, EightProcessesSavingGeodesyKeepAllSections) {
    constexpr int kProcesses = 8, kSections = 40;
    TempDir dir;
    const std::string file = dir.file("survey.ini");
    ASSERT_TRUE(inProcesses(kProcesses, [&](int p) {
        if (allocGeodetics() != 1) return false;
        for (int i = 0; i < kSections; ++i) {
            std::string section = tagged("p", p, "s", i);
            saveGeoData(section.data(), const_cast<char*>(file.c_str()));
        }
        deAllocGeodetics();
        return true;
    }));
    const std::vector<std::string> expected = gwtest::sectionKeys(file, "p0s0");
    ASSERT_FALSE(expected.empty());
    int incomplete = 0;
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kSections; ++i)
            if (gwtest::sectionKeys(file, tagged("p", p, "s", i)) != expected) ++incomplete;
    EXPECT_EQ(incomplete, 0) << "of " << kProcesses * kSections << " sections";
    EXPECT_EQ(folderNames(std::filesystem::path(file).parent_path()), std::set<std::string>{"survey.ini"});
}

// Processes appending to the projection list at once each add their own entries; the
// count matches and no lock file is left.
TEST(SettingsSaveProcesses, ProjectionListAppendsKeepEveryEntry) {
    constexpr int kProcesses = 4, kEntries = 10;
    TempDir dir;
    const std::string folder = std::filesystem::path(dir.file("x")).parent_path();
    std::string oldDir;
    const char* old = std::getenv("GRIDWISE_SETTINGS_DIR");
    if (old != nullptr) oldDir = old;
    setenv("GRIDWISE_SETTINGS_DIR", folder.c_str(), 1);
    const bool ok = inProcesses(kProcesses, [&](int p) {
        bool all = true;
        for (int i = 0; i < kEntries; ++i)
            all &= gw::dlg::appendProjectionEntry(tagged("General,P", p, "E", i) + ",x");
        return all;
    });
    auto entries = gw::dlg::readProjectionList();
    const std::set<std::string> names = folderNames(folder);
    if (old != nullptr)
        setenv("GRIDWISE_SETTINGS_DIR", oldDir.c_str(), 1);
    else
        unsetenv("GRIDWISE_SETTINGS_DIR");

    EXPECT_TRUE(ok);
    std::set<std::string> specific;
    for (const auto& e : entries) specific.insert(e->specific);
    EXPECT_EQ(entries.size(), std::size_t{kProcesses * kEntries});
    EXPECT_EQ(specific.size(), std::size_t{kProcesses * kEntries});
    EXPECT_EQ(names, std::set<std::string>{gw::dlg::kProjectionListFile});
}

} // namespace
