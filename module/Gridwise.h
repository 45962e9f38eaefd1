// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The module's application object and start-up.
//
// One static CGridwiseApp lives in the library. Its start-up (initInstance) runs
// once per process, on the first use of the library (gw::moduleReady; threads that
// come while it runs wait for its result): it lets
// the host load the module's resources, then asks the host to accept this build
// (module version 0x4010007, the main source file ".\Gridwise.cpp", the build
// date and time); only on acceptance does the default initialisation run.
#ifndef GRIDWISE_MODULE_GRIDWISE_H
#define GRIDWISE_MODULE_GRIDWISE_H

#include <string>

namespace gw {

// The module version handed to the host's version check.
constexpr unsigned int moduleVersion = 0x4010007u;

// The application object's base: its default initialisation succeeds.
class AppObject {
public:
    virtual ~AppObject() = default;
    virtual bool initInstance() { return true; }
};

// ".\Gridwise" followed by the extension of the module's main source file.
std::string moduleSourcePath();

// The build date and time in the compiler's form, "Jan 15 2014 16:19:55".
const char* moduleBuildText();

} // namespace gw

class CGridwiseApp : public gw::AppObject {
public:
    // Loads the application resources through the host, then asks the host to
    // accept the version; false when the host refuses.
    bool initInstance() override;
};

extern CGridwiseApp theApp;

#endif
