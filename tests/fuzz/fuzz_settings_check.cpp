// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The settings check over any settings file, and what it promises about every
// section of it:
//   - checking the file, the units section and each section never crashes, and
//     the problem text is the same whatever buffer it is written into;
//   - a section without errors loads (gwGeodesyFromSettings), converts a point
//     near its origin to finite numbers or a failed status, saves into a fresh
//     file that checks without errors, and that copy loads to the same
//     initialisation string and datum text (a zero may lose its sign, and a
//     name that holds a carriage return, which the check warns of, is saved cut
//     at it; an affine or station/offset system over a flat local grid
//     without its name settles after one save);
//   - a section with errors is refused by gwGeodesyFromSettings and loads with
//     GW_SETTINGS_LENIENT.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "facade/GeodesyHandle.h"
#include "gridwise/batch.h"
#include "gridwise/geodetics.h"
#include "platform/IniText.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/Local.h"
#include "projections/PolarStereo.h"
#include "projections/RDProj.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"

namespace {

// The names of the file's sections as the settings reader finds them, each once
// (names compare without regard to case), at most eight.
std::vector<std::string> sectionNames(const std::string& text) {
    std::vector<std::string> names;
    const std::string_view t(text);
    for (std::size_t pos = 0; pos < t.size() && names.size() < 8;) {
        const gw::ini::Line l = gw::ini::scanLine(t, pos);
        if (l.kind == gw::ini::Line::Section && l.nameEnd > l.nameBegin) {
            std::string name(t.substr(l.nameBegin, l.nameEnd - l.nameBegin));
            bool seen = false;
            for (const std::string& n : names) seen = seen || gw::ini::lowerCopy(n) == gw::ini::lowerCopy(name);
            // A name the C interface cannot carry whole (a NUL byte) is left out.
            if (!seen && name.find('\0') == std::string::npos) names.push_back(std::move(name));
        }
        if (l.next <= pos) break;
        pos = l.next;
    }
    return names;
}

// The problems as text, checked against the counting call and a short buffer.
std::string problems(const std::string& file, const char* section, int flags, int& errors) {
    errors = -1;
    const long n = gwSettingsProblems(file.c_str(), section, flags, nullptr, 0, &errors);
    fz::check(n >= 0 && errors >= 0, "gwSettingsProblems failed", gwLastError());
    std::vector<char> all(static_cast<std::size_t>(n) + 1);
    int again = -1;
    fz::check(gwSettingsProblems(file.c_str(), section, flags, all.data(), all.size(), &again) == n && again == errors,
              "gwSettingsProblems differs between calls");
    const std::string text(all.data());
    fz::check(text.size() == static_cast<std::size_t>(n), "problem text cut although it fits");
    // Into half the room: whole lines only, a prefix of the whole text.
    std::vector<char> half(static_cast<std::size_t>(n) / 2 + 1);
    gwSettingsProblems(file.c_str(), section, flags, half.data(), half.size(), nullptr);
    const std::string part(half.data());
    fz::check(text.compare(0, part.size(), part) == 0 && (part.empty() || part.back() == '\n'),
              "problem text in a short buffer is not whole lines of the text", fz::hex(part));
    return text;
}

// The origin of the projection (its base's for a local system on a base), in
// degrees; a point of the grid's own surroundings.
void origin(const Projection* envelope, double& lat, double& lon) {
    const Projection* p = envelope->inner != nullptr ? envelope->inner : envelope;
    lat = 0;
    lon = 0;
    if (const auto* q = dynamic_cast<const TransverseMercator*>(p)) {
        lat = q->originLat;
        lon = q->originLon;
    } else if (const auto* q = dynamic_cast<const Lambert*>(p)) {
        lat = q->latOfOrigin;
        lon = q->lonOfOrigin;
    } else if (const auto* q = dynamic_cast<const PolarStereo*>(p)) {
        lat = q->latOfOrigin;
        lon = q->lonOfOrigin;
    } else if (const auto* q = dynamic_cast<const Local*>(p)) {
        lat = q->centerLat;
        lon = q->centerLon;
    } else if (const auto* q = dynamic_cast<const RDProj*>(p)) {
        lat = q->lat0;
        lon = q->lon0;
    } else if (const auto* q = dynamic_cast<const StaOff*>(p)) {
        lat = q->startLat;
        lon = q->startLon;
    } else if (const auto* q = dynamic_cast<const KestrelLocal*>(p)) {
        origin(q->baseProj.get(), lat, lon);
    }
}

// Converts points near the origin both ways: each result finite, or a failed status.
void convertNearOrigin(const GwGeodesy* g, const std::string& where) {
    double lat0, lon0;
    origin(g->geo.projection, lat0, lon0);
    if (!std::isfinite(lat0) || !std::isfinite(lon0)) fz::fail("origin not finite", where);
    const double lat[3] = {lat0, lat0 + (lat0 > 0 ? -0.01 : 0.01), lat0 + (lat0 > 0 ? -0.02 : 0.02)};
    const double lon[3] = {lon0, lon0 + 0.01, lon0 - 0.02};
    double north[3], east[3], latBack[3], lonBack[3];
    int status[3], statusBack[3];
    gwGeoToGrid(g, 3, lat, 1, lon, 1, north, 1, east, 1, status);
    for (int i = 0; i < 3; ++i)
        if (status[i] == GW_STATUS_OK && !(std::isfinite(north[i]) && std::isfinite(east[i])))
            fz::fail("grid of a point near the origin not finite", where);
    gwGridToGeo(g, 3, north, 1, east, 1, latBack, 1, lonBack, 1, statusBack);
    for (int i = 0; i < 3; ++i)
        if (status[i] == GW_STATUS_OK && statusBack[i] == GW_STATUS_OK &&
            !(std::isfinite(latBack[i]) && std::isfinite(lonBack[i])))
            fz::fail("position of a grid point near the origin not finite", where);
}

std::string initString(const GwGeodesy* g) {
    std::vector<char> text(GW_INIT_STR_MAX);
    gwGeodesyInitString(g, text.data(), text.size());
    return text.data();
}

std::string datumText(const GwGeodesy* g) {
    const std::size_t n = gwGeodesyDatumText(g, nullptr, 0);
    std::vector<char> text(n + 1);
    gwGeodesyDatumText(g, text.data(), text.size());
    return text.data();
}

// Whether a reloaded text (an initialisation string, a datum text) is the
// loaded one, field by field: the same text, or the same number (a zero keeps
// its value, not always its sign, through a save), or, where cutNames, a name
// that held a carriage return and is now cut at it (a settings value ends at a
// line break, and the blanks before the cut are dropped).
bool sameFields(const std::string& loaded, const std::string& reloaded, bool cutNames) {
    auto split = [](const std::string& s) {
        std::vector<std::string> fields(1);
        for (char c : s) {
            if (c == ',') fields.emplace_back();
            else fields.back() += c;
        }
        return fields;
    };
    auto number = [](const std::string& s, double& v) {
        char* end = nullptr;
        v = std::strtod(s.c_str(), &end);
        return !s.empty() && *end == '\0';
    };
    const std::vector<std::string> a = split(loaded), b = split(reloaded);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        double va, vb;
        if (number(a[i], va) && number(b[i], vb) && va == vb) continue;
        const std::size_t cr = a[i].find('\r');
        if (!cutNames || cr == std::string::npos) return false;
        std::string cut = a[i].substr(0, cr);
        while (!cut.empty() && (cut.back() == ' ' || cut.back() == '\t')) cut.pop_back();
        if (b[i] != cut) return false;
    }
    return true;
}

