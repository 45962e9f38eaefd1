// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// gridwise: the library's conversions as a line-oriented filter.
//
//   gridwise COMMAND [OPTIONS]
//
// One output line per input line, in input order; a line that cannot be
// converted gives "ERROR: ..." in its place and the others go on. Exit status: 0
// when every line converted, 1 when a line failed (or the input could not be read
// or the output written), 2 for a usage error, a settings file or section that
// cannot be read, a coordinate system (--crs) that is refused, or an input or
// output file that cannot be opened. `gridwise
// --help` and `gridwise COMMAND --help` describe every command with an example.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/Converter.h"
#include "cli/HelpText.h"
#include "cli/LineStream.h"
#include "facade/GeodesyHandle.h"
#include "facade/Geodetics.h"
#include "gridwise/batch.h"
#include "gridwise/geodetics.h"
#include "gridwise/projection.h"
#include "gridwise/units.h"
#include "dialogs/ProjectionList.h"
#include "platform/IniFile.h"
#ifdef GRIDWISE_HAVE_EPSG
#include "gridwise/epsg.h"
#endif

namespace {

using gwcli::Job;

// A command: what it does (Job), whether it reads lines and takes the grid
// columns, and its help texts (cli/HelpText.h, from which the manual is made too).
struct Command {
    Job job;
    bool streams;     // reads lines
    bool gridColumns; // takes --convergence and --scale
    const gwcli::help::CommandText& text;
};

using gwcli::help::kCommandTexts;
const Command kCommands[] = {
    {Job::geo2grid, true, true, kCommandTexts[0]},
    {Job::grid2geo, true, true, kCommandTexts[1]},
    {Job::wgs2working, true, false, kCommandTexts[2]},
    {Job::working2wgs, true, false, kCommandTexts[3]},
    {Job::wgs2grid, true, false, kCommandTexts[4]},
    {Job::grid2wgs, true, false, kCommandTexts[5]},
    {Job::inverse, true, false, kCommandTexts[6]},
    {Job::direct, true, false, kCommandTexts[7]},
    {Job::geo2grid, false, false, kCommandTexts[8]},
    {Job::geo2grid, false, false, kCommandTexts[9]},
    {Job::geo2grid, false, false, kCommandTexts[10]},
    {Job::geo2grid, false, false, kCommandTexts[11]},
    {Job::geo2grid, false, false, kCommandTexts[12]},
    {Job::geo2grid, false, false, kCommandTexts[13]},
};
static_assert(std::size(kCommands) == std::size(kCommandTexts));

const Command& commandNamed(const char* name) {
    for (const Command& c : kCommands)
        if (std::strcmp(c.text.name, name) == 0) return c;
    return kCommands[0];
}

// The options' help: each option's term in a column, its lines beside it.
std::string optionsHelp() {
    std::string text = "Options:\n";
    for (const gwcli::help::OptionText& o : gwcli::help::kOptionTexts) {
        char term[32];
        std::snprintf(term, sizeof term, "  %-18s ", o.term);
        std::string lines = o.help;
        std::size_t begin = 0;
        for (bool first = true; begin <= lines.size(); first = false) {
            std::size_t end = lines.find('\n', begin);
            if (end == std::string::npos) end = lines.size();
            text += (first ? std::string(term) : std::string(21, ' ')) + lines.substr(begin, end - begin) + "\n";
            begin = end + 1;
        }
    }
    return text;
}

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
    std::printf("usage: gridwise %s [OPTIONS]\n\n%s.\n", c.text.name, c.text.summary);
    if (c.streams)
        std::printf("\nInput lines:  %s\nOutput lines: %s\n\n%s", c.text.input, c.text.output,
                    gwcli::help::kInputHelp);
    std::printf("\nExample:\n");
    printExample(c.text.example);
    std::printf("\n%s", optionsHelp().c_str());
}

