// gridwise-dialogs: the library's dialogs without a host.
//
//   gridwise-dialogs edit --settings FILE --section NAME
//       opens the Geodetics dialog on the projection and datum of section NAME of
//       the settings file FILE and saves them there on OK;
//   gridwise-dialogs units --settings FILE
//       opens the Data Units dialog on the unit settings of FILE, which it saves
//       there on OK.
//
// A file named without a folder is one of the settings folder
// ($GRIDWISE_SETTINGS_DIR, else $XDG_CONFIG_HOME/gridwise, else
// ~/.config/gridwise). Exits with 0 after OK, 1 after Cancel or when no dialog can
// be shown (no display), 2 on a usage error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gridwise/geodetics.h"
#include "gridwise/units.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: gridwise-dialogs edit --settings FILE --section NAME\n"
                 "       gridwise-dialogs units --settings FILE\n");
    return 2;
}

bool haveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return true;
    }
    return false;
}

// The value of option name among the arguments, or "" when it is missing.
std::string option(int argc, char** argv, const char* name) {
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    return {};
}

// Every argument after the command is a known option with a value.
bool onlyOptions(int argc, char** argv, std::initializer_list<const char*> known) {
    for (int i = 2; i < argc; i += 2) {
        bool ok = false;
        for (const char* k : known) ok = ok || std::strcmp(argv[i], k) == 0;
        if (!ok || i + 1 >= argc) return false;
    }
    return true;
}

int notAccepted(const char* what) {
    if (!haveDisplay())
        std::fprintf(stderr, "gridwise-dialogs: no display to show the %s dialog on (DISPLAY, WAYLAND_DISPLAY "
                             "and QT_QPA_PLATFORM are unset)\n", what);
    else
        std::fprintf(stderr, "gridwise-dialogs: %s dialog cancelled or not shown; nothing saved\n", what);
    return 1;
}

int editGeodetics(std::string file, std::string section) {
    if (allocGeodetics() == 0) {
        std::fprintf(stderr, "gridwise-dialogs: the library could not start\n");
        return 1;
    }
    std::vector<char> fileArg(file.begin(), file.end());
    fileArg.push_back('\0');
    std::vector<char> sectionArg(section.begin(), section.end());
    sectionArg.push_back('\0');
    loadGeoData(sectionArg.data(), fileArg.data());
    const int accepted = editDialog(nullptr);
    if (accepted == 1) saveGeoData(sectionArg.data(), fileArg.data());
    deAllocGeodetics();
    return accepted == 1 ? 0 : notAccepted("Geodetics");
}

int editUnits(std::string file) {
    std::vector<char> fileArg(file.begin(), file.end());
    fileArg.push_back('\0');
    if (allocUnits(fileArg.data()) == 0) {
        std::fprintf(stderr, "gridwise-dialogs: the library could not start\n");
        return 1;
    }
    loadUnits(fileArg.data()); // the file the dialog saves to on OK
    const int accepted = dataUnitsDialog(nullptr);
    deAllocUnits(nullptr); // saves nothing more
    return accepted == 1 ? 0 : notAccepted("Data Units");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    const std::string file = option(argc, argv, "--settings");
    if (command == "edit") {
        const std::string section = option(argc, argv, "--section");
        if (file.empty() || section.empty() || !onlyOptions(argc, argv, {"--settings", "--section"})) return usage();
        return editGeodetics(file, section);
    }
    if (command == "units") {
        if (file.empty() || !onlyOptions(argc, argv, {"--settings"})) return usage();
        return editUnits(file);
    }
    return usage();
}
