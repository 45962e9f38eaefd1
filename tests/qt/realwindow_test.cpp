// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The dialogs in real windows of an X server (ctest runs these under xvfb-run with
// the xcb platform; elsewhere they are skipped): keyboard focus, the message box
// over a form, a settings section through the Geodetics dialog unchanged, and
// help without a host.
//
// With GRIDWISE_SCREENSHOT_DIR set, the Geodetics dialog, the Transverse Mercator
// form and the message boxes are saved there as PNG pictures.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>

#include "dialogs/DataUnits.h"
#include "dialogs/DialogHelp.h"
#include "dialogs/EditDatum.h"
#include "dialogs/Install.h"
#include "dialogs/qt/QtBackend.h"
#include "gridwise/geodetics.h"
#include "projections/TransverseMercator.h"
#include "qt/QtDriver.h"
#include "support/SettingsFiles.h"
#include "support/EnvScope.h"

namespace gw::dlg {
namespace {

using test::click;
using test::control;
using test::typeInto;
using test::whenMessageShown;
using test::whenShown;

using gwtest::readFile;

bool exists(const std::string& path) { return std::filesystem::exists(path); }

// The keys and values of one section of a settings file, as text.
std::map<std::string, std::string> section(const std::string& path, const std::string& name) {
    std::map<std::string, std::string> keys;
    for (const auto& [key, value] : gwtest::sectionLines(path, name)) keys.emplace(key, value);
    return keys;
}

void snapshot(QWidget& w, const char* name) {
    const char* dir = std::getenv("GRIDWISE_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0') return;
    w.grab().save(QString::fromUtf8(dir) + QStringLiteral("/") + QString::fromUtf8(name) + QStringLiteral(".png"));
}

QWidget* focusAfterTab(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
    return QApplication::focusWidget();
}

// Waits until w has the keyboard focus (the window is active again).
bool focusReaches(QWidget* w) {
    return QTest::qWaitFor([w] { return QApplication::focusWidget() == w; }, 3000);
}

class RealWindow : public testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs an X server (ctest runs these under xvfb-run)";
        setDialogBackend(gridwiseQtBackend());
        installDialogs();
    }
    void TearDown() override { setDialogBackend(nullptr); }
    gwtest::TempDir dir;
};

TEST_F(RealWindow, TabEntersEachRadioGroupAtItsCheckedButton) {
    DataUnits form(nullptr);
    whenShown([](QDialog& d) {
        auto* list = control(d, 7105);
        list->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(focusReaches(list));
        // Nothing checked yet: each group is entered at its first button.
        EXPECT_EQ(focusAfterTab(), control(d, 7111));
        EXPECT_EQ(focusAfterTab(), control(d, 7162));
        EXPECT_EQ(focusAfterTab(), control(d, idOk));

        click(d, 7123);
        click(d, 7169);
        list->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(focusReaches(list));
        EXPECT_EQ(focusAfterTab(), control(d, 7123));
        EXPECT_EQ(focusAfterTab(), control(d, 7169));
        EXPECT_EQ(focusAfterTab(), control(d, idOk));
        EXPECT_EQ(focusAfterTab(Qt::ShiftModifier), control(d, 7169));

        // The arrow keys move within the group and choose the button they reach;
        // Tab then enters the group there.
        QTest::keyClick(control(d, 7169), Qt::Key_Left);
        EXPECT_EQ(QApplication::focusWidget(), control(d, 7162));
        EXPECT_TRUE(control<QRadioButton>(d, 7162)->isChecked());
        EXPECT_EQ(focusAfterTab(Qt::ShiftModifier), control(d, 7123));
        EXPECT_EQ(focusAfterTab(), control(d, 7162));
        click(d, idCancel);
    });
    EXPECT_EQ(form.doModal(), idCancel);
}

TEST_F(RealWindow, ARefusedFieldIsNamedInAMessageAndGetsTheFocus) {
    Datum datum;
    EditDatum form(nullptr);
    form.fill(datum);
    whenShown([](QDialog& d) {
        typeInto(d, 7127, "abc");
        bool shown = false;
        whenMessageShown([&](QMessageBox& box) {
            shown = true;
            EXPECT_EQ(box.objectName(), "message");
            EXPECT_EQ(box.parentWidget(), &d);
            EXPECT_TRUE(box.isModal());
            EXPECT_TRUE(box.text().contains("Semi Major Axis")) << box.text().toStdString();
            // Over the form (Qt centres it, allowing for a title bar).
            EXPECT_TRUE(d.frameGeometry().contains(box.frameGeometry().center()));
            snapshot(box, "message");
            QTest::keyClick(&box, Qt::Key_Return);
        });
        click(d, idOk);
        EXPECT_TRUE(shown);
        ASSERT_TRUE(d.isVisible());
        auto* axis = control<QLineEdit>(d, 7127);
        EXPECT_TRUE(focusReaches(axis));
        EXPECT_EQ(axis->selectedText(), "abc");
        click(d, idCancel);
    });
    EXPECT_EQ(form.doModal(), idCancel);
}

// Every projection key of before has the same text in after (a save may add the
// keys of values the file left at their defaults). The datum's keys are left to
// the comparison with a save without the dialog: the inverse flattening is
// written with six decimals, fewer than the file may hold.
void expectKeptKeys(const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after) {
    static const std::set<std::string> datumKeys = {"aAxis",  "inverseFlattening", "deltaX", "deltaY",
                                                    "deltaZ", "scalar", "rotX", "rotY", "rotZ", "ellipseName", "datumName"};
    for (const auto& [key, value] : before) {
        if (datumKeys.count(key) != 0) continue;
        auto it = after.find(key);
        if (it == after.end())
            ADD_FAILURE() << key << " was dropped";
        else
            EXPECT_EQ(it->second, value) << key;
    }
}

// The Geodetics dialog on a copy of a survey settings file: OK in the projection
// form and in the Geodetics dialog without edits, or a refused false easting
// and Cancel in the form, and the section saved again is the same text: every
// key as it was, and the whole section as a save without the dialog writes it.
TEST_F(RealWindow, TheGeodeticsDialogWithoutEditsSavesTheSectionAsItWas) {
    const std::string file = dir.file("settings.ini");
    std::filesystem::copy_file(GRIDWISE_SURVEY_SETTINGS, file);
    const std::string name = "georgia-west";
    const auto before = section(file, name);
    ASSERT_GT(before.size(), 10u);
    std::string fileArg = file;
    std::string sectionArg = name;
    ASSERT_EQ(allocGeodetics(), 1);
    loadGeoData(sectionArg.data(), fileArg.data());
    std::string plainArg = dir.file("plain.ini");
    std::filesystem::copy_file(file, plainArg);
    saveGeoData(sectionArg.data(), plainArg.data());
    const auto plain = section(plainArg, name);
    expectKeptKeys(before, plain);

    whenShown([](QDialog& geodetics) {
        EXPECT_EQ(geodetics.objectName(), "dialog7011");
        snapshot(geodetics, "geodetics");
        whenShown([](QDialog& form) {
            EXPECT_EQ(form.objectName(), "dialog7013");
            snapshot(form, "transverse-mercator");
            click(form, idOk);
        });
        click(geodetics, 7160);
        click(geodetics, idOk);
    });
    EXPECT_EQ(editDialog(nullptr), 1);
    saveGeoData(sectionArg.data(), fileArg.data());
    expectKeptKeys(before, section(file, name));
    EXPECT_EQ(section(file, name), plain);

    whenShown([](QDialog& geodetics) {
        whenShown([](QDialog& form) {
            typeInto(form, 7108, "abc");
            bool shown = false;
            whenMessageShown([&](QMessageBox& box) {
                shown = true;
                EXPECT_TRUE(box.text().contains("False Easting")) << box.text().toStdString();
                QTest::keyClick(&box, Qt::Key_Return);
            });
            click(form, idOk);
            EXPECT_TRUE(shown);
            ASSERT_TRUE(form.isVisible());
            EXPECT_TRUE(focusReaches(control(form, 7108)));
            click(form, idCancel);
        });
        click(geodetics, 7160);
        click(geodetics, idOk);
    });
    EXPECT_EQ(editDialog(nullptr), 1);
    saveGeoData(sectionArg.data(), fileArg.data());
    expectKeptKeys(before, section(file, name));
    EXPECT_EQ(section(file, name), plain);
    deAllocGeodetics();
}

using gwtest::EnvScope;

TEST_F(RealWindow, F1WithoutAHostOpensTheDialogsPageInTheViewer) {
    const std::string out = dir.file("viewer-arg");
    const std::string script = dir.file("viewer.sh");
    gwtest::writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + out + ".tmp\" && mv \"" + out + ".tmp\" \"" + out +
                                  "\"\n");
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    EnvScope viewer("GRIDWISE_HELP_VIEWER", script);
    TransverseMercator tm;
    whenShown([&out](QDialog& d) {
        QTest::keyClick(control(d, 7108), Qt::Key_F1);
        EXPECT_TRUE(QTest::qWaitFor([&out] { return exists(out); }, 5000));
        EXPECT_TRUE(d.isVisible());
        click(d, idCancel);
    });
    tm.editDialog(nullptr, nullptr);
    EXPECT_EQ(readFile(out), helpPagePath(7013));
}

