// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "facade/SettingsCheck.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <sys/stat.h>

#include "geodesy/Datum.h"
#include "gridwise/batch.h"
#include "platform/CLocale.h"
#include "platform/IniCache.h"
#include "platform/IniFile.h"
#include "platform/IniText.h"
#include "projections/LocalSystemSupport.h"
#include "projections/PolarStereoRules.h"
#include "projections/ProjectionTypes.h"
#include "units/CurrentUnits.h"
#include "units/FieldRules.h"
#include "units/GridUnit.h"

namespace gw {

namespace {

using Kind = SettingsProblem::Kind;

// One key line of a section, as the file holds it.
struct KeyLine {
    int line = 0;
    std::string key;   // as spelt
    std::string value; // trimmed, cut at a NUL byte as the readers cut it
};

// One occurrence of a section: its line and its key lines in file order.
struct SectionText {
    int line = 0;
    std::string name; // as spelt
    std::vector<KeyLine> keys;
};

struct FileText {
    bool byteOrderMark = false;
    std::vector<SectionText> sections; // in file order
};

// The file's lines, split as the settings reader splits them.
FileText scanFile(const std::string& text) {
    FileText out;
    out.byteOrderMark = ini::byteOrderMark(text) != 0;
    const std::string_view t(text);
    int line = 1;
    for (std::size_t pos = 0; pos < t.size(); ++line) {
        const ini::Line l = ini::scanLine(t, pos);
        if (l.kind == ini::Line::Section) {
            out.sections.push_back({line, std::string(t.substr(l.nameBegin, l.nameEnd - l.nameBegin)), {}});
        } else if (l.kind == ini::Line::Key && !out.sections.empty() && l.nameEnd > l.nameBegin) {
            std::string value(t.substr(l.valueBegin, l.valueEnd - l.valueBegin));
            const std::size_t nul = value.find('\0');
            if (nul != std::string::npos) value.resize(nul);
            out.sections.back().keys.push_back({line, std::string(t.substr(l.nameBegin, l.nameEnd - l.nameBegin)), value});
        }
        pos = l.next;
    }
    return out;
}

std::string lower(std::string_view s) { return ini::lowerCopy(s); }

// Edit distance without regard to ASCII case.
std::size_t distance(std::string_view a, std::string_view b) {
    const std::string x = lower(a), y = lower(b);
    std::vector<std::size_t> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

// The known key closest to key, when it is close enough to be a misspelling.
std::optional<std::string> nearest(std::string_view key, const std::vector<const char*>& known) {
    std::size_t best = std::string::npos;
    const char* found = nullptr;
    for (const char* k : known) {
        const std::size_t d = distance(key, k);
        if (d < best) best = d, found = k;
    }
    const std::size_t limit = std::max<std::size_t>(2, std::min(key.size(), std::strlen(found ? found : "")) / 3);
    if (found == nullptr || best > limit) return std::nullopt;
    return std::string(found);
}

// How a type is named in a problem text.
const char* typeName(int code) {
    switch (static_cast<ProjectionType>(code)) {
    case ProjectionType::transverseMercator: return "a Transverse Mercator";
    case ProjectionType::lambert: return "a Lambert conformal conic projection";
    case ProjectionType::kestrelLocal: return "an affine local system";
    case ProjectionType::polarStereo: return "a polar stereographic projection";
    case ProjectionType::local: return "a local tangent system";
    case ProjectionType::stationOffset: return "a station/offset system";
    case ProjectionType::rd: return "the RD projection";
    }
    return "this projection";
}

// "0 Transverse Mercator, 1 Lambert conformal conic projection, ...".
std::string typeCodes() {
    std::string list;
    for (const ProjectionTypeInfo& t : projectionTypes()) {
        std::string_view name = typeName(code(t.type));
        name.remove_prefix(name.find(' ') + 1); // without the article
        if (!list.empty()) list += ", ";
        list += std::to_string(code(t.type)) + " " + std::string(name);
    }
    return list;
}

// A whole-text integer: blanks, an optional sign and digits, within an int.
std::optional<int> wholeInteger(const std::string& text) {
    const std::string_view t = ini::trim(text);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i == t.size()) return std::nullopt;
    for (std::size_t j = i; j < t.size(); ++j)
        if (!cIsDigit(static_cast<unsigned char>(t[j]))) return std::nullopt;
    const std::string copy(t);
    const double v = cStrtod(copy.c_str(), nullptr);
    if (v < -2147483648.0 || v > 2147483647.0) return std::nullopt;
    return static_cast<int>(v);
}


// A key a section may hold: the key, its form and default, and which types use it.
struct KnownKey {
    SettingKey setting;
    std::vector<int> types; // type codes whose section reads it (empty: every type)
};

// Every key a geodesy section may hold: "GeodesyType", each projection type's
// keys, the datum's keys.
const std::vector<KnownKey>& geodesyKeys() {
    static const std::vector<KnownKey> keys = [] {
        std::vector<KnownKey> out;
        out.push_back({SettingKey{"GeodesyType", Form::integer, "0"}, {}});
        for (const ProjectionTypeInfo& t : projectionTypes())
            for (const SettingKey& k : t.settingKeys()) {
                if (k.key == nullptr) continue;
                out.push_back({k, {code(t.type)}});
            }
        for (const SettingKey& k : datumSettingKeys()) out.push_back({k, {}});
        return out;
    }();
    return keys;
}

std::vector<const char*> keyNames(const std::vector<KnownKey>& keys) {
    std::vector<const char*> names;
    for (const KnownKey& k : keys)
        if (std::find_if(names.begin(), names.end(), [&](const char* n) { return ini::equalNoCase(n, k.setting.key); }) ==
            names.end())
            names.push_back(k.setting.key);
    return names;
}

// The keys a section of type `type` reads, in their reading order: the type's
// own, its base's for a local system (the base's type from the section), then
// the datum's.
struct UsedKey {
    SettingKey setting;
    int type; // the type whose reader reads it
};

// The section as the reader sees it: the first occurrence of each key (keys of a
// section that comes again are read after those of its first occurrence).
struct Section {
    std::vector<SectionText> occurrences;
    std::map<std::string, const KeyLine*> first; // lower-case key -> first line

