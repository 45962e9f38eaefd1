// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The dialogs behind the C interface: editDialog on the geodesy instance and
// dataUnitsDialog on the units object, run with the scripted backend, and both
// without any way to show a dialog.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/ProjectionList.h"
#include "dialogs/ScriptedBackend.h"
#include "facade/Geodetics.h"
#include "gridwise/batch.h"
#include "gridwise/geodetics.h"
#include "gridwise/units.h"
#include "platform/CLocale.h"
#include "platform/ModuleState.h"
#include "projections/InitText.h"
#include "projections/Lambert.h"
#include "support/SettingsFiles.h"

using gw::dlg::Action;

namespace {

// No display for this program: the toolkit backend is looked for once per process,
// and these tests need it absent.
[[maybe_unused]] const bool noDisplay = [] {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
    return true;
}();

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DialogExports : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("GRIDWISE_SETTINGS_DIR")) oldDir = old;
        setenv("GRIDWISE_SETTINGS_DIR", std::filesystem::path(dir.file("x")).parent_path().c_str(), 1);
        ASSERT_EQ(allocGeodetics(), 1);
        g = gw::geodesyInstance();
    }
    void TearDown() override {
        gw::dlg::setDialogBackend(nullptr);
        deAllocGeodetics();
        deAllocUnits(nullptr);
        if (oldDir.empty())
            unsetenv("GRIDWISE_SETTINGS_DIR");
        else
            setenv("GRIDWISE_SETTINGS_DIR", oldDir.c_str(), 1);
    }


    // A list with one Lambert entry on the International ellipsoid.
    void writeLambertList() {
        Datum d;
        gw::copyBounded(d.ellipseName, "International 1924", sizeof d.ellipseName);
        gw::copyBounded(d.datumName, "ED50", sizeof d.datumName);
        d.aAxis = 6378388.0;
        d.inverseFlattening = 297.0;
        Lambert lambert;
        const std::string line = gw::dlg::projectionEntryLine("Lambert", "Lambert II", d, gw::initString(lambert).c_str());
        gwtest::writeFile(dir.file("projlist2.ini"), "[PROJECTIONS]\nNumberProjections=1\nProj1=" + line + "\n");
    }

    gwtest::TempDir dir;
    std::string oldDir;
    Geodetics* g = nullptr;
};

TEST_F(DialogExports, EditDialogOkTakesTheChosenProjectionAndDatum) {
    writeLambertList();
    gw::dlg::ScriptedBackendScope scope;
    Projection* before = g->projection;
    scope.backend.push({Action::check([](gw::dlg::DialogWindow&) { EXPECT_TRUE(gw::moduleStateActive()); }),
                        Action::selectItem(7186, 0), Action::selectItem(7189, 0), Action::ok()});
    EXPECT_EQ(editDialog(nullptr), 1);
    EXPECT_FALSE(gw::moduleStateActive());
    EXPECT_NE(g->projection, before);
    EXPECT_EQ(g->projection->type, 1);
    char general[30], specific[30];
    ASSERT_EQ(getInfo(general, specific), 1);
    EXPECT_STREQ(general, "Lambert");
    EXPECT_STREQ(specific, "Lambert II");
    EXPECT_STREQ(g->datum.datumName, "ED50");
    Datum expected;
    expected.aAxis = 6378388.0;
    expected.inverseFlattening = 297.0;
    expected.update();
    EXPECT_DOUBLE_EQ(g->datum.eccSq, expected.eccSq);
    // geoparm ran with the new datum: the projection's own copy has it.
    EXPECT_EQ(dynamic_cast<Lambert&>(*g->projection->inner).datum.aAxis, 6378388.0);
}

TEST_F(DialogExports, EditDialogCancelLeavesTheInstanceAsItWas) {
    writeLambertList();
    gw::dlg::ScriptedBackendScope scope;
    Projection* before = g->projection;
    const std::string init = gw::initString(*before);
    const Datum datum = g->datum;
    // An entry applied, the datum and the projection edited, then Cancel.
    scope.backend.push({Action::selectItem(7186, 0), Action::selectItem(7189, 0), Action::click(7128), Action::click(7160), Action::cancel()});
    scope.backend.push({Action::typeText(7127, "6000000"), Action::ok()});
    scope.backend.push({Action::typeText(7139, "Changed"), Action::ok()});
    EXPECT_EQ(editDialog(nullptr), 0);
    EXPECT_EQ(scope.backend.opened, (std::vector<int>{7011, 7012, 7014}));
    EXPECT_EQ(g->projection, before);
    EXPECT_EQ(gw::initString(*g->projection), init);
    EXPECT_EQ(g->datum.aAxis, datum.aAxis);
    EXPECT_STREQ(g->datum.datumName, datum.datumName);
    EXPECT_EQ(g->datum.eccSq, datum.eccSq);
    EXPECT_FALSE(gw::moduleStateActive());
}

