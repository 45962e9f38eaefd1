// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Every typed field of every settings form filled with arbitrary text, then OK,
// through the scripted backend. Either the form refuses: it tells the user, stays
// open, and after Cancel nothing has changed; or it takes the texts: what it
// wrote, saved to a settings file and loaded again, shows in the same form the
// texts that were typed (names as typed, blanks around them dropped; numbers,
// angles and distances within the decimals the form shows them with).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "dialogs/EditDatum.h"
#include "dialogs/Install.h"
#include "dialogs/ScriptedBackend.h"
#include "platform/CLocale.h"
#include "projections/InitText.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/Local.h"
#include "projections/PolarStereo.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"
#include "units/CurrentUnits.h"
#include "units/FieldRules.h"

using namespace gw::dlg;

namespace {

enum class Kind { name, latitude, longitude, angle, number, distance };

struct FieldSpec {
    int id;
    Kind kind;
};

// What a text shown or typed reads as, for the comparison (distances in the
// form's unit of the moment, read with unit `unit`).
gw::FieldReading readAs(Kind kind, const std::string& text, int unit) {
    switch (kind) {
    case Kind::latitude: return gw::readLatitudeField(text);
    case Kind::longitude: return gw::readLongitudeField(text);
    case Kind::angle: return gw::readAngleField(text, -180, 180);
    case Kind::number: return gw::readNumberField(text);
    case Kind::distance: {
        // The form has checked the field's own axis label; here only the value counts.
        gw::FieldReading r = gw::readDistanceField(text, unit, false);
        for (gw::DistanceAxis axis : {gw::DistanceAxis::north, gw::DistanceAxis::east})
            if (!r.ok) r = gw::readDistanceField(text, unit, false, -gw::kAnyValue, gw::kAnyValue, axis);
        return r;
    }
    case Kind::name: break;
    }
    return {};
}

// The most a value may move between what was typed and what is shown again: half
// a unit of the shown text's last decimal, twice (once when the settings keep it,
// once when the form shows it), and the double's own rounding.
double tolerance(Kind kind, double value) {
    const double relative = 1e-13 * std::fabs(value);
    switch (kind) {
    case Kind::latitude:
    case Kind::longitude: return 1.01e-4 / 60 + relative; // four decimals of minutes
    case Kind::angle: return 1.01e-5 / 3600 + relative;   // five decimals of seconds
    case Kind::number: return 1.01e-5 + relative;         // five decimals and more
    case Kind::distance: return 1.01e-2 + relative;       // two decimals of a unit up to a metre, three of the settings
    case Kind::name: break;
    }
    return 0.0;
}

struct Form {
    const char* what;
    std::vector<FieldSpec> fields;
    // A fresh object of the form's class; its form opened with the script; the
    // object saved and loaded again into a fresh one; its state as text.
    std::function<void*()> make;
    std::function<int(void*)> run;
    std::function<void*(void*)> reload;
    std::function<std::string(void*)> state;
    std::function<void(void*)> destroy;
    std::function<int(void*)> unit; // the unit its distances are shown in
};

template <class P> Form projectionForm(const char* what, std::vector<FieldSpec> fields, std::function<int(P&)> unit) {
    Form f;
    f.what = what;
    f.fields = std::move(fields);
    f.make = [] { return static_cast<void*>(new P()); };
    f.run = [](void* p) { return static_cast<P*>(p)->editDialog(nullptr, nullptr); };
    f.reload = [](void* p) {
        const std::string file = fz::scratchDir() + "/form.ini";
        std::remove(file.c_str());
        std::string path = file, section = "form";
        static_cast<P*>(p)->saveData(section.data(), path.data());
        auto* fresh = new P();
        fresh->loadData(section.data(), path.data());
        return static_cast<void*>(fresh);
    };
    f.state = [](void* p) { return gw::initString(*static_cast<P*>(p)); };
    f.destroy = [](void* p) { delete static_cast<P*>(p); };
    f.unit = [unit](void* p) { return unit(*static_cast<P*>(p)); };
    return f;
}

int metres(void*) { return 0; }

std::vector<Form> forms() {
    const Kind N = Kind::name, LA = Kind::latitude, LO = Kind::longitude, NU = Kind::number, D = Kind::distance;
    auto gridUnit = [](auto& p) { return p.units >= 0 && p.units <= 2 ? p.units : 0; };
    std::vector<Form> out;
    out.push_back(projectionForm<TransverseMercator>(
        "Transverse Mercator", {{7129, N}, {7102, LO}, {7114, D}, {7108, D}, {7166, LA}, {7120, NU}},
        [gridUnit](TransverseMercator& p) { return gridUnit(p); }));
    out.push_back(projectionForm<Lambert>(
        "Lambert", {{7139, N}, {7103, LA}, {7115, LO}, {7109, D}, {7167, D}, {7121, LA}, {7130, LA}},
        [gridUnit](Lambert& p) { return gridUnit(p); }));
    out.push_back(projectionForm<PolarStereo>(
        "polar stereographic", {{7131, N}, {7168, LA}, {7104, LO}, {7116, D}, {7110, D}, {7122, NU}},
        [gridUnit](PolarStereo& p) { return gridUnit(p); }));
    out.push_back(projectionForm<Local>("local", {{7125, LA}, {7134, LO}}, [](Local&) { return 0; }));
    out.push_back(projectionForm<StaOff>("station/offset", {{7126, LA}, {7135, LO}, {7143, LA}, {7151, LO}},
                                         [](StaOff&) { return 0; }));
    out.push_back(projectionForm<KestrelLocal>(
        "Kestrel local",
        {{7106, NU}, {7112, NU}, {7118, D}, {7124, NU}, {7133, NU}, {7142, D}, {7150, NU}, {7158, NU}, {7163, D},
         {7170, NU}, {7173, NU}, {7176, D}},
        [](KestrelLocal& p) { return p.baseProj->getUnits(); }));

    Form datum;
    datum.what = "datum";
    datum.fields = {{7177, D}, {7181, D}, {7185, D}, {7159, Kind::angle}, {7164, Kind::angle}, {7171, Kind::angle},
                    {7174, NU}, {7152, N}, {7144, NU}, {7127, D}, {7136, N}};
    datum.make = [] { return static_cast<void*>(new Datum()); };
    datum.run = [](void* p) {
        EditDatum form(nullptr);
        form.fill(*static_cast<Datum*>(p));
        if (form.doModal() != idOk) return 0;
        form.apply(*static_cast<Datum*>(p));
        return 1;
    };
    datum.reload = [](void* p) {
        const std::string file = fz::scratchDir() + "/datum.ini";
        std::remove(file.c_str());
        std::string path = file, section = "datum";
        static_cast<Datum*>(p)->saveData(section.data(), path.data());
        auto* fresh = new Datum();
        fresh->loadData(section.data(), path.data());
        return static_cast<void*>(fresh);
    };
    datum.state = [](void* p) {
        const Datum& d = *static_cast<Datum*>(p);
        return gw::cFormatString("%s|%a|%a|%s|%a|%a|%a|%a|%a|%a|%a", d.ellipseName, d.aAxis, d.inverseFlattening,
                                 d.datumName, d.deltaX, d.deltaY, d.deltaZ, d.scalar, d.rotX, d.rotY, d.rotZ);
    };
    datum.destroy = [](void* p) { delete static_cast<Datum*>(p); };
    datum.unit = metres;
    out.push_back(std::move(datum));
    return out;
}

std::string trimmed(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || (s[a] >= '\t' && s[a] <= '\r'))) ++a;
    while (b > a && (s[b - 1] == ' ' || (s[b - 1] >= '\t' && s[b - 1] <= '\r'))) --b;
    return s.substr(a, b - a);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        fz::scratchDir();
        installDialogs();
        return true;
    }();
    (void)ready;
    static std::vector<Form> all = forms();
    fz::Bytes in(data, size);
    const Form& form = all[in.byte() % all.size()];

    // The texts: per field a flag byte (odd: typed) and a length byte, then the text.
    std::vector<std::pair<FieldSpec, std::string>> typed;
    for (const FieldSpec& f : form.fields) {
        const std::uint8_t flag = in.byte();
        const std::size_t n = in.byte() % 48;
        std::string text;
        for (std::size_t i = 0; i < n && in.size() > 0; ++i) text += static_cast<char>(in.byte());
        if (flag & 1) typed.emplace_back(f, text);
    }

    ScriptedBackendScope scope;
    std::vector<Action> script;
    for (const auto& [f, text] : typed) script.push_back(Action::typeText(f.id, text));
    script.push_back(Action::ok());
    bool refused = false;
    script.push_back(Action::check([&](DialogWindow& w) {
        auto& sw = dynamic_cast<ScriptedWindow&>(w);
        refused = !sw.closed();
        if (refused) fz::check(!sw.messages().empty() && sw.focus() != 0, "refused without telling", form.what);
    }));
    script.push_back(Action::cancel());
    scope.backend.push(script);

    void* object = form.make();
    const std::string before = form.state(object);
    const int result = form.run(object);
    if (refused || result != 1) {
        fz::check(result == 0, "a refusal closed the form with OK", form.what);
        fz::check(form.state(object) == before, "a refused form changed its object", form.what);
        form.destroy(object);
        return 0;
    }

    // Taken: load what was saved and look at the same form again.
    void* again = form.reload(object);
    const int unit = form.unit(again);
    std::vector<std::string> shown(typed.size());
    scope.backend.push({Action::check([&](DialogWindow& w) {
                            for (std::size_t i = 0; i < typed.size(); ++i) shown[i] = w.text(typed[i].first.id);
                        }),
                        Action::cancel()});
    form.run(again);
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const auto& [f, text] = typed[i];
        const std::string detail = std::string(form.what) + " field " + std::to_string(f.id) + " typed '" +
                                   fz::hex(text) + "' shown '" + fz::hex(shown[i]) + "'";
        if (f.kind == Kind::name) {
            fz::check(shown[i] == trimmed(text), "a name came back otherwise", detail);
            continue;
        }
        // Distances typed with another unit are shown in the form's: compare the
        // values in metres.
        const gw::FieldReading a = readAs(f.kind, text, unit);
        const gw::FieldReading b = readAs(f.kind, shown[i], unit);
        fz::check(a.ok, "a text the form took does not read", detail);
        fz::check(b.ok, "a text the form shows does not read", detail);
        fz::check(std::fabs(a.value - b.value) <= tolerance(f.kind, a.value), "a value came back otherwise", detail);
    }
    form.destroy(again);
    form.destroy(object);
    return 0;
}