void printHelp() {
    std::printf("usage: gridwise COMMAND [OPTIONS]\n\nCommands:\n");
    for (const Command& c : kCommands) std::printf("  %-12s %s\n", c.text.name, c.text.summary);
    std::printf("\n%s\n%s\nExamples:\n", gwcli::help::kInputHelp, optionsHelp().c_str());
    for (const Command& c : kCommands)
        if (c.streams) printExample(c.text.example);
    std::printf("\n'gridwise COMMAND --help' shows one command, 'gridwise --version' the version.\n"
                "Exit status: 0 all lines converted, 1 a line failed, 2 a usage or settings\n"
                "error.\n");
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

// An EPSG code as --crs takes it: "EPSG:N" ("epsg:" in any case) or "N", N a
// whole number from 1 to 2147483647. False when the text is neither.
bool parseCrs(const std::string& text, int& code) {
    std::string digits = text;
    static const char prefix[] = "epsg:";
    if (digits.size() >= 5) {
        bool match = true;
        for (std::size_t i = 0; i < 5; ++i) {
            char c = digits[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a'); // ASCII only, whatever the locale
            match = match && c == prefix[i];
        }
        if (match) digits = digits.substr(5);
    }
    if (digits.empty() || digits[0] < '0' || digits[0] > '9') return false; // no sign, no blank
    return parseInt(digits.c_str(), 1, 2147483647, code);
}

struct Arguments {
    const Command* command = nullptr;
    gwcli::JobOptions job;
    std::string settings, section, units, input, output;
    int crs = 0;            // the EPSG code of --crs; 0 without it
    int transformation = 0; // --transformation; 0 lets the EPSG reader choose
    bool haveTransformation = false;
    int threads = 1;
    bool quiet = false;
    bool lenient = false; // convert a section with errors as the host interface reads it
    bool help = false;
    bool version = false;
};

int printVersion() {
    std::printf("gridwise %s\n", GRIDWISE_VERSION);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

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
        } else if (arg == "--version" && flag) {
            a.version = true;
        } else if (arg == "--text" && flag) {
            a.job.text = true;
        } else if (arg == "--quiet" && flag) {
            a.quiet = true;
        } else if (arg == "--lenient" && flag) {
            a.lenient = true;
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
        } else if (arg == "--crs") {
            std::string v;
            if (!takeValue(v) || v.empty()) return "option --crs needs a value";
            if (!parseCrs(v, a.crs)) return "option --crs takes EPSG:CODE or CODE, not '" + v + "'";
        } else if (arg == "--transformation") {
            std::string v;
            if (!takeValue(v) || v.empty()) return "option --transformation needs a number";
            if (!parseCrs(v, a.transformation))
                return "option --transformation takes EPSG:CODE or CODE, not '" + v + "'";
            a.haveTransformation = true;
        } else if (arg == "-p" || arg == "-j" || arg == "--precision" || arg == "--threads") {
            std::string v;
            if (!takeValue(v)) return "option " + arg + " needs a number";
            const bool precision = arg == "-p" || arg == "--precision";
            if (precision ? !parseInt(v.c_str(), 0, 12, a.job.precision) : !parseInt(v.c_str(), 1, 64, a.threads))
                return "option " + arg + (precision ? " takes a number from 0 to 12" : " takes a number from 1 to 64");
        } else {
            return "unknown option '" + arg + "' for " + a.command->text.name;
        }
    }
    if (a.crs != 0 && (!a.settings.empty() || !a.section.empty()))
        return "--crs takes the place of --settings and --section; give one or the other";
    if (a.haveTransformation && a.crs == 0) return "--transformation needs --crs EPSG:CODE";
    if (a.crs != 0 && (std::strcmp(a.command->text.name, "edit") == 0 || std::strcmp(a.command->text.name, "units") == 0))
        return std::string("--crs is not an option of ") + a.command->text.name;
    const bool check = std::strcmp(a.command->text.name, "check") == 0;
    if (check && a.crs != 0) return "--crs is not an option of check";
    if (check && a.settings.empty() && a.units.empty()) return "check needs --settings FILE or --units FILE";
    if (!a.settings.empty() && a.section.empty() && !check) return "--settings needs --section NAME";
    if (a.settings.empty() && !a.section.empty()) return "--section needs --settings FILE";
    return {};
}

