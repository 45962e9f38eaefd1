// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The text of a settings file: its lines, its sections and keys, and edits of it.
//
// Pure functions of bytes in memory; nothing here touches a file. Section and key
// names compare without regard to ASCII case, and whitespace around names and values
// is the C locale's. A line ends at LF; a CR before the LF is not part of the line.
// Lines without '=', '[' lines without ']', ';' comments, NUL bytes and binary
// garbage never stop a scan. A UTF-8 byte-order mark at the start of the text
// reads as nothing. A section that appears more than once reads as one
// section: the first occurrence of a key wins, and an edit changes that occurrence
// or appends a new key to the first occurrence of the section.
//
// Threads: the functions are reentrant. A ParsedFile is not safe to share between
// threads without a lock, since sectionKeys indexes a section on its first use.
#ifndef GRIDWISE_PLATFORM_INITEXT_H
#define GRIDWISE_PLATFORM_INITEXT_H

#include "platform/IniFile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace gw::ini {

// The length of the UTF-8 byte-order mark at the start of text (3), or 0. A mark
// there reads as nothing: the first line is read as if it were not there.
std::size_t byteOrderMark(std::string_view text);

// A copy of s with ASCII letters in lower case.
std::string lowerCopy(std::string_view s);

// Whether a and b are equal without regard to ASCII case.
bool equalNoCase(std::string_view a, std::string_view b);

// s without the C locale's whitespace at either end.
std::string_view trim(std::string_view s);

// One line of a settings file, as offsets into the file's bytes.
struct Line {
    enum Kind { Other, Section, Key };
    Kind kind = Other;
    std::size_t begin = 0;    // first byte of the line
    std::size_t end = 0;      // end of the content (before "\r\n" or "\n")
    std::size_t next = 0;     // first byte of the next line
    std::size_t nameBegin = 0, nameEnd = 0;   // section name or key, trimmed
    std::size_t valueBegin = 0, valueEnd = 0; // value, trimmed (Key lines)
    std::size_t equals = 0;                   // position of '=' (Key lines)
};

// Classifies the line that starts at `pos` (at most text.size()). Blank lines, ';'
// comments, '[' lines without ']' and lines without '=' are Other.
Line scanLine(std::string_view text, std::size_t pos);

// A parsed settings file. Sections are located by parse(); the keys of a section are
// indexed the first time the section is asked for.
struct ParsedFile {
    std::string text;
    // lower-case section name -> body ranges (one per occurrence of the section)
    std::unordered_map<std::string, std::vector<std::pair<std::size_t, std::size_t>>> sections;
    // lower-case section name -> (lower-case key -> value range); first occurrence wins
    std::unordered_map<std::string, std::unordered_map<std::string, std::pair<std::size_t, std::size_t>>> keys;

    // Locates the sections of text and drops the key indexes of an earlier text.
    void parse();

    // The key index of a section (lower-case name), built on first use; null when the
    // file has no such section.
    const std::unordered_map<std::string, std::pair<std::size_t, std::size_t>>* sectionKeys(const std::string& lowerSection);
};

// The value of key in section of a parsed file (cut at a NUL byte); false when the
// section or key is missing. Names are trimmed and compared without regard to case.
bool lookupIn(ParsedFile& file, const char* section, const char* key, std::string& value);

// The file's text with key=value set in section: the value replaced in place, or the
// key appended at the end of the section's first occurrence, or the section appended
// after a blank line. New lines take the line ending of the text's first line (LF for
// an empty text); every other byte is kept.
std::string editText(const std::string& old, std::string_view section, std::string_view key, std::string_view value);

// The edit as it is written: section and key trimmed, the value cut at its first line
// break (a value never spills into further lines). False for names that cannot be
// written: null names, an empty key, a key holding '=' or a line break or NUL or
// starting with '[' or ';', a section holding ']' or a line break or NUL.
bool normalizeEdit(const char* section, const char* key, const char* value, IniEdit& out);

} // namespace gw::ini

#endif
