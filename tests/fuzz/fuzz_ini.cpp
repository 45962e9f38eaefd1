// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The settings reader over any file content: the first section and key of the
// file, and a few fixed names, read without a fault, into buffers of exactly the
// capacity given; iniHasSection finds the section that holds a key it reads. One
// input in four also writes a key and checks that it reads back as written and
// that the other key read before reads as before.
#include <cctype>
#include <strings.h>

#include "FuzzSupport.h"
#include "platform/IniFile.h"

namespace {

// The name inside the first "[name]" and the key of the first "key=" line, when
// they are plain names (letters, digits, '_', '-', blanks inside).
void firstNames(const std::string& content, std::string& section, std::string& key) {
    auto plain = [](const std::string& s) {
        if (s.empty() || s.size() > 40 || s.front() == ' ' || s.back() == ' ') return false;
        for (unsigned char c : s)
            if (!(std::isalnum(c) || c == '_' || c == '-' || c == ' ')) return false;
        return true;
    };
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find('\n', at);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']' && section.empty()) {
            std::string s = line.substr(1, line.size() - 2);
            if (plain(s)) section = s;
        } else if (!section.empty() && key.empty()) {
            const std::size_t eq = line.find('=');
            if (eq != std::string::npos && plain(line.substr(0, eq))) key = line.substr(0, eq);
        }
        at = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t control = data[0];
    const std::string content(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string path = fz::writeFile("fuzz.ini", content);
    const char* file = path.c_str();

    std::string section, key;
    firstNames(content, section, key);
    const char* sections[] = {section.c_str(), "units", "geodesy", "PROJECTIONS"};
    const char* keys[] = {key.c_str(), "distUnits", "GeodesyType", "NumberProjections", "Proj1"};
    const std::size_t cap = control % 48;
    std::unique_ptr<char[]> out(new char[cap ? cap : 1]);
    for (const char* s : sections) {
        gw::iniHasSection(s, file);
        for (const char* k : keys) {
            const std::string whole = gw::iniGetString(s, k, "dflt", file);
            const std::size_t n = gw::iniGetString(s, k, "dflt", out.get(), cap, file);
            if (cap) {
                fz::check(n < cap && std::strlen(out.get()) == n && whole.compare(0, n, out.get()) == 0,
                          "bounded read differs");
            }
            gw::iniGetInt(s, k, -7, file);
        }
    }
    gw::iniFileReadable(file);
    const std::string value = gw::iniGetString(section.c_str(), key.c_str(), "\x01missing", file);
    if (!section.empty() && !key.empty() && value != "\x01missing")
        fz::check(gw::iniHasSection(section.c_str(), file), "section of a key not found", section);

    if (control % 4 == 0 && !section.empty()) {
        // A printable value without surrounding blanks, taken from the content.
        std::string v;
        for (unsigned char c : content)
            if (c >= 0x21 && c < 0x7f && v.size() < 30) v += static_cast<char>(c);
        const std::string before = gw::iniGetString(section.c_str(), key.c_str(), "\x01missing", file);
        if (gw::iniWriteString(section.c_str(), "fuzzWrittenKey", v.c_str(), file)) {
            const std::string back = gw::iniGetString(section.c_str(), "fuzzWrittenKey", "\x01missing", file);
            if (back != v) fz::fail("written value reads back as", fz::hex(v) + " -> " + fz::hex(back));
            if (!key.empty() && strcasecmp(key.c_str(), "fuzzWrittenKey") != 0) {
                const std::string after = gw::iniGetString(section.c_str(), key.c_str(), "\x01missing", file);
                if (after != before) fz::fail("write changed another key", fz::hex(before) + " -> " + fz::hex(after));
            }
        }
    }
    return 0;
}
