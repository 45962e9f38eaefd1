// The module's main source unit: the application object and its start-up.
#include "module/Gridwise.h"

#include "module/ModuleState.h"
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

enum class StartUp { notRun, running, ready, refused };
StartUp startUp = StartUp::notRun;

} // namespace

bool moduleReady() {
    if (startUp == StartUp::notRun) {
        startUp = StartUp::running;
        bool ok = false;
        try {
            ok = theApp.initInstance();
        } catch (...) {
            ok = false;
        }
        startUp = ok ? StartUp::ready : StartUp::refused;
    }
    return startUp == StartUp::ready;
}

bool moduleStartupRan() { return startUp != StartUp::notRun; }

} // namespace gw

bool CGridwiseApp::initInstance() {
    gw::HostServices& host = gw::hostServices();
    host.loadAppResources(&theApp);
    const std::string source = gw::moduleSourcePath();
    if (!host.checkDllVersion(gw::moduleVersion, source.c_str(), gw::moduleBuildText()))
        return false;
    return gw::AppObject::initInstance();
}
