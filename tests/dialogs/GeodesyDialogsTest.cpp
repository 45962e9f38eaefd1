// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Geodetics, datum, save-as and projection parameter forms, run with the
// scripted backend; settings files in a scratch folder.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dialogs/EditDatum.h"
#include "dialogs/Install.h"
#include "dialogs/NewGeod.h"
#include "dialogs/ProjectionList.h"
#include "dialogs/SaveAsDlg.h"
#include "dialogs/ScriptedBackend.h"
#include "dialogs/Templates.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "projections/InitText.h"
#include "projections/Lambert.h"
#include "projections/PolarStereo.h"
#include "projections/RDProj.h"
#include "projections/TransverseMercator.h"
#include "support/SettingsFiles.h"
#include "units/CurrentUnits.h"

using namespace gw::dlg;

namespace {

// Points the settings folder at a scratch folder while it lives.
class SettingsFolder {
public:
    SettingsFolder() {
        if (const char* old = std::getenv("GRIDWISE_SETTINGS_DIR")) old_ = old;
        setenv("GRIDWISE_SETTINGS_DIR", folder().c_str(), 1);
    }
    ~SettingsFolder() {
        if (old_.empty())
            unsetenv("GRIDWISE_SETTINGS_DIR");
        else
            setenv("GRIDWISE_SETTINGS_DIR", old_.c_str(), 1);
    }
    std::string folder() const { return std::filesystem::path(dir_.file("x")).parent_path().string(); }
    std::string file(const char* name) const { return dir_.file(name); }

private:
    gwtest::TempDir dir_;
    std::string old_;
};


Datum ed50() {
    Datum d;
    gw::copyBounded(d.ellipseName, "International 1924", sizeof d.ellipseName);
    gw::copyBounded(d.datumName, "ED50", sizeof d.datumName);
    d.aAxis = 6378388.0;
    d.inverseFlattening = 297.0;
    d.deltaX = -87.0;
    d.deltaY = -98.0;
    d.deltaZ = -121.0;
    d.update();
    return d;
}

std::string tmInit(const char* name, double lon) {
    TransverseMercator tm;
    gw::copyBounded(tm.projName, name, sizeof tm.projName);
    tm.originLon = lon;
    return gw::initString(tm);
}

// A projection list file of the given entry lines.
void writeList(const SettingsFolder& s, const std::vector<std::string>& lines) {
    std::string text = "[PROJECTIONS]\nNumberProjections=" + std::to_string(lines.size()) + "\n";
    for (std::size_t i = 0; i < lines.size(); ++i) text += "Proj" + std::to_string(i + 1) + "=" + lines[i] + "\n";
    gwtest::writeFile(s.file("projlist2.ini"), text);
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { installDialogs(); }
    SettingsFolder settings;
    ScriptedBackendScope scope;
    ScriptedBackend& backend = scope.backend;
};

bool overlap(const ControlTemplate& a, const ControlTemplate& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

} // namespace

// ---------------------------------------------------------------------------
// Templates

TEST(GeodesyTemplates, CaptionsSizesAndTidyLayout) {
    const struct {
        int id;
        const char* caption;
        int width, height; // 0: not fixed
    } cases[] = {
        {7010, "Save As", 0, 0},           {7011, "Geodetics", 227, 220},
        {7012, "Geodetics", 0, 0},         {7013, "Transverse Mercator", 158, 142},
        {7014, "Lambert Projection", 160, 159}, {7015, "Polar Sterographic", 161, 139},
        {7016, "Data Units", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const DialogTemplate* t = findTemplate(c.id);
        ASSERT_NE(t, nullptr);
        EXPECT_STREQ(t->caption, c.caption);
        if (c.width != 0) {
            EXPECT_EQ(t->width, c.width);
            EXPECT_EQ(t->height, c.height);
        }
        ASSERT_NE(t->control(idOk), nullptr);
        ASSERT_NE(t->control(idCancel), nullptr);
        EXPECT_EQ(t->control(idOk)->kind, ControlKind::defPushButton);
        EXPECT_LT(t->control(idOk)->x, t->control(idCancel)->x);
        std::set<int> ids;
        for (const ControlTemplate& a : t->controls) {
            SCOPED_TRACE(a.label);
            EXPECT_LE(a.x + a.width, t->width);
            EXPECT_LE(a.y + a.height, t->height);
            if (a.id >= 0) {
                EXPECT_TRUE(ids.insert(a.id).second) << "duplicate id " << a.id;
            }
            if (a.kind == ControlKind::edit) {
                EXPECT_EQ(a.height, 12);
            }
            if (a.kind == ControlKind::pushButton || a.kind == ControlKind::defPushButton) {
                EXPECT_EQ(a.width, 50);
                EXPECT_EQ(a.height, 14);
            }
            for (const ControlTemplate& b : t->controls) {
                if (&a >= &b || a.kind == ControlKind::groupBox || b.kind == ControlKind::groupBox) continue;
                EXPECT_FALSE(overlap(a, b)) << a.id << " overlaps " << b.id;
            }
        }
    }
}

TEST(GeodesyTemplates, ParameterFormsKeepTheirTabOrderAndUnitGroups) {
    const struct {
        int id;
        std::vector<int> edits;
        std::vector<int> units;
    } cases[] = {
        {7013, {7102, 7114, 7108, 7166, 7120, 7129}, {7138, 7146, 7154}},
        {7014, {7139, 7103, 7115, 7109, 7167, 7121, 7130}, {7161, 7147, 7155}},
        {7015, {7104, 7116, 7110, 7168, 7122, 7131}, {7140, 7148, 7156}},
    };
    for (const auto& c : cases) {
        const DialogTemplate& t = *findTemplate(c.id);
        std::vector<int> edits;
        for (const ControlTemplate& k : t.controls)
            if (k.kind == ControlKind::edit) edits.push_back(k.id);
        EXPECT_EQ(edits, c.edits) << c.id;
        std::vector<int> group;
        for (const ControlTemplate& k : radioGroup(t, c.units[1])) group.push_back(k.id);
        EXPECT_EQ(group, c.units) << c.id;
    }
}

// ---------------------------------------------------------------------------
// Parameter forms

TEST_F(DialogsTest, ParameterFormsOpenOnTheDefaults) {
    TransverseMercator tm;
    PolarStereo ps;
    backend.push({Action::check([](DialogWindow& w) {
        EXPECT_EQ(w.text(7129), "UTM Zone 11");
        EXPECT_EQ(w.text(7102), "W117 00.0000");
        EXPECT_EQ(w.text(7120), "0.999600");
        EXPECT_EQ(w.text(7166), "N00 00.0000");
        EXPECT_EQ(w.text(7114), "0.00m");
        EXPECT_EQ(w.text(7108), "500000.00m");
        EXPECT_TRUE(w.checked(7138));
        EXPECT_FALSE(w.checked(7146));
    })});
    backend.push({Action::check([](DialogWindow& w) { EXPECT_EQ(w.text(7122), "0.99400"); })});
    const std::string before = gw::initString(tm);
    EXPECT_EQ(tm.editDialog(nullptr, nullptr), 0);
    EXPECT_EQ(ps.editDialog(nullptr, nullptr), 0);
    EXPECT_EQ(gw::initString(tm), before);
    EXPECT_EQ(backend.opened, (std::vector<int>{7013, 7015}));

    RDProj rd;
    EXPECT_EQ(rd.editDialog(nullptr, nullptr), 0);
    EXPECT_EQ(backend.opened.size(), 2u);
}

namespace {

struct FormCase {
    const char* name;
    std::function<std::unique_ptr<Projection>()> make;
    int northId, eastId, metersId, feetId;
    std::function<double&(Projection&)> north, east;
    std::function<int&(Projection&)> units;
};

template <typename T> T& as(Projection& p) { return dynamic_cast<T&>(p); }

const FormCase kForms[] = {
    {"TM", [] { return std::make_unique<TransverseMercator>(); }, 7114, 7108, 7138, 7146,
     [](Projection& p) -> double& { return as<TransverseMercator>(p).falseNorth; },
     [](Projection& p) -> double& { return as<TransverseMercator>(p).falseEast; },
     [](Projection& p) -> int& { return as<TransverseMercator>(p).units; }},
    {"Lambert", [] { return std::make_unique<Lambert>(); }, 7167, 7109, 7161, 7147,
     [](Projection& p) -> double& { return as<Lambert>(p).falseNorth; },
     [](Projection& p) -> double& { return as<Lambert>(p).falseEast; },
     [](Projection& p) -> int& { return as<Lambert>(p).units; }},
    {"Polar", [] { return std::make_unique<PolarStereo>(); }, 7116, 7110, 7140, 7148,
     [](Projection& p) -> double& { return as<PolarStereo>(p).falseNorth; },
     [](Projection& p) -> double& { return as<PolarStereo>(p).falseEast; },
     [](Projection& p) -> int& { return as<PolarStereo>(p).units; }},
};

} // namespace

TEST_F(DialogsTest, UnitButtonsShowTheStoredDistancesAndOkReadsBareNumbersInTheUnit) {
    const Unit& feet = gw::currentUnits().unitTable[1];
    auto inFeet = [&](double m) { return gw::cFormatString("%.2f%s", m / feet.metersPerUnit, feet.abbrev); };
    for (const FormCase& f : kForms) {
        SCOPED_TRACE(f.name);
        auto p = f.make();
        f.north(*p) = 1000.0;
        f.east(*p) = 2000.0;
        f.units(*p) = 0;
        backend.push({
            Action::typeText(f.eastId, "777"),
            Action::click(f.feetId),
            Action::check([&](DialogWindow& w) {
                EXPECT_EQ(w.text(f.northId), inFeet(1000.0));
                EXPECT_EQ(w.text(f.eastId), inFeet(2000.0));
            }),
            Action::typeText(f.eastId, "5"),
            Action::click(f.metersId),
            Action::check([&](DialogWindow& w) {
                EXPECT_EQ(w.text(f.northId), "1000.00m");
                EXPECT_EQ(w.text(f.eastId), "2000.00m");
                EXPECT_TRUE(w.checked(f.metersId));
            }),
            Action::click(f.feetId),
            Action::typeText(f.eastId, "1000"),
            Action::typeText(f.northId, "10m"),
            Action::ok(),
        });
        EXPECT_EQ(p->editDialog(nullptr, nullptr), 1);
        EXPECT_EQ(f.units(*p), 1);
        EXPECT_DOUBLE_EQ(f.east(*p), 1000.0 * feet.metersPerUnit);
        EXPECT_DOUBLE_EQ(f.north(*p), 10.0); // a unit typed with the number wins

        // Cancel after edits and a unit change leaves the projection as it was.
        const std::string before = gw::initString(*p);
        backend.push({Action::typeText(f.eastId, "1"), Action::click(f.metersId), Action::cancel()});
        EXPECT_EQ(p->editDialog(nullptr, nullptr), 0);
        EXPECT_EQ(gw::initString(*p), before);
    }
}

// A false northing takes the northing's label only, a false easting the easting's.
TEST_F(DialogsTest, FalseValuesTakeOnlyTheirOwnAxisLabel) {
    for (const FormCase& f : kForms) {
        SCOPED_TRACE(f.name);
        auto p = f.make();
        f.units(*p) = 0;
        backend.push({Action::typeText(f.northId, "E200"), Action::ok(), Action::check([&](DialogWindow& w) {
                           auto& sw = dynamic_cast<ScriptedWindow&>(w);
                           ASSERT_EQ(sw.messages().size(), 1u);
                           EXPECT_EQ(sw.messages()[0].second.rfind("False Northing has the axis label 'E'", 0), 0u)
                               << sw.messages()[0].second;
                           EXPECT_EQ(sw.focus(), f.northId);
                       }),
                       Action::typeText(f.northId, "N200"), Action::typeText(f.eastId, "E300"), Action::ok()});
        EXPECT_EQ(p->editDialog(nullptr, nullptr), 1);
        EXPECT_EQ(f.north(*p), 200.0);
        EXPECT_EQ(f.east(*p), 300.0);
    }
}

TEST_F(DialogsTest, OkTakesAnglesScaleAndName) {
    TransverseMercator tm;
    backend.push({Action::typeText(7129, "Zone 31"), Action::typeText(7102, "E003 00.0000"),
                  Action::typeText(7166, "N45 30.0000"), Action::typeText(7120, "0.9999"), Action::ok()});
    ASSERT_EQ(tm.editDialog(nullptr, nullptr), 1);
    EXPECT_STREQ(tm.projName, "Zone 31");
    EXPECT_NEAR(tm.originLon, 3.0, 1e-12);
    EXPECT_NEAR(tm.originLat, 45.5, 1e-12);
    EXPECT_DOUBLE_EQ(tm.scaleFactor, 0.9999);
    EXPECT_DOUBLE_EQ(tm.falseEast, 500000.0);
}

// ---------------------------------------------------------------------------
// Datum and save-as forms

TEST_F(DialogsTest, EditDatumConfirmedUnchangedKeepsEveryFieldToTheBit) {
    Datum odd = ed50();
    odd.aAxis = 6378388.123456;
    odd.inverseFlattening = 297.000000001234;
    odd.deltaX = -87.123456;
    odd.rotX = 1.23456789e-4;
    odd.rotZ = -0.5e-4;
    odd.scalar = 1.23456789012e-6;
    for (const Datum& d : {Datum(), odd}) {
        SCOPED_TRACE(d.datumName);
        EditDatum form(nullptr);
        form.fill(d);
        backend.push({Action::ok()});
        ASSERT_EQ(form.doModal(), 1);
        Datum back;
        form.apply(back);
        EXPECT_STREQ(back.ellipseName, d.ellipseName);
        EXPECT_STREQ(back.datumName, d.datumName);
        for (auto [b, o] : {std::pair{back.aAxis, d.aAxis}, {back.inverseFlattening, d.inverseFlattening},
                            {back.deltaX, d.deltaX}, {back.deltaY, d.deltaY}, {back.deltaZ, d.deltaZ},
                            {back.rotX, d.rotX}, {back.rotY, d.rotY}, {back.rotZ, d.rotZ}, {back.scalar, d.scalar}})
            EXPECT_EQ(b, o);
    }
}

// Each field refuses what it cannot take: the form names the field in a message
// box, puts the focus in it and stays open; nothing reaches the datum until every
// field is accepted.
TEST_F(DialogsTest, EditDatumRefusesWhatItCannotKeep) {
    const struct {
        int id;
        std::string text;
        const char* label;
    } cases[] = {
        {7127, "abc", "Semi Major Axis"},       {7127, "637813", "Semi Major Axis"},
        {7177, "1,5", "DX"},                    {7144, "0", "Inverse Flattening"},
        {7144, "298.257,2", "Inverse Flattening"}, {7159, "N0 00 01", "Rot X"},
        {7174, "1.5", "Scale"},                 {7152, std::string(40, 'D'), "Datum Name"},
        {7136, "Hayford, 1909", "Ellipsoid Name"}, {7152, "", "Datum Name"},
        {7177, "E200", "DX"}, // a shift has no axis label
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EditDatum form(nullptr);
        form.fill(ed50());
        backend.push({Action::typeText(7181, "-100.5"), Action::typeText(c.id, c.text), Action::ok(),
                      Action::check([&](DialogWindow& w) {
                          auto& sw = dynamic_cast<ScriptedWindow&>(w);
                          EXPECT_FALSE(sw.closed());
                          ASSERT_EQ(sw.messages().size(), 1u);
                          EXPECT_EQ(sw.messages()[0].second.rfind(c.label, 0), 0u) << sw.messages()[0].second;
                          EXPECT_EQ(sw.focus(), c.id);
                      }),
                      Action::cancel()});
        EXPECT_EQ(form.doModal(), idCancel);
        Datum back = ed50();
        form.apply(back);
        EXPECT_EQ(back.deltaY, ed50().deltaY); // the accepted DY was not taken either
    }

    // Mended, the same form takes every field.
    EditDatum form(nullptr);
    form.fill(ed50());
    backend.push({Action::typeText(7127, "abc"), Action::ok(), Action::typeText(7127, "6378137.5"),
                  Action::typeText(7177, "-1.5"), Action::typeText(7152, std::string(24, 'D')), Action::ok()});
    ASSERT_EQ(form.doModal(), idOk);
    Datum back;
    form.apply(back);
    EXPECT_EQ(back.aAxis, 6378137.5);
    EXPECT_EQ(back.deltaX, -1.5);
    EXPECT_EQ(std::string(back.datumName), std::string(24, 'D'));
}

TEST_F(DialogsTest, SaveAsRefusesACommaAndStaysOpen) {
    CSaveAsDlg form(nullptr);
    backend.push({Action::typeText(idSaveAsName, "North,South"), Action::ok(), Action::check([](DialogWindow& w) {
                      EXPECT_FALSE(dynamic_cast<ScriptedWindow&>(w).closed());
                      EXPECT_EQ(w.text(idSaveAsMessage), CSaveAsDlg::commaMessage);
                  }),
                  Action::typeText(idSaveAsName, "North"), Action::ok()});
    EXPECT_EQ(form.doModal(), 1);
    EXPECT_EQ(form.name(), "North");
}

// ---------------------------------------------------------------------------
// The projection list and the Geodetics form

namespace {

// A Geodetics form on a working Transverse Mercator named general / specific.
struct GeodForm {
    GeodForm(const char* general, const char* specific) {
        auto* p = new Projection();
        p->setTypeStr(const_cast<char*>(general), const_cast<char*>(specific));
        original = p;
        form.setWorking(p, &datum);
    }
    Datum datum;
    NewGeod form;
    Projection* original;
};

std::vector<std::string> items(DialogWindow& w, int id) { return dynamic_cast<ScriptedWindow&>(w).items(id); }

} // namespace

TEST_F(DialogsTest, GeodeticsListsGeneralNamesInFileOrderAndSelectsByPrefix) {
    const Datum other = [] {
        Datum d = ed50();
        gw::copyBounded(d.datumName, "Later", sizeof d.datumName);
        return d;
    }();
    Lambert lambert;
    writeList(settings, {
                            projectionEntryLine("UTM", "Zone 3", ed50(), tmInit("First", -165).c_str()),
                            projectionEntryLine("Lambert", "Lambert II", ed50(), gw::initString(lambert).c_str()),
                            projectionEntryLine("UTM", "Zone 31", ed50(), tmInit("Zone 31", 3).c_str()),
                            projectionEntryLine("UTM", "Zone 3", other, tmInit("Second", -165).c_str()),
                        });
    GeodForm g("UTM", "Zone 3");
    backend.push({
        Action::check([&](DialogWindow& w) {
            EXPECT_EQ(items(w, 7186), (std::vector<std::string>{"UTM", "Lambert"}));
            EXPECT_EQ(w.selection(7186), 0);
            EXPECT_EQ(items(w, 7189), (std::vector<std::string>{"Zone 3", "Zone 31", "Zone 3"}));
            // The search starts at the second item: the shorter name selects the longer one.
            EXPECT_EQ(w.selection(7189), 1);
            EXPECT_EQ(g.form.workingProjection(), g.original); // opening applies nothing
            EXPECT_EQ(w.text(7137), "Datum:WGS 84");
        }),
        // The two "Zone 3" entries: the later one decides.
        Action::selectItem(7189, 0),
        Action::check([&](DialogWindow& w) {
            auto& tm = dynamic_cast<TransverseMercator&>(*g.form.workingProjection()->inner);
            EXPECT_STREQ(tm.projName, "Second");
            EXPECT_STREQ(g.datum.datumName, "Later");
            EXPECT_EQ(g.datum.aAxis, 6378388.0);
            EXPECT_EQ(w.text(7107), "Second");
            EXPECT_EQ(w.text(7137), "Datum:Later");
        }),
        Action::ok(),
    });
    ASSERT_EQ(g.form.doModal(), 1);
    Datum record;
    std::unique_ptr<Projection> chosen(g.form.commit(record));
    char general[30], specific[30];
    chosen->getTypeStr(general, specific);
    EXPECT_STREQ(general, "UTM");
    EXPECT_STREQ(specific, "Zone 3");
    EXPECT_STREQ(record.datumName, "Later");
    EXPECT_EQ(record.deltaZ, -121.0);
}

TEST_F(DialogsTest, GeneralNameWithoutTheSpecificNameLeavesProjectionAndDatum) {
    Lambert lambert;
    writeList(settings, {
                            projectionEntryLine("UTM", "Zone 31", ed50(), tmInit("Zone 31", 3).c_str()),
                            projectionEntryLine("Lambert", "Lambert II", ed50(), gw::initString(lambert).c_str()),
                        });
    GeodForm g("UTM", "Zone 31");
    backend.push({
        Action::selectItem(7186, 1),
        Action::check([&](DialogWindow& w) {
            EXPECT_EQ(items(w, 7189), std::vector<std::string>{"Lambert II"});
            EXPECT_EQ(w.selection(7189), -1);
            EXPECT_EQ(g.form.workingProjection(), g.original);
            EXPECT_STREQ(g.datum.datumName, "WGS 84");
        }),
        Action::ok(),
    });
    ASSERT_EQ(g.form.doModal(), 1);
    Datum record;
    std::unique_ptr<Projection> chosen(g.form.commit(record));
    EXPECT_EQ(chosen.get(), g.original);
    char general[30], specific[30];
    chosen->getTypeStr(general, specific);
    EXPECT_STREQ(general, "Lambert");
    EXPECT_STREQ(specific, "Zone 31");
}

TEST_F(DialogsTest, EveryDistinctGeneralNameOfTheFirst200EntriesIsListedCutToItsField) {
    std::vector<std::string> lines;
    for (int i = 0; i < 205; ++i)
        lines.push_back(gw::cFormatString("G%03d-abcdefghijklmnopqrstuvwxyz,%s", i, std::string(40, 's').c_str()));
    writeList(settings, lines);
    GeodForm g("none", "none");
    backend.push({Action::check([](DialogWindow& w) {
        const auto general = items(w, 7186);
        ASSERT_EQ(general.size(), 200u);
        EXPECT_EQ(general.front(), "G000-abcdefghijklmn");
        EXPECT_EQ(general.back(), "G199-abcdefghijklmn");
        EXPECT_EQ(w.selection(7186), 0);
        EXPECT_TRUE(items(w, 7189).empty());
    })});
    EXPECT_EQ(g.form.doModal(), 2);

    const ProjDataStruct e = parseProjectionEntry(lines[0]);
    EXPECT_EQ(std::string(e.specific), std::string(29, 's'));
    EXPECT_TRUE(e.params.empty());
    EXPECT_STREQ(parseProjectionEntry("no comma").general, "");
}

TEST_F(DialogsTest, SaveAsAppendsOneWholeEntry) {
    writeList(settings, {"A,a,x", "B,b,y"});
    GeodForm g("UTM", "Zone 11");
    g.datum = ed50();
    g.datum.scalar = 1.7e-6;
    backend.push({Action::click(7100), Action::check([](DialogWindow& w) {
                      EXPECT_EQ(items(w, 7186), (std::vector<std::string>{"A", "B"})); // not listed while open
                  }),
                  Action::cancel()});
    backend.push({Action::typeText(idSaveAsName, "Mine"), Action::ok()});
    EXPECT_EQ(g.form.doModal(), 2);
    EXPECT_EQ(backend.opened, (std::vector<int>{7011, 7010}));

    const std::string file = settings.file("projlist2.ini");
    EXPECT_EQ(gw::iniGetInt("PROJECTIONS", "NumberProjections", 0, file.c_str()), 3);
    const std::string line = gw::iniGetString("PROJECTIONS", "proj3", "", file.c_str());
    const std::string init = gw::initString(*g.original);
    // The scale needs a seventh decimal to read back; the other numbers keep their form.
    EXPECT_EQ(line, "UTM,Mine,International 1924,6378388.00,297.000000,ED50,-87.000000,-98.000000,-121.000000,"
                    "0.0000017,0.000000,0.000000,0.000000," + init);
    const auto entries = readProjectionList();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_STREQ(initStringOf(*entries[2]), init.c_str());
}

TEST_F(DialogsTest, SaveAsCancelledOrRefusedWritesNothing) {
    writeList(settings, {"A,a,x"});
    const std::string file = settings.file("projlist2.ini");
    GeodForm g("UTM", "Zone 11");
    backend.push({Action::click(7100), Action::cancel()});
    backend.push({Action::typeText(idSaveAsName, "a,b"), Action::ok(), Action::cancel()});
    EXPECT_EQ(g.form.doModal(), 2);
    EXPECT_EQ(gwtest::sectionKeys(file, "PROJECTIONS"), (std::vector<std::string>{"NumberProjections", "Proj1"}));
}

TEST_F(DialogsTest, SaveAsThatCannotWriteTheListSaysSo) {
    std::filesystem::create_directory(settings.file("projlist2.ini")); // a folder where the list should be
    GeodForm g("UTM", "Zone 11");
    backend.push({Action::click(7100), Action::cancel()});
    backend.push({Action::typeText(idSaveAsName, "Mine"), Action::ok()});
    EXPECT_EQ(g.form.doModal(), 2);
    ASSERT_EQ(backend.messages.size(), 1u);
    EXPECT_EQ(backend.messages[0].first, "Save As");
    EXPECT_NE(backend.messages[0].second.find("\"Mine\" was not added"), std::string::npos) << backend.messages[0].second;
}

TEST_F(DialogsTest, ConcurrentAppendsFromTwoProcessesLoseNoEntry) {
    constexpr int kEach = 25;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            bool ok = true;
            for (int k = 0; k < kEach; ++k)
                ok = appendProjectionEntry(gw::cFormatString("P%d,N%d,x", c, k)) && ok;
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string file = settings.file("projlist2.ini");
    EXPECT_EQ(gw::iniGetInt("PROJECTIONS", "NumberProjections", 0, file.c_str()), 2 * kEach);
    std::set<std::string> seen;
    for (const auto& e : readProjectionList()) seen.insert(std::string(e->general) + "/" + e->specific);
    EXPECT_EQ(seen.size(), 2u * kEach);
}

TEST_F(DialogsTest, EditButtonsRunTheProjectionAndDatumForms) {
    writeList(settings, {});
    GeodForm g("UTM", "Zone 11");
    backend.push({Action::click(7160), Action::click(7128),
                  Action::check([&](DialogWindow& w) {
                      EXPECT_EQ(w.text(7107), "Edited");
                      EXPECT_EQ(w.text(7137), "Datum:Mine");
                      EXPECT_EQ(g.datum.aAxis, 6378000.0);
                  }),
                  Action::ok()});
    backend.push({Action::typeText(7129, "Edited"), Action::ok()});
    backend.push({Action::typeText(7152, "Mine"), Action::typeText(7127, "6378000"), Action::ok()});
    EXPECT_EQ(g.form.doModal(), 1);
    EXPECT_EQ(backend.opened, (std::vector<int>{7011, 7013, 7012}));
    // The nested forms open over the Geodetics form's window.
    EXPECT_NE(backend.parents[1], nullptr);
    EXPECT_EQ(backend.parents[1], backend.parents[2]);
    EXPECT_EQ(backend.parents[0], nullptr);
}
