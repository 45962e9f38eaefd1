// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/SettingsPath.h"

#include "platform/IniFile.h"
#include "platform/IniText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace gw {

namespace ini {

std::string settingsDir() {
    const char* dir = std::getenv("GRIDWISE_SETTINGS_DIR");
    if (dir != nullptr && *dir != '\0') return dir;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/gridwise";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        struct passwd* pw = ::getpwuid(::getuid());
        home = pw != nullptr ? pw->pw_dir : nullptr;
    }
    if (home == nullptr || *home == '\0') home = ".";
    return std::string(home) + "/.config/gridwise";
}

// mkdir -p; errors are left for the write that follows to find.
void makeDirs(const std::string& dir) {
    for (std::size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            std::string part = dir.substr(0, i);
            if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return;
        }
    }
}

std::string writeTarget(const char* file) {
    std::string path = resolveSettingsPath(file);
    if (path.empty()) return path;
    struct stat lst{};
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    return path;
}

std::string prepareWrite(const char* file) {
    if (file == nullptr || *file == '\0') return std::string();
    if (std::strchr(file, '/') == nullptr) makeDirs(settingsDir());
    return writeTarget(file);
}

} // namespace ini

std::string resolveSettingsPath(const char* file) {
    if (file == nullptr || *file == '\0') return std::string();
    if (std::strchr(file, '/') != nullptr) return file;
    const std::string dir = ini::settingsDir();
    std::string path = dir + "/" + file;
    // The exact spelling costs one lstat; the folder is scanned only without it.
    struct stat st{};
    if (::lstat(path.c_str(), &st) == 0) return path;
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr) return path;
    std::string match;
    while (const dirent* entry = ::readdir(folder)) {
        std::string_view name(entry->d_name);
        if (ini::equalNoCase(name, file) && (match.empty() || name < match)) match = name;
    }
    ::closedir(folder);
    return match.empty() ? path : dir + "/" + match;
}

} // namespace gw
