// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Writes the gridwise tool's manual page (gridwise.1) from the help texts of
// cli/HelpText.h, which `gridwise --help` shows too:
//
//   gridwise-manpage FILE
//
// The build runs it; the version comes from the build (GRIDWISE_VERSION).
#include <cstdio>
#include <string>

#include "cli/HelpText.h"

namespace {

using namespace gwcli::help;

// Plain text as roff shows it: a minus sign, not a hyphen, and a backslash as
// itself.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '-') out += "\\-";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

// An example's command line (its continued lines joined) and what it writes.
void splitExample(const std::string& example, std::string& command, std::string& writes) {
    std::size_t begin = 0;
    bool inCommand = true;
    while (begin <= example.size()) {
        std::size_t end = example.find('\n', begin);
        if (end == std::string::npos) end = example.size();
        std::string line = example.substr(begin, end - begin);
        if (inCommand) {
            inCommand = !line.empty() && line.back() == '\\';
            if (inCommand) line.pop_back();
            command += line;
        } else {
            writes += (writes.empty() ? "" : " ") + line;
        }
        begin = end + 1;
    }
}

std::string manual() {
    std::string m = ".TH GRIDWISE 1 \"" + std::string(kManualDate) + "\" \"gridwise " GRIDWISE_VERSION
                    "\" \"User Commands\"\n";
    m += kManualHead;
    m += ".SH COMMANDS\n";
    for (const CommandText& c : kCommandTexts) {
        std::string command, writes;
        splitExample(c.example, command, writes);
        m += ".TP\n.B " + std::string(c.name) + "\n" + c.manual + "\n.br\nExample: \\fB" + roff(command) + "\\fR";
        if (!writes.empty()) m += " writes\n\\fB" + roff(writes) + "\\fR";
        m += ".\n";
    }
    m += kManualInputOutput;
    m += ".SH OPTIONS\n";
    for (const OptionText& o : kOptionTexts) m += ".TP\n" + std::string(o.manual) + "\n";
    m += kManualTail;
    return m;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gridwise-manpage FILE\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const std::string text = manual();
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
