// loadGeoData over any settings file (one of its sections); what it loaded, saved with saveGeoData into a fresh file
// and loaded again, gives the same initialisation string and datum.
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
    if (cut || sharedKeys) {
        const std::string again = saveAndLoad();
        if (again != reloaded) fz::fail("saved settings do not settle", fz::hex(reloaded) + "\n  -> " + fz::hex(again));
    } else if (reloaded != loaded) {
        fz::fail("saved settings load differently", fz::hex(loaded) + "\n  -> " + fz::hex(reloaded));
    }
    return 0;
}
