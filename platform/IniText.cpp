// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/IniText.h"

#include "platform/CLocale.h"

#include <algorithm>
#include <cstring>

namespace gw::ini {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool hasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

} // namespace

std::size_t byteOrderMark(std::string_view text) {
    return text.substr(0, 3) == std::string_view("\xEF\xBB\xBF", 3) ? 3 : 0;
}

std::string lowerCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string_view trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && cIsSpace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && cIsSpace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

Line scanLine(std::string_view text, std::size_t pos) {
    Line line;
    line.begin = pos;
    const void* nl = std::memchr(text.data() + pos, '\n', text.size() - pos);
    std::size_t e = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - text.data()) : text.size();
    line.next = nl ? e + 1 : e;
    if (nl && e > pos && text[e - 1] == '\r') --e;
    line.end = e;

    std::size_t b = pos == 0 ? std::min(byteOrderMark(text), e) : pos;
    while (b < e && cIsSpace(static_cast<unsigned char>(text[b]))) ++b;
    if (b == e || text[b] == ';') return line;
    auto trimmedRange = [&](std::size_t from, std::size_t to, std::size_t& outB, std::size_t& outE) {
        while (from < to && cIsSpace(static_cast<unsigned char>(text[from]))) ++from;
        while (to > from && cIsSpace(static_cast<unsigned char>(text[to - 1]))) --to;
        outB = from;
        outE = to;
    };
    if (text[b] == '[') {
        const void* close = std::memchr(text.data() + b + 1, ']', e - b - 1);
        if (close == nullptr) return line;
        std::size_t c = static_cast<std::size_t>(static_cast<const char*>(close) - text.data());
        line.kind = Line::Section;
        trimmedRange(b + 1, c, line.nameBegin, line.nameEnd);
        return line;
    }
    const void* eq = std::memchr(text.data() + b, '=', e - b);
    if (eq == nullptr) return line;
    line.equals = static_cast<std::size_t>(static_cast<const char*>(eq) - text.data());
    line.kind = Line::Key;
    trimmedRange(b, line.equals, line.nameBegin, line.nameEnd);
    trimmedRange(line.equals + 1, e, line.valueBegin, line.valueEnd);
    return line;
}

void ParsedFile::parse() {
    sections.clear();
    keys.clear();
    std::string_view t(text);
    std::vector<std::pair<std::size_t, std::size_t>>* open = nullptr;
    for (std::size_t pos = 0; pos < t.size();) {
        // Only lines that start with '[' after blanks can open a section; a
        // byte-order mark in front of the first line reads as nothing.
        std::size_t b = pos == 0 ? byteOrderMark(t) : pos;
        while (b < t.size() && t[b] != '\n' && cIsSpace(static_cast<unsigned char>(t[b]))) ++b;
        if (b < t.size() && t[b] == '[') {
            Line line = scanLine(t, pos);
            if (line.kind == Line::Section) {
                if (open != nullptr) open->back().second = pos;
                open = &sections[lowerCopy(t.substr(line.nameBegin, line.nameEnd - line.nameBegin))];
                open->emplace_back(line.next, t.size());
            }
            pos = line.next;
            continue;
        }
        const void* nl = std::memchr(t.data() + pos, '\n', t.size() - pos);
        pos = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - t.data()) + 1 : t.size();
    }
}

const std::unordered_map<std::string, std::pair<std::size_t, std::size_t>>* ParsedFile::sectionKeys(const std::string& lowerSection) {
    auto found = keys.find(lowerSection);
    if (found != keys.end()) return &found->second;
    auto sec = sections.find(lowerSection);
    if (sec == sections.end()) return nullptr;
    auto& index = keys[lowerSection];
    std::string_view t(text);
    for (const auto& range : sec->second) {
        for (std::size_t pos = range.first; pos < range.second;) {
            Line line = scanLine(t, pos);
            if (line.kind == Line::Key && line.nameEnd > line.nameBegin)
                index.emplace(lowerCopy(t.substr(line.nameBegin, line.nameEnd - line.nameBegin)),
                              std::make_pair(line.valueBegin, line.valueEnd));
            pos = line.next;
        }
    }
    return &index;
}