// The geodesy of an EPSG code, as the EPSG reader builds it. False, with the
// reader's reason on standard error, when the code is refused or the tool was
// built without the reader.
bool loadEpsgGeodesy(int code, int transformation, Geodetics& geodesy) {
#ifdef GRIDWISE_HAVE_EPSG
    GwGeodesy* handle = gwGeodesyFromEpsg(code, transformation);
    if (handle == nullptr) {
        std::fprintf(stderr, "gridwise: %s\n", gwLastError());
        return false;
    }
    geodesy = handle->geo;
    // An assignment whose projection cannot be copied changes nothing: the two
    // initialisation strings then differ.
    bool copied = geodesy.projection != nullptr && handle->geo.projection != nullptr;
    if (copied) {
        std::vector<char> mine(GW_INIT_STR_MAX, '\0'), theirs(GW_INIT_STR_MAX, '\0');
        geodesy.projection->getInitStr(mine.data(), mine.size());
        handle->geo.projection->getInitStr(theirs.data(), theirs.size());
        copied = std::strcmp(mine.data(), theirs.data()) == 0;
    }
    gwGeodesyFree(handle);
    if (!copied) std::fprintf(stderr, "gridwise: the geodesy of EPSG:%d could not be copied\n", code);
    return copied;
#else
    (void)transformation;
    (void)geodesy;
    std::fprintf(stderr, "gridwise: EPSG:%d cannot be used: this gridwise was built without the EPSG reader "
                         "(libgridwise-epsg, which needs SQLite 3)\n", code);
    return false;
#endif
}

// The problems the library's settings check finds (gwSettingsProblems), one
// line each, with the file named as the user named it.
struct Problem {
    std::string kind; // "error", "warning" or "note"
    std::string line; // as printed
};

