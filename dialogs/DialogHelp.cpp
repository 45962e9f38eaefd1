// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/DialogHelp.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace gw::dlg {

namespace {

const EmbeddedHelpPage* findPage(int templateId) {
    const std::string prefix = std::to_string(templateId) + "-";
    for (std::size_t i = 0; i < kEmbeddedHelpPageCount; ++i) {
        const EmbeddedHelpPage& p = kEmbeddedHelpPages[i];
        if (std::strncmp(p.stem, prefix.c_str(), prefix.size()) == 0) return &p;
    }
    return nullptr;
}

const char* variable(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0' ? v : nullptr;
}

// A desktop the user sees: an X or Wayland display, and Qt not told to draw
// where nobody looks.
bool haveDesktop() {
    if (const char* qpa = variable("QT_QPA_PLATFORM"))
        if (std::strcmp(qpa, "offscreen") == 0 || std::strcmp(qpa, "minimal") == 0) return false;
    return variable("DISPLAY") != nullptr || variable("WAYLAND_DISPLAY") != nullptr;
}

bool isFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder of the file this code was loaded from: the library, or a program
// that links the folder libraries ("" when unknown).
std::string ownFolder() {
    Dl_info info{};
    std::string path;
    if (dladdr(reinterpret_cast<const void*>(&helpPagePath), &info) != 0 && info.dli_fname != nullptr)
        path = info.dli_fname;
    // The main program may be named as it was started (no folder, or a relative one).
    if (path.find('/') == std::string::npos) {
        char exe[PATH_MAX];
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n <= 0) return {};
        path.assign(exe, static_cast<std::size_t>(n));
    } else if (path.front() != '/') {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr) return {};
        path = real;
        std::free(real);
    }
    return std::filesystem::path(path).parent_path().string();
}

// Starts program with the page as its argument, in a session of its own with the
// default signal handling and nothing to read; a thread reaps it when it ends.
bool startViewer(const std::string& program, const std::string& page) {
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attr;
    if (posix_spawn_file_actions_init(&files) != 0) return false;
    if (posix_spawnattr_init(&attr) != 0) {
        posix_spawn_file_actions_destroy(&files);
        return false;
    }
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    sigset_t none;
    sigemptyset(&none);
    sigset_t reset;
    sigemptyset(&reset);
    for (int s : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&reset, s);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &reset);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::string arg0 = program;
    std::string arg1 = page;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.c_str(), &files, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0) return false;
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// A line that starts a list item ("- ", "* ", "1. ").
bool isItem(std::string_view line) {
    if (startsWith(line, "- ") || startsWith(line, "* ")) return true;
    std::size_t i = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    return i > 0 && startsWith(line.substr(i), ". ");
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

} // namespace

std::string helpPageStem(int templateId) {
    const EmbeddedHelpPage* p = findPage(templateId);
    return p != nullptr ? p->stem : "";
}

std::string helpPageMarkdown(int templateId) {
    const EmbeddedHelpPage* p = findPage(templateId);
    if (p == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(p->bytes), p->size);
}

std::string helpPageText(int templateId) {
    const std::string md = helpPageMarkdown(templateId);
    // Paragraphs and list items are joined into single lines (the message box
    // wraps them); a blank line, a heading or a new item ends one.
    std::string out;
    bool open = false;  // a paragraph or item is being joined
    bool blank = false; // a blank line came since the last block
    auto endBlock = [&] {
        if (open) out += '\n';
        open = false;
    };
    auto beginBlock = [&] {
        if (blank && !out.empty()) out += '\n';
        blank = false;
    };
    std::size_t start = 0;
    while (start < md.size()) {
        std::size_t end = md.find('\n', start);
        if (end == std::string::npos) end = md.size();
        const std::string_view line = trimmed(std::string_view(md).substr(start, end - start));
        start = end + 1;
        if (line.empty()) {
            endBlock();
            blank = true;
        } else if (startsWith(line, "![")) {
            // the picture
        } else if (line.front() == '#') {
            endBlock();
            beginBlock();
            std::string_view heading = line;
            while (!heading.empty() && heading.front() == '#') heading.remove_prefix(1);
            out += trimmed(heading);
            out += '\n';
        } else if (open && !isItem(line)) {
            out += ' ';
            out += line;
        } else {
            endBlock();
            beginBlock();
            out += line;
            open = true;
        }
    }
    endBlock();
    // Emphasis and code marks.
    std::string plain;
    plain.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '`') continue;
        if (out[i] == '*' && i + 1 < out.size() && out[i + 1] == '*') {
            ++i;
            continue;
        }
        plain += out[i];
    }
    while (!plain.empty() && plain.back() == '\n') plain.pop_back();
    return plain;
}

std::string helpPagePath(int templateId) {
    const std::string stem = helpPageStem(templateId);
    if (stem.empty()) return {};
    const std::string file = stem + ".md";
    std::vector<std::filesystem::path> folders;
    const std::string own = ownFolder();
    if (!own.empty()) {
#ifdef GRIDWISE_HELP_FROM_LIBDIR
        folders.push_back(std::filesystem::path(own) / GRIDWISE_HELP_FROM_LIBDIR);
#endif
#ifdef GRIDWISE_HELP_FROM_BINDIR
        folders.push_back(std::filesystem::path(own) / GRIDWISE_HELP_FROM_BINDIR);
#endif
    }
#ifdef GRIDWISE_HELP_SOURCE_DIR
    folders.emplace_back(GRIDWISE_HELP_SOURCE_DIR);
#endif
    for (const auto& folder : folders) {
        const std::string path = (folder / file).lexically_normal().string();
        if (isFile(path)) return path;
    }
    return {};
}

bool showDialogHelp(DialogWindow& window, int templateId) {
    if (findPage(templateId) == nullptr) return false;
    std::string viewer;
    bool tryViewer = false;
    if (const char* named = std::getenv("GRIDWISE_HELP_VIEWER")) {
        viewer = named;
        tryViewer = !viewer.empty();
    } else if (haveDesktop()) {
        viewer = "xdg-open";
        tryViewer = true;
    }
    if (tryViewer) {
        const std::string page = helpPagePath(templateId);
        if (!page.empty() && startViewer(viewer, page)) return true;
    }
    window.messageBox("Help", helpPageText(templateId));
    return true;
}

} // namespace gw::dlg
