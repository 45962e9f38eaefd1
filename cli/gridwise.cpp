// gridwise: the library's conversions as a line-oriented filter.
//
//   gridwise COMMAND [OPTIONS]
//
// One output line per input line, in input order; a line that cannot be
// converted gives "ERROR: ..." in its place and the others go on. Exit status: 0
// when every line converted, 1 when a line failed (or the input could not be read
// or the output written), 2 for a usage error, a settings file or section that
// cannot be read, or an input or output file that cannot be opened. `gridwise
// --help` and `gridwise COMMAND --help` describe every command with an example.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/Converter.h"
#include "cli/LineStream.h"
#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"
#include "gridwise/projection.h"
#include "gridwise/units.h"
#include "platform/IniFile.h"

namespace {

using gwcli::Job;

struct Command {
    const char* name;
    Job job;
    bool streams;     // reads lines
    bool gridColumns; // takes --convergence and --scale
    const char* summary;
    const char* input;
    const char* output;
    const char* example;
};

const Command kCommands[] = {
    {"geo2grid", Job::geo2grid, true, true, "Latitude and longitude on the working datum to grid",
     "LAT LON [NAME...]", "NORTHING EASTING [CONVERGENCE] [SCALE] [NAME...]",
     "echo '34 -117' | gridwise geo2grid\n3762155.972 500000.000"},
    {"grid2geo", Job::grid2geo, true, true, "Grid to latitude and longitude on the working datum",
     "NORTHING EASTING [NAME...]", "LAT LON [CONVERGENCE] [SCALE] [NAME...]",
     "echo '3762155.972 500000' | gridwise grid2geo\n34.00000000 -117.00000000"},
    {"wgs2working", Job::wgs2working, true, false, "WGS 84 to the working datum", "LAT LON [NAME...]",
     "LAT LON [NAME...]",
     "echo '41.4 2.17' | gridwise wgs2working --settings data/survey/settings.ini --section ed50-utm31\n"
     "41.40109329 2.17113165"},
    {"working2wgs", Job::working2wgs, true, false, "The working datum to WGS 84", "LAT LON [NAME...]",
     "LAT LON [NAME...]",
     "echo '41.40109329 2.17113165' | gridwise working2wgs --settings data/survey/settings.ini \\\n"
     "--section ed50-utm31\n41.40000001 2.17000001"},
    {"wgs2grid", Job::wgs2grid, true, false, "WGS 84 to the working datum and on to grid", "LAT LON [NAME...]",
     "NORTHING EASTING [NAME...]",
     "echo 'N34 00.0000 W117 00.0000 gate' | gridwise wgs2grid --text\nN3762155.97m E500000.00m gate"},
    {"grid2wgs", Job::grid2wgs, true, false, "Grid to the working datum and on to WGS 84",
     "NORTHING EASTING [NAME...]", "LAT LON [NAME...]",
     "echo 'N3762155.97m E500000.00m' | gridwise grid2wgs --text\nN34 00.0000 W117 00.0000"},
    {"inverse", Job::inverse, true, false, "Geodesic between two points on the working ellipsoid",
     "LAT1 LON1 LAT2 LON2 [NAME...]", "AZIMUTH DISTANCE [NAME...]",
     "echo '52 4 52 5' | gridwise inverse\n89.60599082 68677.472"},
    {"direct", Job::direct, true, false, "End point of a geodesic on the working ellipsoid",
     "LAT LON AZIMUTH DISTANCE [NAME...]", "LAT2 LON2 [NAME...]",
     "echo '52 4 90 1000' | gridwise direct\n51.99999910 4.01456070"},
    {"describe", Job::geo2grid, false, false,
     "The projection's and the datum's description lines and the initialisation string", "", "",
     "gridwise describe --settings data/survey/settings.ini --section california-5"},
    {"edit", Job::geo2grid, false, false,
     "The Geodetics dialog on a settings section, saved there on OK (needs a display)", "", "",
     "gridwise edit --settings ./my-settings.ini --section geodesy"},
    {"units", Job::geo2grid, false, false,
     "The Data Units dialog on the unit settings, saved on OK (needs a display)", "", "",
     "gridwise units --units ./my-settings.ini"},
};

const char* const kOptionsHelp =
    "Options:\n"
    "  --settings FILE    geodesy settings file (default: WGS 84 and the Transverse\n"
    "                     Mercator \"UTM Zone 11\"); a name without a folder is taken\n"
    "                     from the working folder when it is there, else from the\n"
    "                     settings folder\n"
    "  --section NAME     section of the settings file (needed with --settings)\n"
    "  --units FILE       unit settings (section \"units\"; default: the [units]\n"
    "                     section of the settings file, if it has one)\n"
    "  -p N               decimals: N for metres (default 3), N+5 for degrees,\n"
    "                     N+6 for scale factors; N from 0 to 12\n"
    "  --text             write (and read plain numbers in) the library's own text\n"
    "                     forms and units\n"
    "  --convergence      geo2grid, grid2geo: add the grid convergence (decimal\n"
    "                     degrees, also with --text)\n"
    "  --scale            geo2grid, grid2geo: add the point scale factor\n"
    "  -j N               convert with N threads (output in input order)\n"
    "  --input-file FILE  read FILE instead of standard input\n"
    "  --output-file FILE write FILE instead of standard output\n"
    "  --quiet            no progress line on standard error\n"
    "  -h, --help         this help\n";

const char* const kInputHelp =
    "Input: one point per line; fields separated by blanks, tabs or commas.\n"
    "Angles in decimal degrees (52.0854, -117.5) or with a hemisphere letter\n"
    "(N52 05.1240, 52 05 07.44 N, W117 30); grid values as plain numbers or\n"
    "labelled (N5765432.10m, E1234.5ft, S12+34.56m). Text after the fields (point\n"
    "names) is copied to the output; empty lines and lines starting with '#' pass\n"
    "through. A bad line gives 'ERROR: ...' in its place.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "gridwise: %s\nTry 'gridwise --help'.\n", message.c_str());
    return 2;
}

