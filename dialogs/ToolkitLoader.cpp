// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Loading the Qt backend's library. Without a display nothing is loaded: a host or
// server that never shows a dialog needs no Qt, and dialogs return 0 at once.
#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "dialogs/DialogWindow.h"
#include "dialogs/qt/QtBackend.h"

namespace gw::dlg {

namespace {

bool set(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
}

bool haveDisplay() { return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"); }

// The folder (with its trailing '/') of the file this code was loaded from:
// libgridwise.so, or a program that links the folder libraries.
std::string ownFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&loadToolkitBackend), &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash != std::string::npos ? path.substr(0, slash + 1) : std::string();
}

void* open(const std::string& file) { return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL); }

// The backend's library beside ours, else through the loader's search path, else
// in the build tree (programs of the build that link the folder libraries).
void* openBackend() {
    void* lib = nullptr;
    const std::string own = ownFolder();
    if (!own.empty()) lib = open(own + qtBackendLibrary);
    if (lib == nullptr) lib = open(qtBackendLibrary);
#ifdef GRIDWISE_QT_BACKEND_DIR
    if (lib == nullptr) lib = open(std::string(GRIDWISE_QT_BACKEND_DIR) + "/" + qtBackendLibrary);
#endif
    return lib;
}

} // namespace

DialogBackend* loadToolkitBackend() {
    if (!haveDisplay()) return nullptr;
    void* lib = openBackend();
    if (lib == nullptr) return nullptr;
    auto entry = reinterpret_cast<QtBackendEntry>(dlsym(lib, qtBackendEntry));
    if (entry == nullptr) {
        dlclose(lib);
        return nullptr;
    }
    // The library stays loaded for the life of the process: Qt cannot be unloaded.
    return entry();
}

} // namespace gw::dlg
