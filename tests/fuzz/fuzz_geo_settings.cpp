// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// loadGeoData over any settings file (one of its sections); what it loaded, saved with saveGeoData into a fresh file
// and loaded again, gives the same initialisation string and datum.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"
#include "gridwise/projection.h"
#include "projections/KestrelLocal.h"
#include "projections/StaOff.h"

namespace {

std::string state() {
    Geodetics* g = gw::geodesyInstance();
    fz::check(g != nullptr && g->projection != nullptr, "no geodesy instance");
    std::unique_ptr<char[]> init(new char[GW_INIT_STR_MAX]);
    g->projection->getInitStr(init.get());
    const Datum& d = g->datum;
    char datum[512];
    // The datum at the precision its settings keys are written with.
    std::snprintf(datum, sizeof datum, "|%s|%.2f|%.6f|%s|%.2f|%.2f|%.2f|%.10f|%.10f|%.10f|%.10f", d.ellipseName,
                  d.aAxis, d.inverseFlattening, d.datumName, d.deltaX, d.deltaY, d.deltaZ, d.scalar, d.rotX,
                  d.rotY, d.rotZ);
    return std::string(init.get()) + datum;
}

// Whether two states agree: texts exactly, plain numbers within one unit of
// their last printed decimal. A value read with more digits than its key is
// written with moves by up to half a unit of the key's last decimal when saved,
// which the state's own rounding can show as one unit of its last decimal.
bool agree(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::vector<std::string> fields(1);
        for (char c : s) {
            if (c == ',' || c == '|') fields.emplace_back();
            else fields.back() += c;
        }
        return fields;
    };
    const std::vector<std::string> fa = split(a), fb = split(b);
    if (fa.size() != fb.size()) return false;
    for (std::size_t i = 0; i < fa.size(); ++i) {
        if (fa[i] == fb[i]) continue;
        char* endA = nullptr;
        char* endB = nullptr;
        const double va = std::strtod(fa[i].c_str(), &endA);
        const double vb = std::strtod(fb[i].c_str(), &endB);
        if (fa[i].empty() || fb[i].empty() || *endA != '\0' || *endB != '\0') return false;
        const std::size_t dot = fa[i].find('.');
        const int decimals = dot == std::string::npos ? 0 : static_cast<int>(fa[i].size() - dot - 1);
        if (!(std::fabs(va - vb) <= 1.000001 * std::pow(10.0, -decimals))) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] { return allocGeodetics() == 1; }();
    fz::check(ready, "allocGeodetics");
    if (size < 1) return 0;
    // The first byte picks one of the file's "[...]" sections ("geodesy" when none).
    const std::string content(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> names;
    for (std::size_t open = content.find('['); open != std::string::npos; open = content.find('[', open + 1)) {
        const std::size_t close = content.find_first_of("]\r\n", open + 1);
        if (close != std::string::npos && content[close] == ']' && close - open - 1 <= 64)
            names.push_back(content.substr(open + 1, close - open - 1));
    }
    const std::string section = names.empty() ? "geodesy" : names[data[0] % names.size()];
    const std::string path = fz::writeFile("geo.ini", content);
    fz::ExactText file(path), name(section);
    loadGeoData(name.get(), file.get());
    const std::string loaded = state();
    // A station/offset system or a Kestrel local grid over a flat local grid shares
    // keys with its base ("localProjName", "localCenterLat", ...): the two may hold
    // different values (each its own default when the key is missing), which one
    // key cannot keep apart. Saved once, what loads again is the same after every
    // further save.
    const bool sharedKeys = [] {
        Projection* inner = gw::geodesyInstance()->projection->inner;
        if (const auto* p = dynamic_cast<StaOff*>(inner)) return p->baseProj->type == 5;
        if (const auto* p = dynamic_cast<KestrelLocal*>(inner)) return p->baseProj->type == 5;
        return false;
    }();

    // Saved into a fresh file and loaded again.
    const std::string copyPath = fz::scratchDir() + "/geo-saved.ini";
    auto saveAndLoad = [&] {
        std::remove(copyPath.c_str());
        fz::ExactText copy(copyPath), plain(std::string("saved"));
        saveGeoData(plain.get(), copy.get());
        loadGeoData(plain.get(), copy.get());
        return state();
    };
    const std::string reloaded = saveAndLoad();
    // A value holding a carriage return (a name read from the middle of a line)
    // is written cut at it, as every settings value is at a line break.
    const bool cut = loaded.find('\r') != std::string::npos;
    if (reloaded == loaded) return 0;
    if (!cut && !sharedKeys && !agree(loaded, reloaded))
        fz::fail("saved settings load differently", fz::hex(loaded) + "\n  -> " + fz::hex(reloaded));
    const std::string again = saveAndLoad();
    if (again != reloaded) fz::fail("saved settings do not settle", fz::hex(reloaded) + "\n  -> " + fz::hex(again));
    return 0;
}