bool lookupIn(ParsedFile& file, const char* section, const char* key, std::string& value) {
    const auto* index = file.sectionKeys(lowerCopy(trim(section)));
    if (index == nullptr) return false;
    auto found = index->find(lowerCopy(trim(key)));
    if (found == index->end()) return false;
    std::string_view v(file.text.data() + found->second.first, found->second.second - found->second.first);
    std::size_t nul = v.find('\0');
    if (nul != std::string_view::npos) v = v.substr(0, nul);
    value.assign(v);
    return true;
}

std::string editText(const std::string& old, std::string_view section, std::string_view key, std::string_view value) {
    std::string_view t(old);
    std::size_t crlf = t.find('\n');
    const char* eol = (crlf != std::string_view::npos && crlf > 0 && t[crlf - 1] == '\r') ? "\r\n" : "\n";

    bool inTarget = false, firstOccurrence = false, sectionFound = false;
    bool insertHasEol = true;
    std::size_t insertAt = 0;
    for (std::size_t pos = 0; pos < t.size();) {
        Line line = scanLine(t, pos);
        if (line.kind == Line::Section) {
            bool match = equalNoCase(t.substr(line.nameBegin, line.nameEnd - line.nameBegin), section);
            firstOccurrence = match && !sectionFound;
            inTarget = match;
            if (firstOccurrence) {
                sectionFound = true;
                insertAt = line.next;
                insertHasEol = line.next > line.end;
            }
        } else if (line.kind == Line::Key && inTarget) {
            if (equalNoCase(t.substr(line.nameBegin, line.nameEnd - line.nameBegin), key)) {
                std::size_t vb = line.valueBegin, ve = line.valueEnd;
                if (vb == ve) {
                    vb = line.equals + 1;
                    ve = line.end;
                }
                std::string out;
                out.reserve(old.size() + value.size());
                out.append(t.substr(0, vb)).append(value).append(t.substr(ve));
                return out;
            }
            if (firstOccurrence) {
                insertAt = line.next;
                insertHasEol = line.next > line.end;
            }
        }
        pos = line.next;
    }

    std::string entry;
    entry.append(key).append("=").append(value);
    std::string out;
    out.reserve(old.size() + entry.size() + section.size() + 8);
    if (sectionFound) {
        out.append(t.substr(0, insertAt));
        if (insertHasEol)
            out.append(entry).append(eol);
        else
            out.append(eol).append(entry);
        out.append(t.substr(insertAt));
        return out;
    }
    out = old;
    if (!out.empty()) {
        if (out.back() != '\n') out.append(eol);
        // A blank line separates the new section, unless the file already ends with one.
        std::string_view body(out.data(), out.size() - 1);
        std::size_t prev = body.rfind('\n');
        if (!trim(body.substr(prev == std::string_view::npos ? 0 : prev + 1)).empty()) out.append(eol);
    }
    out.append("[").append(section).append("]").append(eol).append(entry).append(eol);
    return out;
}

bool normalizeEdit(const char* section, const char* key, const char* value, IniEdit& out) {
    if (section == nullptr || key == nullptr) return false;
    std::string_view sec = trim(section), k = trim(key);
    std::string_view val = value != nullptr ? std::string_view(value) : std::string_view();
    std::size_t cut = val.find_first_of("\r\n");
    if (cut != std::string_view::npos) val = val.substr(0, cut);
    if (k.empty() || k.find('=') != std::string_view::npos || k.front() == '[' || k.front() == ';' ||
        hasLineBreakOrNul(k) || sec.find(']') != std::string_view::npos || hasLineBreakOrNul(sec))
        return false;
    out.section.assign(sec);
    out.key.assign(k);
    out.value.assign(val);
    return true;
}

} // namespace gw::ini