// Sections with values the forms' texts cannot carry exactly: false values in US
// survey feet and in a unit no button offers, Kestrel constants and factors with
// more digits than their fields show, a local centre beyond the poles.
const char* const kAwkwardSections = R"([tm-units-3]
GeodesyType=0
projName=Odd unit
originLon=W084 10.1234
originLat=N30 00.5678
falseNorth=123.456
falseEast=500000.001
scaleFactor=0.999873
units=3
[polar-feet]
GeodesyType=4
projName=South polar
lonOfOrigin=E012 34.5678
latOfOrigin=S90 00.0000
scaleFactor=0.994123
falseNorth=2000000.123
falseEast=1999999.987
units=1
[kestrel]
GeodesyType=3
localProjName=Site grid
eToLocalNorth=0.000012345679
eToLocalEast=0.999999876543
eToLocalConst=2000.0000
localToENorth=-0.000012345679
localToEEast=1.000000123457
localToEConst=-1234.5678
localToNNorth=1.000000123457
localToNEast=0.000012345679
localToNConst=0.0001
nToLocalNorth=0.999999876543
nToLocalEast=-0.000012345679
nToLocalConst=98765.4321
localGeodesyType=0
projName=Base zone
originLon=W084 10.0000
falseEast=700000.000
units=2
[local-beyond]
GeodesyType=5
localProjName=Beyond
localCenterLat=95.000000000000
localCenterLon=200.000000000000
[local]
GeodesyType=5
localProjName=Delft
localCenterLat=52.011234567891
localCenterLon=4.359876543219
[rd]
GeodesyType=7
aAxis=6377397.16
inverseFlattening=299.1528128
ellipseName=Bessel 1841
datumName=Amersfoort
deltaX=565.417
deltaY=50.3319
deltaZ=465.552
rotX=-0.000110419
scalar=0.0000040772
)";

// The Geodetics dialog, the projection's form and the datum form, each closed
// with OK without an edit, change no value of a section: what is saved after them
// is what was saved before, key by key.
TEST_F(DialogExports, OkWithoutEditsChangesNoStoredValue) {
    const std::string data = std::string(GRIDWISE_TEST_DATA) + "/../../data/";
    const std::string awkward = dir.file("awkward.ini");
    gwtest::writeFile(awkward, kAwkwardSections);
    const struct {
        std::string file;
        const char* section;
        bool hasForm;
    } cases[] = {
        {data + "survey/settings.ini", "georgia-west", true}, {data + "survey/settings.ini", "california-5", true},
        {data + "survey/settings.ini", "pier-baseline", true}, {data + "survey/settings.ini", "ed50-utm31", true},
        {data + "sample-settings.ini", "geodesy", true},       {awkward, "tm-units-3", true},
        {awkward, "polar-feet", true},                         {awkward, "kestrel", true},
        {awkward, "local-beyond", true},                       {awkward, "local", true},
        {awkward, "rd", false},
    };
    gw::dlg::ScriptedBackendScope scope;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        std::string file = c.file;
        std::string section = c.section;
        loadGeoData(section.data(), file.data());
        std::string before = dir.file("before.ini"), after = dir.file("after.ini");
        saveGeoData(section.data(), before.data());
        ASSERT_GT(gwtest::sectionLines(before, section).size(), 4u);

        scope.backend.push({Action::click(7160), Action::click(7128), Action::ok()});
        if (c.hasForm) scope.backend.push({Action::ok()});
        scope.backend.push({Action::ok()});
        ASSERT_EQ(editDialog(nullptr), 1);
        EXPECT_EQ(scope.backend.scriptsLeft(), 0);
        saveGeoData(section.data(), after.data());
        EXPECT_EQ(gwtest::sectionLines(after, section), gwtest::sectionLines(before, section));
        std::filesystem::remove(before);
        std::filesystem::remove(after);
    }
}