std::vector<Problem> settingsProblems(const std::string& shown, const std::string& path, const char* section,
                                      int flags) {
    std::vector<Problem> out;
    const long length = gwSettingsProblems(path.c_str(), section, flags, nullptr, 0, nullptr);
    if (length < 0) {
        out.push_back({"error", shown + ": error: " + gwLastError()});
        return out;
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    gwSettingsProblems(path.c_str(), section, flags, text.data(), text.size(), nullptr);
    const std::string all(text.data());
    for (std::size_t begin = 0; begin < all.size();) {
        std::size_t end = all.find('\n', begin);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(begin, end - begin);
        begin = end + 1;
        if (line.compare(0, path.size(), path) == 0) line = shown + line.substr(path.size());
        // "FILE[:LINE]: KIND: ..."
        std::string kind = "error";
        for (const char* k : {"error", "warning", "note"})
            if (line.find(std::string(": ") + k + ": ", shown.size()) != std::string::npos) {
                kind = k;
                break;
            }
        out.push_back({kind, line});
    }
    return out;
}

// Before a section is used: its errors refuse it (false, with the errors and
// how to go on, on standard error), its warnings are printed; notes are for
// check only. --lenient prints the errors as warnings and goes on.
bool settingsUsable(const Arguments& a, const std::string& shown, const std::string& path, const char* section,
                    int flags) {
    bool refused = false;
    for (const Problem& p : settingsProblems(shown, path, section, flags)) {
        if (p.kind == "note") continue;
        if (p.kind == "error" && !a.lenient) refused = true;
        std::string line = p.line;
        if (p.kind == "error" && a.lenient) {
            const std::size_t at = line.find(": error: ");
            if (at != std::string::npos) line.replace(at, 9, ": warning: (--lenient) ");
        }
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (refused)
        std::fprintf(stderr,
                     "gridwise: the settings %s cannot be used as written; 'gridwise check' names every problem, "
                     "--lenient reads them as the library's host interface does\n",
                     section != nullptr ? ("section [" + std::string(section) + "]").c_str() : "file");
    return !refused;
}

// gridwise check: every problem of the settings section (or of every section),
// and of the unit settings.
int checkCommand(const Arguments& a) {
    std::vector<Problem> problems;
    auto add = [&](std::vector<Problem> more) { problems.insert(problems.end(), more.begin(), more.end()); };
    if (!a.settings.empty()) {
        const std::string path = settingsPath(a.settings);
        add(settingsProblems(a.settings, path, a.section.empty() ? nullptr : a.section.c_str(), 0));
        // The file's own unit settings go with a section (a whole file has them already).
        if (!a.section.empty() && a.units.empty() && gw::iniHasSection("units", path.c_str()))
            add(settingsProblems(a.settings, path, nullptr, GW_CHECK_UNITS));
    }
    if (!a.units.empty()) add(settingsProblems(a.units, settingsPath(a.units), nullptr, GW_CHECK_UNITS));
    for (const Problem& p : problems) std::printf("%s\n", p.line.c_str());
    if (std::fflush(stdout) != 0) return 2;
    return problems.empty() ? 0 : 1;
}

bool loadGeodesy(const Arguments& a, Geodetics& geodesy) {
    if (a.crs != 0) return loadEpsgGeodesy(a.crs, a.transformation, geodesy);
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
    if (!settingsUsable(a, a.settings, path, a.section.c_str(), 0)) return false;
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
        if (!gw::iniHasSection("units", path.c_str())) {
            std::fprintf(stderr, "gridwise: the unit settings file '%s' has no section [units]\n", a.units.c_str());
            return false;
        }
        if (!settingsUsable(a, a.units, path, nullptr, GW_CHECK_UNITS)) return false;
    } else if (!a.settings.empty()) {
        path = settingsPath(a.settings);
        if (!gw::iniHasSection("units", path.c_str())) return true;
        if (!settingsUsable(a, a.settings, path, nullptr, GW_CHECK_UNITS)) return false;
    } else {
        return true;
    }
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    units.loadData(file.data());
    return true;
}

// The settings section of the geodesy, exactly as the library's settings writer
// writes it: saved into a new file of a temporary folder and printed as it stands
// there ("[section]", then key=value lines). False, with a message, when it could
// not be written.
bool printSettingsSection(Geodetics& geodesy, const std::string& section) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/gridwise-describe-XXXXXX";
    std::vector<char> name(folder.begin(), folder.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        std::fprintf(stderr, "gridwise: cannot make a temporary folder for the settings section: %s\n",
                     std::strerror(errno));
        return false;
    }
    folder = name.data();
    const std::string path = folder + "/settings.ini";
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    std::vector<char> sectionName(section.begin(), section.end());
    sectionName.push_back('\0');
    geodesy.saveData(sectionName.data(), file.data());
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    ::unlink(path.c_str());
    ::unlink((path + ".lock").c_str());  // left only by a writer that was killed
    ::rmdir(folder.c_str());
    if (text.empty()) {
        std::fprintf(stderr, "gridwise: the settings section [%s] could not be written\n", section.c_str());
        return false;
    }
    if (text.back() != '\n') text += '\n';
    std::fwrite(text.data(), 1, text.size(), stdout);
    return true;
}