    const KeyLine* find(std::string_view key) const {
        auto it = first.find(lower(key));
        return it == first.end() ? nullptr : it->second;
    }
};

class Checker {
public:
    Checker(std::vector<SettingsProblem>& out) : out_(out) {}

    void add(Kind kind, int line, const std::string& section, const std::string& key, std::string text,
             int code = GW_ERROR_NONE) {
        out_.push_back({kind, line, section, key, std::move(text), kind == Kind::error ? code : GW_ERROR_NONE});
    }

    // Repeated keys, and what each key line says.
    void indexKeys(Section& s) {
        for (const SectionText& occurrence : s.occurrences)
            for (const KeyLine& k : occurrence.keys) {
                const std::string lk = lower(k.key);
                auto [it, inserted] = s.first.emplace(lk, &k);
                if (!inserted)
                    add(Kind::warning, k.line, occurrence.name, k.key,
                        k.key + " comes again: the first one, on line " + std::to_string(it->second->line) +
                            " (" + it->second->key + "=" + it->second->value + "), is read and this one is not");
            }
    }

    // Reads one key line in its form; the value read, or nothing after naming the
    // problem.
    std::optional<double> readValue(const std::string& section, const KeyLine& k, const SettingKey& form, int type) {
        const std::string shown = k.key + "=" + k.value;
        auto refuse = [&](const std::string& problem, int code) {
            add(Kind::error, k.line, section, k.key, shown + ": " + problem, code);
            return std::nullopt;
        };
        switch (form.form) {
        case Form::none:
        case Form::grid: return 0.0;
        case Form::name: {
            std::string name;
            const FieldReading r = readNameField(k.value, form.width, name);
            if (!r.ok && !k.value.empty()) add(Kind::warning, k.line, section, k.key, shown + ": the name " + r.problem);
            return 0.0;
        }
        case Form::latitude: {
            const FieldReading r = readLatitudeField(k.value);
            if (!r.ok) return refuse(r.problem, problemCode(k.value, r));
            return r.value;
        }
        case Form::longitude: {
            const FieldReading r = readLongitudeField(k.value);
            if (!r.ok) return refuse(r.problem, problemCode(k.value, r));
            return r.value;
        }
        case Form::number:
        case Form::scale: {
            const NumberRange rule = numberRange(type, k.key);
            FieldReading r = readNumberField(k.value, rule.lo, rule.hi);
            if (!r.ok) {
                // The forms' words are for a typed text; a file's value is written.
                const std::size_t typed = r.problem.rfind(" was typed)");
                if (typed != std::string::npos) r.problem.replace(typed, 11, " is written)");
                return refuse(r.problem, problemCode(k.value, r));
            }
            return r.value;
        }
        case Form::integer:
        case Form::base: {
            const std::optional<int> v = wholeInteger(k.value);
            if (!v) return refuse("is not a whole number", GW_ERROR_TEXT_UNREADABLE);
            // A projection's grid unit is one of the units of the table.
            if (ini::equalNoCase(k.key, "units") && type >= 0 && !(*v >= 0 && *v < kFilledUnits))
                return refuse("names no unit (" + unitCodes() + ")", GW_ERROR_BAD_ARGUMENT);
            return static_cast<double>(*v);
        }
        }
        return 0.0;
    }

