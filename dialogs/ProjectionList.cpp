// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/ProjectionList.h"

#include <climits>
#include <cstring>

#include "geodesy/Datum.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "units/SettingsText.h"

namespace gw::dlg {

namespace {

// A name as it goes into an entry line: a comma would split the field.
std::string withoutCommas(const char* text) {
    std::string out = text != nullptr ? text : "";
    for (char& c : out)
        if (c == ',') c = ' ';
    return out;
}

std::string entryKey(const char* prefix, int index) { return cFormatString("%s%d", prefix, index); }

} // namespace

const char* initStringOf(const ProjDataStruct& entry) {
    const char* p = entry.params.c_str();
    for (int i = 0; i < 11; ++i) {
        p = std::strchr(p, ',');
        if (p == nullptr) return nullptr;
        ++p;
    }
    return p;
}

ProjDataStruct parseProjectionEntry(const std::string& line) {
    ProjDataStruct entry;
    const std::size_t first = line.find(',');
    if (first == std::string::npos) return entry;
    copyName(entry.general, line.substr(0, first).c_str(), sizeof entry.general);
    const std::size_t second = line.find(',', first + 1);
    const std::size_t specificEnd = second == std::string::npos ? line.size() : second;
    copyName(entry.specific, line.substr(first + 1, specificEnd - first - 1).c_str(), sizeof entry.specific);
    if (second != std::string::npos) entry.params = line.substr(second + 1);
    return entry;
}

std::vector<std::unique_ptr<ProjDataStruct>> readProjectionList() {
    std::vector<std::unique_ptr<ProjDataStruct>> entries;
    int count = iniGetInt(kProjectionSection, "NumberProjections", 0, kProjectionListFile);
    if (count > kMaxProjEntries) count = kMaxProjEntries;
    for (int i = 1; i <= count; ++i) {
        const std::string line = iniGetString(kProjectionSection, entryKey("Proj", i).c_str(), "", kProjectionListFile);
        entries.push_back(std::make_unique<ProjDataStruct>(parseProjectionEntry(line)));
    }
    return entries;
}

// The datum part of an entry: numbers in their forms ("%2.2f", "%f"), or with the
// decimals they need to read back (the datum reads fields of 29 characters).
std::string datumEntryText(const Datum& d) {
    constexpr std::size_t kField = 29;
    auto number = [](const char* fmt, double v) { return numberText(fmt, v, NumberReader::plain, kField); };
    auto rotation = [](double v) { return angleNumberText("%f", v, kField); };
    return cFormatString("%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s", withoutCommas(d.ellipseName).c_str(),
                         number("%2.2f", d.aAxis).c_str(), number("%f", d.inverseFlattening).c_str(),
                         withoutCommas(d.datumName).c_str(), number("%f", d.deltaX).c_str(),
                         number("%f", d.deltaY).c_str(), number("%f", d.deltaZ).c_str(),
                         number("%f", d.scalar).c_str(), rotation(d.rotX).c_str(), rotation(d.rotY).c_str(),
                         rotation(d.rotZ).c_str());
}

std::string projectionEntryLine(const char* general, const char* specific, const Datum& datum,
                                const char* initString) {
    return cFormatString("%s,%s,%s,%s", withoutCommas(general).c_str(), withoutCommas(specific).c_str(),
                         datumEntryText(datum).c_str(), initString != nullptr ? initString : "");
}

bool appendProjectionEntry(const std::string& line) {
    // The count is read and the line and the new count written under the settings
    // file's write lock, as one replacement of the file.
    return iniUpdate(kProjectionListFile, [&](const IniReader& current, std::vector<IniEdit>& edits) {
        int count = current.getInt(kProjectionSection, "NumberProjections", 0);
        if (count < 0) count = 0;
        if (count == INT_MAX) return false;
        edits.push_back({kProjectionSection, entryKey("proj", count + 1), line});
        edits.push_back({kProjectionSection, "NumberProjections", cFormatString("%d", count + 1)});
        return true;
    });
}

AppendStatus appendProjectionEntries(const std::vector<std::string>& lines, const char* file,
                                     std::vector<AppendedEntry>& entries) {
    bool full = false;
    const bool written = iniUpdate(file, [&](const IniReader& current, std::vector<IniEdit>& edits) {
        int count = current.getInt(kProjectionSection, "NumberProjections", 0);
        if (count < 0) count = 0;
        std::vector<std::string> listed;
        for (int i = 1; i <= count && i <= kMaxProjEntries; ++i)
            listed.push_back(current.getString(kProjectionSection, entryKey("Proj", i).c_str(), ""));
        entries.assign(lines.size(), AppendedEntry{});
        for (std::size_t k = 0; k < lines.size(); ++k) {
            for (std::size_t i = 0; i < listed.size() && entries[k].number == 0; ++i)
                if (listed[i] == lines[k]) entries[k].number = static_cast<int>(i) + 1;
            if (entries[k].number != 0) continue;
            if (count >= kMaxProjEntries) {
                full = true;
                return false;
            }
            ++count;
            edits.push_back({kProjectionSection, entryKey("proj", count), lines[k]});
            listed.push_back(lines[k]);
            entries[k] = AppendedEntry{count, true};
        }
        if (!edits.empty()) edits.push_back({kProjectionSection, "NumberProjections", cFormatString("%d", count)});
        return true;
    });
    if (full) return AppendStatus::full;
    return written ? AppendStatus::written : AppendStatus::failed;
}

} // namespace gw::dlg