// An example: the command after "$ " (its continuation lines indented), then the
// lines it writes, indented.
void printExample(const char* example) {
    std::string text = example;
    bool command = true;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(begin, end - begin);
        const bool first = begin == 0;
        std::printf("%s%s\n", first ? "  $ " : (command ? "        " : "    "), line.c_str());
        command = command && !line.empty() && line.back() == '\\';
        begin = end + 1;
    }
}

void printCommandHelp(const Command& c) {
    std::printf("usage: gridwise %s [OPTIONS]\n\n%s.\n", c.name, c.summary);
    if (c.streams) std::printf("\nInput lines:  %s\nOutput lines: %s\n\n%s", c.input, c.output, kInputHelp);
    std::printf("\nExample:\n");
    printExample(c.example);
    std::printf("\n%s", kOptionsHelp);
}

void printHelp() {
    std::printf("usage: gridwise COMMAND [OPTIONS]\n\nCommands:\n");
    for (const Command& c : kCommands) std::printf("  %-12s %s\n", c.name, c.summary);
    std::printf("\n%s\n%s\nExamples:\n", kInputHelp, kOptionsHelp);
    for (const Command& c : kCommands)
        if (c.streams) printExample(c.example);
    std::printf("\n'gridwise COMMAND --help' shows one command. Exit status: 0 all lines\n"
                "converted, 1 a line failed, 2 a usage or settings error.\n");
}

// A settings file name as the tool takes it: a bare name that names a file in the
// working folder is that file; any other name is the library's (a bare name is
// then one of the settings folder).
std::string settingsPath(const std::string& name) {
    if (name.find('/') == std::string::npos && ::access(name.c_str(), F_OK) == 0) return "./" + name;
    return name;
}

bool parseInt(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
}

struct Arguments {
    const Command* command = nullptr;
    gwcli::JobOptions job;
    std::string settings, section, units, input, output;
    int threads = 1;
    bool quiet = false;
    bool help = false;
};