    void checkGeodesy(const std::string& sectionName, const Section& s) {
        const std::vector<KnownKey>& known = geodesyKeys();
        // The type code first: it says which keys the section reads.
        int type = code(ProjectionType::transverseMercator);
        if (const KeyLine* k = s.find("GeodesyType")) {
            if (std::optional<double> v = readValue(sectionName, *k, known[0].setting, type)) {
                const int c = static_cast<int>(*v);
                if (projectionType(c) == nullptr)
                    add(Kind::error, k->line, sectionName, k->key,
                        k->key + "=" + k->value + ": names no projection (" + typeCodes() + ")", GW_ERROR_UNSUPPORTED);
                else
                    type = c;
            }
        }
        std::vector<UsedKey> used;
        for (const SettingKey& k : projectionType(type)->settingKeys())
            if (k.key != nullptr) used.push_back({k, type});
        // A local system's base: its type from "localGeodesyType", its keys too.
        int baseType = -1;
        for (const UsedKey& u : std::vector<UsedKey>(used)) {
            if (u.setting.form != Form::base) continue;
            baseType = code(ProjectionType::transverseMercator);
            if (const KeyLine* k = s.find(u.setting.key)) {
                if (std::optional<double> v = readValue(sectionName, *k, u.setting, type)) {
                    const int c = static_cast<int>(*v);
                    if (projectionType(c) == nullptr || acceptedBaseType(c) != c)
                        add(Kind::error, k->line, sectionName, k->key,
                            k->key + "=" + k->value + ": names no projection that can be the base of " + typeName(type) +
                                " (" + baseCodes() + ")",
                            GW_ERROR_UNSUPPORTED);
                    else
                        baseType = c;
                }
            }
            for (const SettingKey& b : projectionType(baseType)->settingKeys())
                if (b.key != nullptr) used.push_back({b, baseType});
        }
        for (const SettingKey& k : datumSettingKeys()) used.push_back({k, -1});

        // Every used key that is present reads whole and in range.
        std::map<std::string, double> values; // lower-case key -> value read
        std::map<std::string, bool> isUsed;
        for (const UsedKey& u : used) {
            const std::string lk = lower(u.setting.key);
            isUsed[lk] = true;
            if (u.setting.form == Form::base || values.count(lk) != 0) continue;
            const KeyLine* k = s.find(u.setting.key);
            if (k == nullptr) continue;
            if (std::optional<double> v = readValue(sectionName, *k, u.setting, u.type)) values[lk] = *v;
            else values[lk] = NAN;
        }
        checkPolar(sectionName, s, type, baseType, values);
        isUsed["geodesytype"] = true;

        // Keys that are no settings key, and keys of other types.
        const std::vector<const char*> names = keyNames(known);
        for (const auto& [lk, line] : s.first) {
            if (isUsed.count(lk) != 0) continue;
            const KnownKey* declared = nullptr;
            bool atDefault = false;
            for (const KnownKey& k : known) {
                if (!ini::equalNoCase(k.setting.key, line->key)) continue;
                declared = &k;
                if (holdsDefault(*line, k.setting)) atDefault = true;
            }
            if (declared == nullptr) {
                std::string text = line->key + " is not a settings key, and is not read";
                if (std::optional<std::string> n = nearest(line->key, names)) text += ": did you mean " + *n + "?";
                add(Kind::warning, line->line, sectionName, line->key, text);
            } else if (!atDefault) {
                add(Kind::note, line->line, sectionName, line->key,
                    line->key + "=" + line->value + " is not used by " + typeName(type) +
                        (baseType >= 0 ? std::string(" over ") + typeName(baseType) : std::string()) +
                        " (GeodesyType=" + std::to_string(type) + "), and holds something other than its default");
            }
        }
    }

