// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The module's main source unit: the application object and its start-up.
#include "module/Gridwise.h"

#include "platform/ModuleState.h"
#include "platform/HostServices.h"

#include <cstring>

CGridwiseApp theApp;

namespace gw {

std::string moduleSourcePath() {
    // The host knows this build by the path under which its compiler recorded
    // the main source file: the folder ".", the stem "Gridwise" and this file's
    // own extension.
    const char* file = __FILE__;
    const char* slash = std::strrchr(file, '/');
    const char* base = slash ? slash + 1 : file;
    const char* dot = std::strrchr(base, '.');
    return std::string(".\\Gridwise") + (dot ? dot : "");
}

const char* moduleBuildText() { return __DATE__ " " __TIME__; }

namespace {

bool startTheApp() { return theApp.initInstance(); }

// The application object's start-up is the one the gate runs, from the moment the
// library is loaded.
const bool startUpInstalled = (setModuleStartUp(&startTheApp), true);

} // namespace

} // namespace gw

bool CGridwiseApp::initInstance() {
    gw::HostServices& host = gw::hostServices();
    host.loadAppResources(&theApp);
    const std::string source = gw::moduleSourcePath();
    if (!host.checkDllVersion(gw::moduleVersion, source.c_str(), gw::moduleBuildText()))
        return false;
    return gw::AppObject::initInstance();
}