int describe(Geodetics& geodesy, const std::string& section) {
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
    std::printf("%s\n\n", init.data());
    if (!printSettingsSection(geodesy, section)) return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// A text of the EPSG reader (gwEpsgDescribe, gwEpsgSearch): asked for its length
// first, then written. False, with the reader's reason on standard error, when it
// fails.
#ifdef GRIDWISE_HAVE_EPSG
template <class Write>
bool epsgText(Write write, std::string& text) {
    const std::ptrdiff_t length = write(nullptr, 0);
    if (length >= 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
        if (write(buffer.data(), buffer.size()) == length) {
            text.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
    }
    std::fprintf(stderr, "gridwise: %s\n", gwLastError());
    return false;
}
#endif

int crsUsage() {
    return usageError("crs needs 'search TEXT' or 'show EPSG:CODE [--transformation CODE]'");
}

// gridwise crs search TEXT: the registry's projected systems whose name holds
// TEXT (or whose code it is), one line each: code, name, method, unit and whether
// the tool can use it (yes/no), separated by tabs.
// gridwise crs show EPSG:CODE: what the code maps to, then the settings section
// of the geodesy (named "epsg-CODE"), as describe writes it.
int crsCommand(int argc, char** argv) {
    std::vector<std::string> words;
    int transformation = 0;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printCommandHelp(commandNamed("crs"));
            return 0;
        }
        if (arg == "--transformation" || arg.rfind("--transformation=", 0) == 0) {
            std::string v;
            if (arg.size() > 16) v = arg.substr(17);
            else if (i + 1 < argc) v = argv[++i];
            if (!parseCrs(v, transformation))
                return usageError("option --transformation takes EPSG:CODE or CODE, not '" + v + "'");
        } else if (arg.rfind("--", 0) == 0 && arg.size() > 2) {
            return usageError("unknown option '" + arg + "' for crs");
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() != 2 || (words[0] != "search" && words[0] != "show")) return crsUsage();
    if (words[0] == "search" && transformation != 0) return usageError("--transformation is an option of crs show");
    int code = 0;
    if (words[0] == "show" && !parseCrs(words[1], code))
        return usageError("crs show takes EPSG:CODE or CODE, not '" + words[1] + "'");
#ifdef GRIDWISE_HAVE_EPSG
    std::string text;
    if (words[0] == "search") {
        const std::string& what = words[1];
        if (!epsgText([&](char* dst, std::size_t size) { return gwEpsgSearch(what.c_str(), dst, size); }, text))
            return 2;
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!epsgText([&](char* dst, std::size_t size) { return gwEpsgDescribe(code, transformation, dst, size); },
                  text))
        return 2;
    Geodetics geodesy;
    if (geodesy.projection == nullptr) {
        std::fprintf(stderr, "gridwise: the library could not start\n");
        return 1;
    }
    if (!loadEpsgGeodesy(code, transformation, geodesy)) return 2;
    if (!text.empty() && text.back() != '\n') text += '\n';
    std::printf("%s\n", text.c_str());
    if (!printSettingsSection(geodesy, "epsg-" + std::to_string(code))) return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
#else
    (void)code;
    std::fprintf(stderr, "gridwise: crs cannot be used: this gridwise was built without the EPSG reader "
                         "(libgridwise-epsg, which needs SQLite 3)\n");
    return 2;
#endif
}

#ifdef GRIDWISE_HAVE_EPSG
// The value of a line "key: value" of a text of the EPSG reader; empty without it.
std::string describedValue(const std::string& text, const std::string& key) {
    const std::string start = key + ": ";
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (text.compare(at, start.size(), start) == 0) return text.substr(at + start.size(), end - at - start.size());
        at = end + 1;
    }
    return {};
}
#endif

// gridwise projlist add EPSG:CODE... [--file FILE]: an entry of the projection
// list for each code, all added under one lock or none.
int projlistCommand(int argc, char** argv) {
    std::vector<std::string> words;
    std::string file;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printCommandHelp(commandNamed("projlist"));
            return 0;
        }
        if (arg == "--file" || arg.rfind("--file=", 0) == 0) {
            if (arg.size() > 6) file = arg.substr(7);
            else if (i + 1 < argc) file = argv[++i];
            if (file.empty()) return usageError("option --file needs a file name");
        } else if (arg.rfind("--", 0) == 0 && arg.size() > 2) {
            return usageError("unknown option '" + arg + "' for projlist");
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() < 2 || words[0] != "add") return usageError("projlist needs 'add EPSG:CODE...'");
    std::vector<int> codes;
    for (std::size_t i = 1; i < words.size(); ++i) {
        int code = 0;
        if (!parseCrs(words[i], code)) return usageError("projlist add takes EPSG:CODE or CODE, not '" + words[i] + "'");
        codes.push_back(code);
    }