    void checkUnits(const std::string& sectionName, const Section& s) {
        std::vector<const char*> names;
        for (const SettingKey& k : unitsSettingKeys()) {
            names.push_back(k.key);
            const KeyLine* line = s.find(k.key);
            if (line == nullptr) continue;
            const std::optional<double> v = readValue(sectionName, *line, k, -1);
            if (!v) continue;
            const int i = static_cast<int>(*v);
            const std::string lk = lower(k.key);
            const std::string shown = line->key + "=" + line->value + ": ";
            if ((lk == "distunits" || lk == "wpunits") && !(i >= 0 && i < kFilledUnits))
                add(Kind::error, line->line, sectionName, line->key, shown + "names no unit (" + unitCodes() + ")",
                    GW_ERROR_BAD_ARGUMENT);
            // Any style or entry other than 0 reads as 1.
            if (lk == "latlonstyle" && i != 0 && i != 1)
                add(Kind::warning, line->line, sectionName, line->key,
                    shown + "is read as 1, degrees, minutes and seconds (0 is degrees and decimal minutes)");
            if (lk == "defaultentry" && i != 0 && i != 1)
                add(Kind::warning, line->line, sectionName, line->key,
                    shown + "is read as 1, grid (0 is latitude and longitude)");
        }
        for (const auto& [lk, line] : s.first) {
            if (std::any_of(names.begin(), names.end(), [&](const char* n) { return ini::equalNoCase(n, lk); })) continue;
            std::string text = line->key + " is not a unit settings key, and is not read";
            if (std::optional<std::string> n = nearest(line->key, names)) text += ": did you mean " + *n + "?";
            add(Kind::warning, line->line, sectionName, line->key, text);
        }
    }

private:
    std::vector<SettingsProblem>& out_;

    static int problemCode(const std::string& value, const FieldReading& r) {
        // A text that reads as a number in its form but lies out of range is a bad
        // value; anything else does not read.
        return r.problem.rfind("must lie between", 0) == 0 || r.problem.rfind("lies beyond", 0) == 0 ||
                       (value.find(',') == std::string::npos && r.problem.rfind("is not a finite", 0) == 0)
                   ? GW_ERROR_BAD_ARGUMENT
                   : GW_ERROR_TEXT_UNREADABLE;
    }

    static std::string baseCodes() {
        std::string list;
        for (const ProjectionTypeInfo& t : projectionTypes()) {
            const int c = code(t.type);
            if (acceptedBaseType(c) != c) continue;
            if (!list.empty()) list += ", ";
            list += std::to_string(c);
        }
        return list;
    }

    static std::string unitCodes() {
        std::string list;
        const Units& u = currentUnits();
        for (int i = 0; i < kFilledUnits; ++i) {
            if (!list.empty()) list += ", ";
            list += std::to_string(i) + " " + u.unitTable[i].name;
        }
        return list;
    }

    // Whether a key line holds the default of form (read in that form), so that a
    // key of another type left at its default is not worth a word.
    static bool holdsDefault(const KeyLine& line, const SettingKey& form) {
        const std::string def = form.def != nullptr ? form.def : "";
        switch (form.form) {
        case Form::name: return ini::trim(line.value) == ini::trim(def);
        case Form::latitude:
        case Form::longitude: {
            const FieldReading a = form.form == Form::latitude ? readLatitudeField(line.value) : readLongitudeField(line.value);
            const FieldReading b = form.form == Form::latitude ? readLatitudeField(def) : readLongitudeField(def);
            return a.ok && b.ok && a.value == b.value;
        }
        case Form::number:
        case Form::scale: {
            const FieldReading a = readNumberField(line.value), b = readNumberField(def);
            return a.ok && b.ok && a.value == b.value;
        }
        case Form::integer:
        case Form::base: return wholeInteger(line.value) == wholeInteger(def);
        case Form::none:
        case Form::grid: return true;
        }
        return true;
    }