// Values the text forms cannot show are shown as they are, never as a zero that
// OK would store: a local centre beyond the poles in plain degrees, false values
// of a unit index no button offers in metres (with no button checked).
TEST_F(DialogExports, ValuesTheTextFormsCannotShowAreShownAsTheyAre) {
    const std::string awkward = dir.file("awkward.ini");
    gwtest::writeFile(awkward, kAwkwardSections);
    gw::dlg::ScriptedBackendScope scope;
    const struct {
        const char* section;
        std::vector<std::pair<int, std::string>> texts;
    } cases[] = {
        {"local-beyond", {{7125, "95.0000000000"}, {7134, "200.0000000000"}}},
        {"tm-units-3", {{7114, "123.46m"}, {7108, "500000.00m"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        std::string section = c.section, file = awkward;
        loadGeoData(section.data(), file.data());
        scope.backend.push({Action::click(7160), Action::cancel()});
        scope.backend.push({Action::check([&](gw::dlg::DialogWindow& w) {
                                for (const auto& [id, text] : c.texts) EXPECT_EQ(w.text(id), text);
                                for (int id : {7138, 7146, 7154}) EXPECT_FALSE(w.checked(id));
                            }),
                            Action::cancel()});
        EXPECT_EQ(editDialog(nullptr), 0);
        EXPECT_EQ(scope.backend.scriptsLeft(), 0);
    }
}

TEST_F(DialogExports, DataUnitsShowsAndStoresTheUnitSettings) {
    const std::string file = dir.file("units.ini");
    gwtest::writeFile(file, "[units]\ndistUnits=1\nwpUnits=3\nlatLonStyle=1\ndefaultLatHemi=1\n"
                            "defaultLonHemi=1\ndefaultEntry=0\ndefaultDistCalc=5\n");
    ASSERT_EQ(allocUnits(const_cast<char*>(file.c_str())), 1);
    loadUnits(const_cast<char*>(file.c_str()));
    gw::dlg::ScriptedBackendScope scope;

    // Cancel: 0, and the file is not touched.
    const std::string before = readAll(file);
    scope.backend.push({Action::selectItem(7105, 3), Action::click(7169), Action::cancel()});
    EXPECT_EQ(dataUnitsDialog(nullptr), 0);
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(getUnits()->distUnits, 1);

    // OK without changes: the same values, defaultDistCalc as 0 or 1.
    scope.backend.push({Action::check([](gw::dlg::DialogWindow& w) {
                            EXPECT_TRUE(gw::moduleStateActive());
                            EXPECT_EQ(dynamic_cast<gw::dlg::ScriptedWindow&>(w).items(7105).size(), 5u);
                            EXPECT_EQ(w.selection(7105), 1);
                            EXPECT_TRUE(w.checked(7123));
                            EXPECT_FALSE(w.checked(7111));
                            EXPECT_TRUE(w.checked(7162));
                            EXPECT_FALSE(w.checked(7169));
                        }),
                        Action::ok()});
    void* parent = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(dataUnitsDialog(parent), 1);
    EXPECT_EQ(scope.backend.parents.back(), parent);
    EXPECT_EQ(gwtest::sectionLines(file, "units"),
              (std::vector<std::pair<std::string, std::string>>{{"distUnits", "1"},
                                                                 {"wpUnits", "3"},
                                                                 {"latLonStyle", "1"},
                                                                 {"defaultLatHemi", "1"},
                                                                 {"defaultLonHemi", "1"},
                                                                 {"defaultEntry", "0"},
                                                                 {"defaultDistCalc", "1"}}));

    // Changes: kilometres, degrees and minutes, grid.
    scope.backend.push({Action::selectItem(7105, 3), Action::click(7111), Action::click(7169), Action::ok()});
    EXPECT_EQ(dataUnitsDialog(nullptr), 1);
    const Units* u = getUnits();
    EXPECT_EQ(u->distUnits, 3);
    EXPECT_EQ(u->latLonStyle, 0);
    EXPECT_EQ(u->defaultEntry, 1);
    EXPECT_EQ(u->wpUnits, 3);
}

// OK takes the settings; a units file that cannot be written is told, on the
// form and through gwLastError.
TEST_F(DialogExports, DataUnitsThatCannotSaveSaysSo) {
    const std::string file = dir.file("units-folder.ini");
    std::filesystem::create_directory(file);
    ASSERT_EQ(allocUnits(const_cast<char*>(file.c_str())), 1);
    loadUnits(const_cast<char*>(file.c_str()));
    gw::dlg::ScriptedBackendScope scope;
    scope.backend.push({Action::selectItem(7105, 3), Action::ok()});
    EXPECT_EQ(dataUnitsDialog(nullptr), 1);
    EXPECT_EQ(getUnits()->distUnits, 3);
    EXPECT_EQ(gwLastErrorCode(), GW_ERROR_FILE_UNWRITABLE);
    ASSERT_EQ(scope.backend.messages.size(), 1u);
    EXPECT_NE(scope.backend.messages[0].second.find("not saved"), std::string::npos) << scope.backend.messages[0].second;
}

TEST_F(DialogExports, DataUnitsWithoutAUnitsObjectOpensEmpty) {
    gw::dlg::ScriptedBackendScope scope;
    scope.backend.push({Action::check([](gw::dlg::DialogWindow& w) {
                            EXPECT_EQ(w.itemCount(7105), 0);
                            for (int id : {7111, 7123, 7162, 7169}) EXPECT_FALSE(w.checked(id));
                        }),
                        Action::ok()});
    EXPECT_EQ(dataUnitsDialog(nullptr), 1);
    EXPECT_EQ(getUnits(), nullptr);
}

TEST_F(DialogExports, WithoutABackendOrDisplayBothReturnZeroAndChangeNothing) {
    const std::string file = dir.file("units.ini");
    gwtest::writeFile(file, "[units]\ndistUnits=1\n");
    ASSERT_EQ(allocUnits(const_cast<char*>(file.c_str())), 1);
    loadUnits(const_cast<char*>(file.c_str()));
    const std::string before = readAll(file);
    Projection* projection = g->projection;
    gw::dlg::setDialogBackend(nullptr);
    EXPECT_EQ(editDialog(nullptr), 0);
    EXPECT_EQ(dataUnitsDialog(nullptr), 0);
    EXPECT_EQ(g->projection, projection);
    EXPECT_EQ(readAll(file), before);
    EXPECT_FALSE(gw::moduleStateActive());
}

} // namespace