// Reads the options after the command; an empty string when they are sound,
// else the usage error.
std::string readOptions(int argc, char** argv, Arguments& a) {
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                inlineValue = true;
            }
        }
        auto takeValue = [&](std::string& into) -> bool {
            if (inlineValue) {
                into = value;
                return true;
            }
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        const bool flag = !inlineValue;
        if (arg == "-h" || arg == "--help") {
            a.help = true;
        } else if (arg == "--text" && flag) {
            a.job.text = true;
        } else if (arg == "--quiet" && flag) {
            a.quiet = true;
        } else if ((arg == "--convergence" || arg == "--scale") && flag) {
            if (!a.command->gridColumns) return arg + " is an option of geo2grid and grid2geo only";
            (arg == "--convergence" ? a.job.convergence : a.job.scale) = true;
        } else if (arg == "--settings" || arg == "--section" || arg == "--units" || arg == "--input-file" ||
                   arg == "--output-file") {
            std::string& into = arg == "--settings" ? a.settings
                              : arg == "--section"  ? a.section
                              : arg == "--units"    ? a.units
                              : arg == "--input-file" ? a.input
                                                      : a.output;
            if (!takeValue(into) || into.empty()) return "option " + arg + " needs a value";
        } else if (arg == "-p" || arg == "-j" || arg == "--precision" || arg == "--threads") {
            std::string v;
            if (!takeValue(v)) return "option " + arg + " needs a number";
            const bool precision = arg == "-p" || arg == "--precision";
            if (precision ? !parseInt(v.c_str(), 0, 12, a.job.precision) : !parseInt(v.c_str(), 1, 64, a.threads))
                return "option " + arg + (precision ? " takes a number from 0 to 12" : " takes a number from 1 to 64");
        } else {
            return "unknown option '" + arg + "' for " + a.command->name;
        }
    }
    if (!a.settings.empty() && a.section.empty()) return "--settings needs --section NAME";
    if (a.settings.empty() && !a.section.empty()) return "--section needs --settings FILE";
    return {};
}

bool loadGeodesy(const Arguments& a, Geodetics& geodesy) {
    if (a.settings.empty()) return true;
    std::string path = settingsPath(a.settings);
    if (!gw::iniFileReadable(path.c_str())) {
        std::fprintf(stderr, "gridwise: cannot read the settings file '%s'\n", a.settings.c_str());
        return false;
    }
    if (!gw::iniHasSection(a.section.c_str(), path.c_str())) {
        std::fprintf(stderr, "gridwise: the settings file '%s' has no section [%s]\n", a.settings.c_str(),
                     a.section.c_str());
        return false;
    }
    std::vector<char> section(a.section.begin(), a.section.end());
    section.push_back('\0');
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    geodesy.loadData(section.data(), file.data());
    return true;
}

bool readUnitSettings(const Arguments& a, Units& units) {
    std::string path;
    if (!a.units.empty()) {
        path = settingsPath(a.units);
        if (!gw::iniFileReadable(path.c_str())) {
            std::fprintf(stderr, "gridwise: cannot read the unit settings file '%s'\n", a.units.c_str());
            return false;
        }
    } else if (!a.settings.empty()) {
        path = settingsPath(a.settings);
        if (!gw::iniHasSection("units", path.c_str())) return true;
    } else {
        return true;
    }
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    units.loadData(file.data());
    return true;
}

int describe(Geodetics& geodesy) {
    char lines[7][50];
    auto print = [](char (*text)[50], int n) {
        for (int i = 0; i < n; ++i) {
            text[i][49] = '\0';
            std::size_t len = std::strlen(text[i]);
            while (len > 0 && (text[i][len - 1] == ' ' || text[i][len - 1] == '\r' || text[i][len - 1] == '\n')) --len;
            std::printf("%.*s\n", static_cast<int>(len), text[i]);
        }
    };
    std::memset(lines, 0, sizeof lines);
    geodesy.projection->getLines(lines);
    print(lines, 6);
    std::memset(lines, 0, sizeof lines);
    geodesy.datum.getLines(lines);
    print(lines, 7);
    std::vector<char> init(GW_INIT_STR_MAX, '\0');
    geodesy.projection->getInitStr(init.data(), init.size());
    std::printf("%s\n", init.data());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

bool haveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return true;
    }
    return false;
}

int notShown(const char* what) {
    if (!haveDisplay())
        std::fprintf(stderr, "gridwise: no display to show the %s dialog on (DISPLAY, WAYLAND_DISPLAY and "
                             "QT_QPA_PLATFORM are unset)\n", what);
    else
        std::fprintf(stderr, "gridwise: %s dialog cancelled or not shown; nothing saved\n", what);
    return 1;
}

int editSettings(const Arguments& a) {
    if (a.settings.empty()) return usageError("edit needs --settings FILE --section NAME");
    std::string path = settingsPath(a.settings);
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    std::vector<char> section(a.section.begin(), a.section.end());
    section.push_back('\0');
    if (allocGeodetics() == 0) {
        std::fprintf(stderr, "gridwise: the library could not start\n");
        return 1;
    }
    loadGeoData(section.data(), file.data());
    const int accepted = editDialog(nullptr);
    if (accepted == 1) saveGeoData(section.data(), file.data());
    deAllocGeodetics();
    return accepted == 1 ? 0 : notShown("Geodetics");
}