    // What the polar stereographic grid cannot do: its grid is on the meridian 0,
    // its origin at a pole.
    void checkPolar(const std::string& sectionName, const Section& s, int type, int baseType,
                    const std::map<std::string, double>& values) {
        if (type != code(ProjectionType::polarStereo) && baseType != code(ProjectionType::polarStereo)) return;
        auto valueOf = [&](const char* key) -> std::optional<double> {
            auto it = values.find(lower(key));
            if (it == values.end() || std::isnan(it->second)) return std::nullopt;
            return it->second;
        };
        if (const std::optional<double> lon = valueOf("lonOfOrigin"); lon && *lon != 0.0) {
            const KeyLine* k = s.find("lonOfOrigin");
            add(Kind::error, k->line, sectionName, k->key,
                k->key + "=" + k->value +
                    ": the polar stereographic grid is always on the meridian 0 (E000 00), whatever this key says: "
                    "a longitude of origin elsewhere would not enter the conversion",
                GW_ERROR_BAD_ARGUMENT);
        }
        // Only the sign of the latitude of origin enters the conversion; one within
        // a micro-degree of a pole (-89.9999999999) is that pole as written.
        if (const std::optional<double> lat = valueOf("latOfOrigin"); lat && !(std::fabs(*lat) >= 90.0 - 1e-6)) {
            const KeyLine* k = s.find("latOfOrigin");
            add(Kind::error, k->line, sectionName, k->key,
                k->key + "=" + k->value +
                    ": the polar stereographic origin is a pole (N90 00 or S90 00); a standard parallel is given by "
                    "the scale factor at the pole",
                GW_ERROR_BAD_ARGUMENT);
        }
    }
};

// The sections of a scanned file, by lower-case name, in the order they first
// appear.
std::vector<std::pair<std::string, Section>> sectionsOf(const FileText& f) {
    std::vector<std::pair<std::string, Section>> out;
    for (const SectionText& s : f.sections) {
        const std::string name = lower(s.name);
        auto it = std::find_if(out.begin(), out.end(), [&](const auto& e) { return e.first == name; });
        if (it == out.end()) {
            out.push_back({name, Section{}});
            it = out.end() - 1;
        }
        it->second.occurrences.push_back(s);
    }
    return out;
}

// Reads the file, or names why it cannot be read.
std::optional<FileText> readSettings(const char* file, Checker& check) {
    const std::string path = resolveSettingsPath(file);
    std::string text;
    struct stat st {};
    if (path.empty() || ini::readFile(path, text, st) != ini::ReadResult::Ok) {
        check.add(Kind::error, 0, "", "",
                  std::string("the settings file cannot be read") +
                      (path.empty() || path == file ? std::string() : " (resolved as '" + path + "')"),
                  GW_ERROR_FILE_UNREADABLE);
        return std::nullopt;
    }
    return scanFile(text);
}

void fileProblems(const FileText& f, const std::vector<std::pair<std::string, Section>>& sections, Checker& check,
                  const std::string* only) {
    if (f.byteOrderMark)
        check.add(Kind::note, 1, "", "", "the file starts with a UTF-8 byte-order mark, which is read as nothing");
    for (const auto& [name, s] : sections) {
        if (only != nullptr && name != *only) continue;
        for (std::size_t i = 1; i < s.occurrences.size(); ++i)
            check.add(Kind::warning, s.occurrences[i].line, s.occurrences[i].name, "",
                      "the section comes again (first on line " + std::to_string(s.occurrences[0].line) +
                          "): the two are read as one, and where both hold a key the first one is read");
    }
}

// Sections whose names differ from `name` by little, for a missing section.
std::string nearestSection(const std::string& name, const std::vector<std::pair<std::string, Section>>& sections) {
    std::vector<const char*> names;
    for (const auto& [n, s] : sections) names.push_back(s.occurrences[0].name.c_str());
    if (names.empty()) return "";
    if (std::optional<std::string> n = nearest(name, names)) return " (did you mean [" + *n + "]?)";
    return "";
}

} // namespace

NumberRange numberRange(int type, std::string_view key) {
    const std::string k = lower(key);
    if (k == "falsenorth" || k == "falseeast") {
        if (type == code(ProjectionType::polarStereo)) return {polar::kFrameLow, polar::kFrameHigh};
        return {-kFalseValueMax, kFalseValueMax};
    }
    if (k == "scalefactor") {
        if (type == code(ProjectionType::transverseMercator)) return {kTransverseMercatorScaleMin, kScaleFactorMax};
        return {kScaleFactorMin, kScaleFactorMax};
    }
    if (k == "localcenterlat" || k == "localendlat") return {-90.0, 90.0};
    if (k == "localcenterlon" || k == "localendlon") return {-180.0, 180.0};
    if (k.size() > 5 && k.compare(k.size() - 5, 5, "const") == 0) return {-kLocalConstantMax, kLocalConstantMax};
    if (k.rfind("etolocal", 0) == 0 || k.rfind("ntolocal", 0) == 0 || k.rfind("localto", 0) == 0)
        return {-kLocalFactorMax, kLocalFactorMax};
    if (k == "aaxis") return {kSemiMajorAxisMin, kSemiMajorAxisMax};
    if (k == "inverseflattening") return {kInverseFlatteningMin, kInverseFlatteningMax};
    if (k == "deltax" || k == "deltay" || k == "deltaz") return {-kDatumShiftMax, kDatumShiftMax};
    if (k == "scalar") return {-kDatumScaleMax, kDatumScaleMax};
    if (k == "rotx" || k == "roty" || k == "rotz") return {-kDatumRotationMax, kDatumRotationMax};
    return {-kAnyValue, kAnyValue};
}

namespace {

// The problems of one section (those added since `from`) in the order of their
// lines.
void inLineOrder(std::vector<SettingsProblem>& out, std::size_t from) {
    std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
                     [](const SettingsProblem& a, const SettingsProblem& b) { return a.line < b.line; });
}

} // namespace