struct Handle {
    GwGeodesy* g;
    ~Handle() { gwGeodesyFree(g); }
};

// Saves g into a fresh file, which must check without errors and load.
GwGeodesy* saveAndLoad(GwGeodesy* g, const std::string& where) {
    const std::string copy = fz::scratchDir() + "/check-saved.ini";
    std::remove(copy.c_str());
    std::string section = "saved", file = copy;
    g->geo.saveData(section.data(), file.data());
    int errors = 0;
    const std::string found = problems(copy, "saved", 0, errors);
    if (errors > 0) fz::fail("the saved copy of a section without errors has errors", where + "\n" + found);
    GwGeodesy* again = gwGeodesyFromSettings(copy.c_str(), "saved");
    if (again == nullptr) fz::fail("the saved copy does not load", where + " " + gwLastError());
    return again;
}

bool sharesKeysWithBase(const Projection* envelope) {
    const Projection* p = envelope->inner;
    if (const auto* q = dynamic_cast<const StaOff*>(p)) return q->baseProj->type == 5;
    if (const auto* q = dynamic_cast<const KestrelLocal*>(p)) return q->baseProj->type == 5;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] { return allocGeodetics() == 1; }();
    fz::check(ready, "allocGeodetics");
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string path = fz::writeFile("check.ini", content);
    int errors = 0;
    problems(path, nullptr, 0, errors);
    problems(path, nullptr, GW_CHECK_UNITS, errors);

    for (const std::string& section : sectionNames(content)) {
        const std::string where = "[" + fz::hex(section) + "]";
        const std::string found = problems(path, section.c_str(), 0, errors);
        if (errors > 0) {
            Handle strict{gwGeodesyFromSettings(path.c_str(), section.c_str())};
            if (strict.g != nullptr) fz::fail("a section with errors loads", where + "\n" + found);
            Handle lenient{gwGeodesyFromSettingsWith(path.c_str(), section.c_str(), GW_SETTINGS_LENIENT)};
            if (lenient.g == nullptr) fz::fail("a section with errors does not load leniently", where + " " + gwLastError());
            continue;
        }
        Handle loaded{gwGeodesyFromSettings(path.c_str(), section.c_str())};
        if (loaded.g == nullptr) fz::fail("a section without errors is refused", where + " " + gwLastError());
        convertNearOrigin(loaded.g, where);

        // Saved into a fresh file, checked and loaded again.
        Handle reloaded{saveAndLoad(loaded.g, where)};
        const std::string init = initString(loaded.g), initAgain = initString(reloaded.g);
        const bool cutNames = found.find("holds a control character") != std::string::npos;
        if (!sameFields(init, initAgain, cutNames)) {
            // An affine or station/offset system over a flat local grid shares
            // "localProjName" with its base; when the key is missing each takes
            // its own default, which one key cannot keep apart. Saved once, it
            // settles.
            if (!sharesKeysWithBase(loaded.g->geo.projection))
                fz::fail("the saved copy loads another projection", fz::hex(init) + "\n  -> " + fz::hex(initAgain));
            Handle twice{saveAndLoad(reloaded.g, where)};
            if (initString(twice.g) != initAgain)
                fz::fail("the saved copy does not settle", fz::hex(initAgain) + "\n  -> " + fz::hex(initString(twice.g)));
        }
        const std::string datum = datumText(loaded.g), datumAgain = datumText(reloaded.g);
        if (!sameFields(datum, datumAgain, cutNames))
            fz::fail("the saved copy loads another datum", fz::hex(datum) + "\n  -> " + fz::hex(datumAgain));
    }
    return 0;
}