// The longest page as well: the box stays on the screen.
TEST_F(RealWindow, F1WithoutAViewerShowsThePageInTheMessageBox) {
    EnvScope viewer("GRIDWISE_HELP_VIEWER", "");
    Dialog local(7017, nullptr);
    whenShown([](QDialog& d) {
        whenMessageShown([&](QMessageBox& box) {
            EXPECT_EQ(box.text().toStdString(), helpPageText(7017));
            EXPECT_TRUE(box.screen()->availableGeometry().contains(box.frameGeometry()));
            snapshot(box, "help-7017");
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QTest::keyClick(&d, Qt::Key_F1);
        click(d, idCancel);
    });
    local.doModal();

    TransverseMercator tm;
    whenShown([](QDialog& d) {
        bool shown = false;
        whenMessageShown([&](QMessageBox& box) {
            shown = true;
            EXPECT_EQ(box.objectName(), "message");
            EXPECT_EQ(box.windowTitle(), "Help");
            EXPECT_EQ(box.text().toStdString(), helpPageText(7013));
            // The whole box is on the screen.
            EXPECT_TRUE(box.screen()->availableGeometry().contains(box.frameGeometry()));
            snapshot(box, "help");
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        QTest::keyClick(control(d, 7108), Qt::Key_F1);
        EXPECT_TRUE(shown);
        EXPECT_TRUE(d.isVisible());
        click(d, idCancel);
    });
    tm.editDialog(nullptr, nullptr);
}

} // namespace
} // namespace gw::dlg