std::string problemLine(const std::string& file, const SettingsProblem& p) {
    std::string out = file;
    if (p.line > 0) {
        out += ':';
        out += std::to_string(p.line);
    }
    out += p.kind == Kind::error ? ": error: " : p.kind == Kind::warning ? ": warning: " : ": note: ";
    // A NUL byte of a section or key name would end the line for a C caller and
    // hide the rest of it: it is shown as "\x00".
    std::string rest;
    if (!p.section.empty()) {
        rest += '[';
        rest += p.section;
        rest += "] ";
    }
    rest += p.text;
    for (char c : rest) {
        if (c == '\0') out += "\\x00";
        else out += c;
    }
    return out;
}

namespace {

// The problems of one section of file (lower-case name; shown as `asked`), read
// as the unit settings or as a geodesy section.
std::vector<SettingsProblem> checkOneSection(const char* file, const std::string& name, const std::string& asked,
                                             bool units) {
    std::vector<SettingsProblem> out;
    Checker check(out);
    const std::optional<FileText> f = readSettings(file, check);
    if (!f) return out;
    const auto sections = sectionsOf(*f);
    auto it = std::find_if(sections.begin(), sections.end(), [&](const auto& e) { return e.first == name; });
    if (it == sections.end()) {
        check.add(Kind::error, 0, "", "", "there is no section [" + asked + "]" + nearestSection(name, sections),
                  GW_ERROR_SECTION_MISSING);
        return out;
    }
    fileProblems(*f, sections, check, &name);
    Section s = it->second;
    check.indexKeys(s);
    if (units) check.checkUnits(s.occurrences[0].name, s);
    else check.checkGeodesy(s.occurrences[0].name, s);
    inLineOrder(out, 0);
    return out;
}

} // namespace

std::vector<SettingsProblem> checkGeodesySection(const char* file, const char* section) {
    const std::string asked = section != nullptr ? section : "";
    return checkOneSection(file, lower(ini::trim(asked)), asked, false);
}

std::vector<SettingsProblem> checkUnitsSection(const char* file) { return checkOneSection(file, "units", "units", true); }

std::vector<SettingsProblem> checkSettingsFile(const char* file) {
    std::vector<SettingsProblem> out;
    Checker check(out);
    const std::optional<FileText> f = readSettings(file, check);
    if (!f) return out;
    auto sections = sectionsOf(*f);
    fileProblems(*f, sections, check, nullptr);
    inLineOrder(out, 0);
    for (auto& [name, s] : sections) {
        const std::size_t from = out.size();
        check.indexKeys(s);
        if (name == "units") {
            check.checkUnits(s.occurrences[0].name, s);
        } else {
            // A section named almost "units" is read as a geodesy section.
            if (distance(name, "units") == 1)
                check.add(Kind::warning, s.occurrences[0].line, s.occurrences[0].name, "",
                          "is read as a geodesy section, not as the unit settings: did you mean [units]?");
            check.checkGeodesy(s.occurrences[0].name, s);
        }
        inLineOrder(out, from);
    }
    return out;
}

bool refuses(const std::vector<SettingsProblem>& problems) {
    return std::any_of(problems.begin(), problems.end(), [](const SettingsProblem& p) { return p.kind == Kind::error; });
}

} // namespace gw
