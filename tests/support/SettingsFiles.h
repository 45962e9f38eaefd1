// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings files in tests: a scratch folder removed with its files at the end,
// whole files written at once, and the lines of one section read back in file
// order.
#ifndef GRIDWISE_TESTS_SUPPORT_SETTINGSFILES_H
#define GRIDWISE_TESTS_SUPPORT_SETTINGSFILES_H

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace gwtest {

// A fresh folder for settings files, memory-backed where possible (every settings
// write is synced to disk). Should no folder be made, files go to /tmp and nothing
// is removed.
class TempDir {
public:
    TempDir() {
        for (const char* root : {"/dev/shm", "/tmp"}) {
            std::string pattern = std::string(root) + "/gw-test-XXXXXX";
            if (mkdtemp(pattern.data()) != nullptr) {
                path_ = pattern;
                made_ = true;
                return;
            }
        }
        path_ = "/tmp";
    }
    ~TempDir() {
        std::error_code ec;
        if (made_) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
    bool made_ = false;
};

// The whole content of a file, byte for byte ("" when it cannot be read).
inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes text as the whole content of the file, byte for byte.
inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The key=value lines of one section, in file order.
inline std::vector<std::pair<std::string, std::string>> sectionLines(const std::string& path,
                                                                     const std::string& section) {
    std::vector<std::pair<std::string, std::string>> out;
    std::ifstream in(path);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (inside && eq != std::string::npos) out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return out;
}

// The keys of such lines.
inline std::vector<std::string> keysOf(const std::vector<std::pair<std::string, std::string>>& lines) {
    std::vector<std::string> keys;
    for (const auto& kv : lines) keys.push_back(kv.first);
    return keys;
}

// The keys of one section, in file order.
inline std::vector<std::string> sectionKeys(const std::string& path, const std::string& section) {
    return keysOf(sectionLines(path, section));
}

} // namespace gwtest

#endif