int editUnits(const Arguments& a) {
    const std::string& name = a.units.empty() ? a.settings : a.units;
    if (name.empty()) return usageError("units needs --units FILE (or --settings FILE)");
    std::string path = settingsPath(name);
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    if (allocUnits(file.data()) == 0) {
        std::fprintf(stderr, "gridwise: the library could not start\n");
        return 1;
    }
    loadUnits(file.data()); // the file the dialog saves to on OK
    const int accepted = dataUnitsDialog(nullptr);
    deAllocUnits(nullptr);
    return accepted == 1 ? 0 : notShown("Data Units");
}

int convert(const Arguments& a, Geodetics& geodesy, const Units& units) {
    int fd = 0;
    std::uint64_t size = 0;
    struct stat input {};
    bool haveInput = false; // input holds what the input file is
    if (!a.input.empty()) {
        fd = ::open(a.input.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::fprintf(stderr, "gridwise: cannot open the input file '%s': %s\n", a.input.c_str(),
                         std::strerror(errno));
            return 2;
        }
        haveInput = ::fstat(fd, &input) == 0;
        if (haveInput && S_ISREG(input.st_mode)) size = static_cast<std::uint64_t>(input.st_size);
        if (haveInput && S_ISDIR(input.st_mode)) {
            std::fprintf(stderr, "gridwise: the input file '%s' is a folder\n", a.input.c_str());
            ::close(fd);
            return 2;
        }
    }
    std::FILE* out = stdout;
    if (!a.output.empty() && haveInput) {
        // Opening the output for writing would empty the input before it is read.
        struct stat existing {};
        if (::stat(a.output.c_str(), &existing) == 0 && input.st_dev == existing.st_dev &&
            input.st_ino == existing.st_ino) {
            std::fprintf(stderr, "gridwise: the output file '%s' is the input file\n", a.output.c_str());
            ::close(fd);
            return 2;
        }
    }
    if (!a.output.empty()) {
        out = std::fopen(a.output.c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "gridwise: cannot write the output file '%s': %s\n", a.output.c_str(),
                         std::strerror(errno));
            if (fd != 0) ::close(fd);
            return 2;
        }
    }
    static char outBuffer[1 << 16];
    std::setvbuf(out, outBuffer, _IOFBF, sizeof outBuffer);

    gwcli::StreamOptions options;
    options.threads = a.threads;
    options.progress = !a.quiet && !a.input.empty() && ::isatty(2);
    options.inputSize = size;
    const gwcli::StreamResult r = gwcli::streamLines(fd, out, options, [&]() -> std::unique_ptr<gwcli::LineConverter> {
        return std::make_unique<gwcli::Converter>(geodesy, units, a.job);
    });
    if (fd != 0) ::close(fd);
    bool closed = true;
    if (out != stdout) closed = std::fclose(out) == 0;
    if (r.readError) std::fprintf(stderr, "gridwise: reading the input failed after %llu lines\n",
                                  static_cast<unsigned long long>(r.lines));
    if (r.writeError || !closed) std::fprintf(stderr, "gridwise: writing the output failed\n");
    if (r.failed > 0 && !a.quiet)
        std::fprintf(stderr, "gridwise: %llu of %llu lines could not be converted\n",
                     static_cast<unsigned long long>(r.failed), static_cast<unsigned long long>(r.lines));
    return (r.failed > 0 || r.readError || r.writeError || !closed) ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usageError("a command is needed");
    const std::string name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        printHelp();
        return 0;
    }
    Arguments a;
    for (const Command& c : kCommands)
        if (name == c.name) a.command = &c;
    if (a.command == nullptr) return usageError("unknown command '" + name + "'");
    const std::string problem = readOptions(argc, argv, a);
    if (a.help) {
        printCommandHelp(*a.command);
        return 0;
    }
    if (!problem.empty()) return usageError(problem);
    a.job.job = a.command->job;

    const std::string command = a.command->name;
    if (command == "edit") return editSettings(a);
    if (command == "units") return editUnits(a);

    Geodetics geodesy;
    Units units;
    if (geodesy.projection == nullptr) {
        std::fprintf(stderr, "gridwise: the library could not start\n");
        return 1;
    }
    if (!loadGeodesy(a, geodesy) || !readUnitSettings(a, units)) return 2;
    if (geodesy.projection == nullptr) {
        std::fprintf(stderr, "gridwise: the projection could not be made\n");
        return 1;
    }
    if (command == "describe") return describe(geodesy);
    return convert(a, geodesy, units);
}
