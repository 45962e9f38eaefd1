// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The local systems' dialogs, played with the scripted backend: what they show,
// what OK writes back and Cancel keeps, the affine system's choice of a new base
// projection from the projection list, and the base projection's own dialog run
// from them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/DialogTemplate.h"
#include "dialogs/Install.h"
#include "dialogs/ProjectionList.h"
#include "dialogs/ScriptedBackend.h"
#include "platform/CLocale.h"
#include "projections/EditDialogs.h"
#include "projections/InitText.h"
#include "projections/KestrelLocal.h"
#include "projections/Lambert.h"
#include "projections/Local.h"
#include "projections/StaOff.h"
#include "projections/TransverseMercator.h"

namespace {

using gw::dlg::Action;
using gw::dlg::DialogWindow;

constexpr double kUsFoot = 0.30480060960121924;


std::string tmInit(const char* name, double originLon, int units) {
    TransverseMercator tm;
    gw::copyBounded(tm.projName, name, sizeof tm.projName);
    tm.originLon = originLon;
    tm.units = units;
    return gw::initString(tm);
}

void setNames(Projection& p, const char* general, const char* specific) {
    std::string g = general, s = specific;
    p.setTypeStr(g.data(), s.data());
}

std::string specificOf(Projection& p) {
    char general[30] = "", specific[30] = "";
    p.getTypeStr(general, specific);
    return specific;
}

TransverseMercator& tmOf(gw::BaseProjection& base) {
    auto* tm = dynamic_cast<TransverseMercator*>(base->inner);
    EXPECT_NE(tm, nullptr);
    return *tm;
}

std::vector<std::string> linesOf(Projection& p) {
    char lines[6][50] = {};
    p.getLines(lines);
    return {lines, lines + 6};
}

// A projection list as the Geodetics dialog holds it: entries with the datum
// fields before the projection's string, then null slots.
class ProjList {
public:
    void add(const char* general, const char* specific, const std::string& params) {
        auto e = std::make_unique<ProjDataStruct>();
        gw::copyBounded(e->general, general, sizeof e->general);
        gw::copyBounded(e->specific, specific, sizeof e->specific);
        e->params = params;
        slots_[entries_.size()] = e.get();
        entries_.push_back(std::move(e));
    }
    void addProjection(const char* general, const char* specific, const std::string& init) {
        add(general, specific, "WGS 84,6378137.00,298.257224,WGS 84,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,0.000000," + init);
    }
    ProjDataStruct** slots() { return slots_; }

private:
    std::vector<std::unique_ptr<ProjDataStruct>> entries_;
    ProjDataStruct* slots_[gw::dlg::kMaxProjEntries] = {};
};

class LocalDialogs : public ::testing::Test {
protected:
    void SetUp() override { gw::dlg::installLocalDialogs(); }
    gw::dlg::ScriptedBackendScope scope;
    gw::dlg::ScriptedBackend& backend = scope.backend;
};

// A stand-in for a base projection's own dialog: notes how it was called and
// changes the Transverse Mercator's name and unit.
struct FakeBaseDialog {
    static inline int runs = 0;
    static inline CWnd* parent = nullptr;
    static inline ProjDataStruct** list = nullptr;
    static int run(Projection& p, CWnd* parentIn, ProjDataStruct** listIn) {
        ++runs;
        parent = parentIn;
        list = listIn;
        if (auto* tm = dynamic_cast<TransverseMercator*>(&p)) {
            gw::copyBounded(tm->projName, "Edited", sizeof tm->projName);
            tm->units = 1;
        }
        return 1;
    }
};

// Installs the stand-in for Transverse Mercator bases for its lifetime, then
// puts back what the dialog layer installs.
class FakeBaseDialogScope {
public:
    FakeBaseDialogScope() {
        FakeBaseDialog::runs = 0;
        FakeBaseDialog::parent = nullptr;
        FakeBaseDialog::list = nullptr;
        gw::setProjectionDialog(0, FakeBaseDialog::run);
    }
    ~FakeBaseDialogScope() {
        gw::setProjectionDialog(0, nullptr);
        gw::dlg::installProjectionDialogs();
    }
};

// ---------------------------------------------------------------------------------
// Templates

TEST(LocalTemplates, ControlsAreThereInsideTheFormAndApart) {
    struct Expected {
        int templateId;
        const char* caption;
        std::vector<int> edits, lines, buttons, lists;
    };
    const Expected forms[] = {
        {7017, "Kestrel Local Coordinate System",
         {7106, 7112, 7118, 7124, 7133, 7142, 7150, 7158, 7163, 7170, 7173, 7176},
         {7187, 7190, 7193, 7196, 7199, 7202}, {7179}, {7183}},
        {7018, "Local Coordinate System", {7125, 7134}, {}, {}, {}},
        {7019, "Station/Offset System", {7126, 7135, 7143, 7151}, {7188, 7191, 7194, 7197, 7200, 7203}, {7180}, {7184}},
    };
    using K = gw::dlg::ControlKind;
    for (const Expected& f : forms) {
        const gw::dlg::DialogTemplate* t = gw::dlg::findTemplate(f.templateId);
        ASSERT_NE(t, nullptr);
        SCOPED_TRACE(f.caption);
        EXPECT_STREQ(t->caption, f.caption);
        auto expectKind = [&](int id, K kind, int height) {
            const gw::dlg::ControlTemplate* c = t->control(id);
            ASSERT_NE(c, nullptr) << id;
            EXPECT_EQ(c->kind, kind) << id;
            EXPECT_EQ(c->height, height) << id;
        };
        for (int id : f.edits) expectKind(id, K::edit, 12);
        for (int id : f.lines) {
            expectKind(id, K::staticText, 8);
            EXPECT_GE(t->control(id)->width, 49 * 4) << id;
        }
        for (int id : f.buttons) expectKind(id, K::pushButton, 14);
        for (int id : f.lists) expectKind(id, K::dropList, 80); // the dropped list shows several items
        expectKind(gw::dlg::idOk, K::defPushButton, 14);
        expectKind(gw::dlg::idCancel, K::pushButton, 14);
        EXPECT_LT(t->control(gw::dlg::idOk)->x, t->control(gw::dlg::idCancel)->x);

        // Closed, a drop-down list is as high as an edit field; dropped, it may
        // cover what lies below.
        auto closed = [](gw::dlg::ControlTemplate c) {
            if (c.kind == K::dropList) c.height = 12;
            return c;
        };
        for (std::size_t i = 0; i < t->controls.size(); ++i) {
            const auto a = closed(t->controls[i]);
            EXPECT_TRUE(a.x > 0 && a.y > 0 && a.x + a.width < t->width && a.y + a.height < t->height) << a.label;
            if (a.kind == K::staticText && a.id < 0) {
                EXPECT_GE(a.width, 4 * static_cast<int>(std::strlen(a.label))) << a.label;
            }
            for (std::size_t j = i + 1; j < t->controls.size(); ++j) {
                const auto b = closed(t->controls[j]);
                if (a.kind == K::groupBox || b.kind == K::groupBox) continue;
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                                   b.y + b.height <= a.y;
                EXPECT_TRUE(apart) << a.id << " '" << a.label << "' and " << b.id << " '" << b.label << "'";
            }
        }
    }
}

// ---------------------------------------------------------------------------------
// LocalProj

TEST_F(LocalDialogs, LocalProjShowsTheOriginAndOkWithoutEditsKeepsIt) {
    struct Case {
        double lat, lon;
        const char* latText; // null: not checked
        const char* lonText;
    };
    const Case cases[] = {
        {52.0854, 4.8686, "N52 05.1240", "E004 52.1160"},
        {-33.45678, -70.6543, "S33 27.4068", "W070 39.2580"},
        {0.0, 0.0, "N00 00.0000", "E000 00.0000"},
        {12.3456789012, -0.000001, nullptr, nullptr},
        {89.999999999, 179.999999999, "N90 00.0000", "E180 00.0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        Local local;
        local.centerLat = c.lat;
        local.centerLon = c.lon;
        std::string shownLat, shownLon;
        backend.push({Action::check([&](DialogWindow& w) {
                          shownLat = w.text(7125);
                          shownLon = w.text(7134);
                      }),
                      Action::ok()});
        EXPECT_EQ(local.editDialog(nullptr, nullptr), 1);
        if (c.latText != nullptr) {
            EXPECT_EQ(shownLat, c.latText);
            EXPECT_EQ(shownLon, c.lonText);
        }
        EXPECT_EQ(local.centerLat, c.lat); // not read back from the shown minutes
        EXPECT_EQ(local.centerLon, c.lon);
    }
}

TEST_F(LocalDialogs, LocalProjReadsTypedTextOnOkOnly) {
    struct Case {
        const char* lat;
        const char* lon;
        bool ok;
        double wantLat, wantLon;
    };
    const Case cases[] = {
        {"S33 30.0000", "W070 15.0000", true, -33.5, -70.25},
        {"10 30 36", "E004 52.1160", true, 10.51, 4.8686},
        {"no number", "W070 15.0000", false, 52.5, 4.25},   // refused: the form stays open until Cancel
        {"S33 30.0000", "", false, 52.5, 4.25},
        {"S33 30.0000", "N070 15.0000", false, 52.5, 4.25}, // a latitude in the longitude field
        {"S95 00.0000", "W070 15.0000", false, 52.5, 4.25}, // beyond the pole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        // Through the envelope, as the Geodetics dialog holds the projection.
        std::string init = "5,Site,52.5,4.25,";
        Projection envelope(init.data());
        auto* local = dynamic_cast<Local*>(envelope.inner);
        ASSERT_NE(local, nullptr);
        backend.push({Action::typeText(7125, c.lat), Action::typeText(7134, c.lon), Action::ok()});
        EXPECT_EQ(envelope.editDialog(nullptr, nullptr), c.ok ? 1 : 0);
        EXPECT_NEAR(local->centerLat, c.wantLat, 1e-12);
        EXPECT_NEAR(local->centerLon, c.wantLon, 1e-12);
        EXPECT_STREQ(local->localProjName, "Site");
    }
    EXPECT_EQ(backend.opened, std::vector<int>(std::size(cases), 7018));
}

TEST_F(LocalDialogs, RunnersRefuseOtherClasses) {
    TransverseMercator tm;
    for (int code : {3, 5, 6}) EXPECT_EQ(gw::runProjectionDialog(code, tm, nullptr, nullptr), 0) << code;
    EXPECT_TRUE(backend.opened.empty());
}

// ---------------------------------------------------------------------------------
// LocalDlg

// An affine local system "UTM"/"Site grid" over a Transverse Mercator "UTM"/
// "UTM 31" in metres, with a list that holds its own entry, its base's group and
// another group.
class KestrelDialog : public LocalDialogs {
protected:
    void SetUp() override {
        LocalDialogs::SetUp();
        prepare();
    }
    void prepare() {
        system = KestrelLocal();
        list = ProjList();
        system.localToNNorth = 0.999876543210;
        system.localToNEast = -0.015707317312;
        system.localToNConst = 1000.0;
        system.localToENorth = 0.015707317312;
        system.localToEEast = 0.999876543210;
        system.localToEConst = -2500.125;
        system.nToLocalNorth = 1.000123456789;
        system.nToLocalEast = 0.015709;
        system.nToLocalConst = -999.875;
        system.eToLocalNorth = -0.015709;
        system.eToLocalEast = 1.000123456789;
        system.eToLocalConst = 2500.0;
        setNames(system, "UTM", "Site grid");
        system.baseProj.reset(tmInit("UTM 31", 3.0, 0).data());
        setNames(*system.baseProj, "UTM", "UTM 31");

        list.addProjection("UTM", "UTM 31", tmInit("UTM 31", 3.0, 0));
        Lambert lambert;
        list.addProjection("Lambert", "LCC", gw::initString(lambert));
        list.addProjection("UTM", "Site grid", gw::initString(system));
        list.addProjection("UTM", "UTM 32", tmInit("UTM 32 old", 9.0, 0));
        list.addProjection("UTM", "UTM 31 ft", tmInit("UTM 31 ft", 3.0, 1));
        list.add("UTM", "Broken", "too,few,commas");
        StaOff staOff;
        list.addProjection("UTM", "Nested", gw::initString(staOff));
        list.addProjection("UTM", "UTM 32", tmInit("UTM 32", 15.0, 0)); // the later entry wins
    }
    int run() { return system.editDialog(nullptr, list.slots()); }

    KestrelLocal system;
    ProjList list;
};

TEST_F(KestrelDialog, ShowsCoefficientsBaseAndCandidatesAndOkKeepsThem) {
    const KestrelLocal before = system;
    Projection* const baseBefore = system.baseProj->inner;
    backend.push({Action::check([&](DialogWindow& w) {
                      const gw::dlg::ScriptedWindow& sw = static_cast<gw::dlg::ScriptedWindow&>(w);
                      // The base's group without the system's own entry, in list order.
                      // Entries that cannot be a base (no initialisation string, a
                      // station/offset system) are not offered.
                      EXPECT_EQ(sw.items(7183), (std::vector<std::string>{"UTM 31", "UTM 32", "UTM 31 ft", "UTM 32"}));
                      // Select by prefix searches from the second item on.
                      EXPECT_EQ(w.selection(7183), 2);
                      EXPECT_EQ(w.text(7106), "0.999876543210");
                      EXPECT_EQ(w.text(7112), "-0.015707317312");
                      EXPECT_EQ(w.text(7173), "1.000123456789");
                      EXPECT_EQ(w.text(7118), "1000.000m");
                      EXPECT_EQ(w.text(7142), "-2500.125m");
                      EXPECT_EQ(w.text(7163), "-999.875m");
                      EXPECT_EQ(w.text(7176), "2500.000m");
                      const auto lines = linesOf(*system.baseProj);
                      const int ids[6] = {7187, 7190, 7193, 7196, 7199, 7202};
                      for (int i = 0; i < 6; ++i) EXPECT_EQ(w.text(ids[i]), lines[static_cast<std::size_t>(i)]);
                      EXPECT_EQ(w.text(7187), "UTM 31");
                  }),
                  Action::ok()});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(system.baseProj->inner, baseBefore); // the selection made on opening chose nothing
    double KestrelLocal::*const members[] = {
        &KestrelLocal::localToNNorth, &KestrelLocal::localToNEast, &KestrelLocal::localToNConst,
        &KestrelLocal::localToENorth, &KestrelLocal::localToEEast, &KestrelLocal::localToEConst,
        &KestrelLocal::nToLocalNorth, &KestrelLocal::nToLocalEast, &KestrelLocal::nToLocalConst,
        &KestrelLocal::eToLocalNorth, &KestrelLocal::eToLocalEast, &KestrelLocal::eToLocalConst,
    };
    for (auto m : members) EXPECT_EQ(system.*m, before.*m); // not read back from the shown decimals
}

TEST_F(KestrelDialog, TypedFactorsAreReadOnOkAndGarbageIsRefused) {
    backend.push({Action::typeText(7106, "0.5"), Action::typeText(7150, "-1e-3"), Action::ok()});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(system.localToNNorth, 0.5);
    EXPECT_EQ(system.nToLocalNorth, -0.001);

    for (const auto& [id, text] : {std::pair{7173, "x"}, {7133, " 2.25abc"}, {7112, "0,5"}, {7142, "nothing"},
                                   {7118, "12 m 3"}, {7118, "E200"}, {7142, "N200"}}) {
        SCOPED_TRACE(text);
        prepare();
        const KestrelLocal before = system;
        backend.push({Action::typeText(7106, "0.5"), Action::typeText(id, text), Action::ok(),
                      Action::check([id = id](DialogWindow& w) {
                          auto& sw = static_cast<gw::dlg::ScriptedWindow&>(w);
                          EXPECT_FALSE(sw.closed());
                          EXPECT_EQ(sw.messages().size(), 1u);
                          EXPECT_EQ(sw.focus(), id);
                      }),
                      Action::cancel()});
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(system.localToNNorth, before.localToNNorth);
    }
}

TEST_F(KestrelDialog, ChoosingABaseThenCancelKeepsTheOldOne) {
    Projection* const baseBefore = system.baseProj->inner;
    backend.push({Action::selectItem(7183, 1), Action::check([](DialogWindow& w) { EXPECT_EQ(w.text(7187), "UTM 32"); }),
                  Action::selectItem(7183, 2), Action::typeText(7106, "7"), Action::cancel()});
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(system.baseProj->inner, baseBefore);
    EXPECT_EQ(specificOf(*system.baseProj), "UTM 31");
    EXPECT_EQ(tmOf(system.baseProj).originLon, 3.0);
    EXPECT_EQ(system.localToNNorth, 0.999876543210);
}

TEST_F(KestrelDialog, ChoosingABaseThenOkHandsItOver) {
    struct Case {
        std::vector<int> picks;
        const char* specific;
        double originLon;
        int units;
        const char* projName;
    };
    const Case cases[] = {
        {{1}, "UTM 32", 15.0, 0, "UTM 32"},            // the last matching entry
        {{3}, "UTM 32", 15.0, 0, "UTM 32"},
        {{1, 2}, "UTM 31 ft", 3.0, 1, "UTM 31 ft"},    // the last choice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.specific);
        prepare();
        Projection* const baseBefore = system.baseProj->inner;
        std::vector<Action> script;
        for (int pick : c.picks) script.push_back(Action::selectItem(7183, pick));
        script.push_back(Action::ok());
        backend.push(std::move(script));
        EXPECT_EQ(run(), 1);
        EXPECT_NE(system.baseProj->inner, baseBefore);
        EXPECT_EQ(system.baseProj->type, 0);
        char general[30] = "", specific[30] = "";
        system.baseProj->getTypeStr(general, specific);
        EXPECT_STREQ(general, "UTM");
        EXPECT_STREQ(specific, c.specific);
        EXPECT_STREQ(tmOf(system.baseProj).projName, c.projName);
        EXPECT_EQ(tmOf(system.baseProj).originLon, c.originLon);
        EXPECT_EQ(system.getUnits(), c.units);
        EXPECT_NEAR(system.localToNConst, 1000.0, 0.0005 * 0.3048); // shown again in the new unit, read back alike
    }
}

TEST_F(KestrelDialog, ConstantsAreReadInTheBaseUnit) {
    struct Case {
        int baseUnits;
        const char* typed;
        double meters;
    };
    const Case cases[] = {
        {0, "100ft", 100 * kUsFoot}, // over metres the suffix means the US survey foot
        {1, "100ft", 30.48},         // over feet the international foot
        {1, "100", 30.48},
        {2, "100", 100 * kUsFoot},
        {0, "1.5km", 1500.0},
        {1, "12.5m", 12.5},
        {0, "-0.25", -0.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " over unit " + std::to_string(c.baseUnits));
        tmOf(system.baseProj).units = c.baseUnits;
        backend.push({Action::typeText(7142, c.typed), Action::ok()});
        EXPECT_EQ(run(), 1);
        EXPECT_DOUBLE_EQ(system.localToEConst, c.meters);
    }
}

TEST_F(KestrelDialog, ConstantsFollowAChosenBaseInFeet) {
    backend.push({Action::selectItem(7183, 2), Action::check([](DialogWindow& w) {
                      EXPECT_EQ(w.text(7118), "3280.840ft");
                      EXPECT_EQ(w.text(7187), "UTM 31 ft");
                  }),
                  Action::typeText(7118, "100ft"), Action::ok()});
    EXPECT_EQ(run(), 1);
    EXPECT_DOUBLE_EQ(system.localToNConst, 30.48);
    EXPECT_NEAR(system.localToEConst, -2500.125, 0.0005 * 0.3048); // shown and read back in feet
    EXPECT_EQ(specificOf(*system.baseProj), "UTM 31 ft");
}

TEST_F(KestrelDialog, EditRunsTheBaseDialogOverThisOne) {
    FakeBaseDialogScope fake;
    void* handle = nullptr;
    backend.push({Action::typeText(7106, "0.25"), Action::typeText(7142, "5m"), Action::click(7179),
                  Action::check([&](DialogWindow& w) {
                      handle = w.handle();
                      EXPECT_EQ(w.text(7187), "Edited");
                      EXPECT_EQ(w.text(7202), linesOf(*system.baseProj)[5]);
                      // The unit changed: the kept constants are shown again in feet.
                      EXPECT_EQ(w.text(7118), "3280.840ft");
                      EXPECT_EQ(w.text(7142), "-8202.510ft");
                      EXPECT_EQ(w.text(7106), "0.25"); // other typed text stays
                  }),
                  Action::cancel()});
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(FakeBaseDialog::runs, 1);
    EXPECT_EQ(static_cast<void*>(FakeBaseDialog::parent), handle);
    EXPECT_EQ(FakeBaseDialog::list, list.slots());
    // The edit acted on the system's own base at once; Cancel kept the rest.
    EXPECT_STREQ(tmOf(system.baseProj).projName, "Edited");
    EXPECT_EQ(system.getUnits(), 1);
    EXPECT_EQ(system.localToNNorth, 0.999876543210);
    EXPECT_EQ(system.localToEConst, -2500.125);
}

TEST_F(KestrelDialog, EditActsOnTheChosenBase) {
    FakeBaseDialogScope fake;
    backend.push({Action::selectItem(7183, 1), Action::click(7179), Action::ok()});
    EXPECT_EQ(run(), 1);
    EXPECT_STREQ(tmOf(system.baseProj).projName, "Edited");
    EXPECT_EQ(specificOf(*system.baseProj), "UTM 32");

    prepare();
    backend.push({Action::selectItem(7183, 1), Action::click(7179), Action::cancel()});
    EXPECT_EQ(run(), 0);
    EXPECT_STREQ(tmOf(system.baseProj).projName, "UTM 31");
    EXPECT_EQ(system.getUnits(), 0);
}

TEST_F(KestrelDialog, DefaultNamesListTheGroupWithoutTheSystem) {
    KestrelLocal plain; // "USER"/"KestrelLocal" over "USER"/"Transverse Mercator"
    ProjList users;
    users.addProjection("USER", "KestrelLocal", gw::initString(plain));
    users.addProjection("USER", "Local", "5,Local,52,4,");
    users.addProjection("USER", "Transverse Mercator", tmInit("TM", 0.0, 0));
    users.add("USER", "KestrelLocal", "");
    std::vector<std::string> items;
    backend.push({Action::check([&](DialogWindow& w) {
        items = static_cast<gw::dlg::ScriptedWindow&>(w).items(7183);
    })});
    EXPECT_EQ(plain.editDialog(nullptr, users.slots()), 0);
    EXPECT_EQ(items, (std::vector<std::string>{"Local", "Transverse Mercator"}));
}

// ---------------------------------------------------------------------------------
// ConStaOff

class StaOffDialog : public LocalDialogs {
protected:
    void SetUp() override {
        LocalDialogs::SetUp();
        prepare();
    }
    void prepare() {
        staOff = StaOff();
        list = ProjList();
        staOff.startLat = 52.0854;
        staOff.startLon = 4.8686;
        staOff.endLat = 52.1;
        staOff.endLon = -0.5;
        list.addProjection("UTM", "UTM 31", tmInit("UTM 31", 3.0, 0));
    }
    StaOff staOff;
    ProjList list;
};

TEST_F(StaOffDialog, ShowsBaselineAndBaseAndLeavesTheListEmpty) {
    FakeBaseDialogScope fake;
    void* handle = nullptr;
    const auto emptyList = [](DialogWindow& w) { EXPECT_EQ(w.itemCount(7184), 0); };
    backend.push({Action::check([&](DialogWindow& w) {
                      EXPECT_EQ(w.text(7126), "N52 05.1240");
                      EXPECT_EQ(w.text(7135), "E004 52.1160");
                      EXPECT_EQ(w.text(7143), "N52 06.0000");
                      EXPECT_EQ(w.text(7151), "W000 30.0000");
                      const auto lines = linesOf(*staOff.baseProj);
                      const int ids[6] = {7188, 7191, 7194, 7197, 7200, 7203};
                      for (int i = 0; i < 6; ++i) EXPECT_EQ(w.text(ids[i]), lines[static_cast<std::size_t>(i)]);
                      handle = w.handle();
                  }),
                  Action::check(emptyList), Action::typeText(7126, "N10 30.0000"), Action::click(7180),
                  Action::check([&](DialogWindow& w) {
                      EXPECT_EQ(w.text(7188), "Edited");
                      EXPECT_EQ(w.text(7126), "N10 30.0000"); // typed text stays
                  }),
                  Action::check(emptyList), Action::cancel()});
    EXPECT_EQ(staOff.editDialog(nullptr, list.slots()), 0);
    EXPECT_EQ(FakeBaseDialog::runs, 1);
    EXPECT_EQ(static_cast<void*>(FakeBaseDialog::parent), handle);
    EXPECT_EQ(FakeBaseDialog::list, list.slots());
    // The base's edit stays after Cancel; the baseline does not change.
    EXPECT_STREQ(tmOf(staOff.baseProj).projName, "Edited");
    EXPECT_EQ(staOff.startLat, 52.0854);
}

TEST_F(StaOffDialog, OkReadsTheBaseline) {
    struct Case {
        std::vector<Action> script;
        int result;
        double startLat, startLon, endLat, endLon;
    };
    const double tol = 0.5e-4 / 60.0 + 1e-12;
    Case cases[] = {
        {{Action::ok()}, 1, 52.0854, 4.8686, 52.1, -0.5},
        {{Action::typeText(7126, "N10 30.0000"), Action::typeText(7151, "E001 15.0000"), Action::ok()}, 1, 10.5,
         4.8686, 52.1, 1.25},
        {{Action::typeText(7143, "S01 00.0000"), Action::ok()}, 1, 52.0854, 4.8686, -1.0, -0.5},
        // Garbage is refused, and the form stays open until Cancel.
        {{Action::typeText(7135, "garbage"), Action::typeText(7143, "S01 00.0000"), Action::ok()}, 0, 52.0854, 4.8686,
         52.1, -0.5},
        {{Action::typeText(7151, "N001 00.0000"), Action::ok()}, 0, 52.0854, 4.8686, 52.1, -0.5},
        {{Action::typeText(7126, "N10 30.0000"), Action::cancel()}, 0, 52.0854, 4.8686, 52.1, -0.5},
    };
    for (Case& c : cases) {
        prepare();
        const Projection* baseBefore = staOff.baseProj->inner;
        backend.push(c.script);
        EXPECT_EQ(staOff.editDialog(nullptr, list.slots()), c.result);
        EXPECT_NEAR(staOff.startLat, c.startLat, tol);
        EXPECT_NEAR(staOff.startLon, c.startLon, tol);
        EXPECT_NEAR(staOff.endLat, c.endLat, tol);
        EXPECT_NEAR(staOff.endLon, c.endLon, tol);
        EXPECT_EQ(staOff.baseProj->inner, baseBefore); // used in place, never replaced
    }
}

} // namespace