#ifdef GRIDWISE_HAVE_EPSG
    std::vector<std::string> lines, general, specific;
    for (int code : codes) {
        std::string text;
        if (!epsgText([&](char* dst, std::size_t size) { return gwEpsgDescribe(code, 0, dst, size); }, text))
            return 2;
        Geodetics geodesy;
        if (geodesy.projection == nullptr) {
            std::fprintf(stderr, "gridwise: the library could not start\n");
            return 1;
        }
        if (!loadEpsgGeodesy(code, 0, geodesy)) return 2;
        std::vector<char> init(GW_INIT_STR_MAX, '\0');
        geodesy.projection->getInitStr(init.data(), init.size());
        general.push_back(describedValue(text, "general name"));
        specific.push_back(describedValue(text, "specific name"));
        lines.push_back(gw::dlg::projectionEntryLine(general.back().c_str(), specific.back().c_str(), geodesy.datum,
                                                     init.data()));
    }
    // A bare file name is one of the working folder; without --file the list is
    // the one of the settings folder that the dialogs read.
    const std::string path = file.empty() ? std::string(gw::dlg::kProjectionListFile)
                             : file.find('/') == std::string::npos ? "./" + file
                                                                   : file;
    std::vector<gw::dlg::AppendedEntry> entries;
    switch (gw::dlg::appendProjectionEntries(lines, path.c_str(), entries)) {
    case gw::dlg::AppendStatus::full:
        std::fprintf(stderr, "gridwise: the projection list '%s' would hold more than %d entries, the most the "
                             "dialogs show; nothing added\n", path.c_str(), gw::dlg::kMaxProjEntries);
        return 1;
    case gw::dlg::AppendStatus::failed:
        std::fprintf(stderr, "gridwise: cannot write the projection list '%s'; nothing added\n", path.c_str());
        return 1;
    case gw::dlg::AppendStatus::written: break;
    }
    for (std::size_t i = 0; i < codes.size(); ++i)
        std::printf("Proj%d\tEPSG:%d\t%s\t%s\t%s\n", entries[i].number, codes[i], general[i].c_str(),
                    specific[i].c_str(), entries[i].added ? "added" : "listed before");
    return std::fflush(stdout) == 0 ? 0 : 1;
#else
    (void)codes;
    (void)file;
    std::fprintf(stderr, "gridwise: projlist cannot be used: this gridwise was built without the EPSG reader "
                         "(libgridwise-epsg, which needs SQLite 3)\n");
    return 2;
#endif
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

// After a save (gwLastError cleared before it): false, with the reason on stderr,
// when it did not reach the disk.
bool reportSave() {
    if (gwLastErrorCode() != GW_ERROR_FILE_UNWRITABLE) return true;
    std::fprintf(stderr, "gridwise: %s\n", gwLastError());
    return false;
}

int editSettings(const Arguments& a) {
    if (a.settings.empty()) return usageError("edit needs --settings FILE --section NAME");
    std::string path = settingsPath(a.settings);
    // A section that is there must read as written: the dialog would show, and OK
    // save, the stand-ins of what does not. A new section starts from the defaults.
    if (gw::iniHasSection(a.section.c_str(), path.c_str()) &&
        !settingsUsable(a, a.settings, path, a.section.c_str(), 0))
        return 2;
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
    bool saved = true;
    if (accepted == 1) {
        gwSetLastError(GW_ERROR_NONE, "");
        saveGeoData(section.data(), file.data());
        saved = reportSave();
    }
    deAllocGeodetics();
    if (!saved) return 1;
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
    gwSetLastError(GW_ERROR_NONE, "");
    const int accepted = dataUnitsDialog(nullptr);
    const bool saved = accepted != 1 || reportSave();
    deAllocUnits(nullptr);
    if (!saved) return 1;
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
    if (name == "--version") return printVersion();
    if (name == "crs") return crsCommand(argc, argv);
    if (name == "projlist") return projlistCommand(argc, argv);
    Arguments a;
    for (const Command& c : kCommands)
        if (name == c.text.name) a.command = &c;
    if (a.command == nullptr) return usageError("unknown command '" + name + "'");
    const std::string problem = readOptions(argc, argv, a);
    if (a.help) {
        printCommandHelp(*a.command);
        return 0;
    }
    if (a.version) return printVersion();
    if (!problem.empty()) return usageError(problem);
    a.job.job = a.command->job;

    const std::string command = a.command->text.name;
    if (command == "check") return checkCommand(a);
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
    // Without a section of its own, the settings are shown under "geodesy", or
    // "epsg-CODE" for a coordinate system given by its code.
    if (command == "describe")
        return describe(geodesy, !a.section.empty() ? a.section
                                 : a.crs != 0     ? "epsg-" + std::to_string(a.crs)
                                                  : std::string("geodesy"));
    return convert(a, geodesy, units);
}
