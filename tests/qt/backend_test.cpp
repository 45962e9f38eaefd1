// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Qt backend on a small fixture form: the window it builds from a template,
// and how the user's actions reach the form.
#include <array>
#include <string>

#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/qt/QtBackend.h"
#include "qt/QtDriver.h"

namespace gw::dlg {
namespace {

using test::click;
using test::control;
using test::typeInto;
using test::whenShown;

constexpr ControlTemplate kControls[] = {
    {-1, ControlKind::staticText, "&Name:", 7, 9, 40, 8},
    {101, ControlKind::edit, "", 50, 7, 100, 12},
    {-1, ControlKind::groupBox, "Units", 7, 24, 146, 28},
    {111, ControlKind::radioFirst, "&Metres", 14, 36, 50, 10},
    {112, ControlKind::radio, "&Feet", 70, 36, 50, 10},
    {121, ControlKind::dropList, "", 7, 58, 100, 60},
    {idOk, ControlKind::defPushButton, "OK", 50, 80, 50, 14},
    {idCancel, ControlKind::pushButton, "Cancel", 104, 80, 50, 14},
    {-1, ControlKind::staticText, "Wider than its place", 7, 98, 20, 8},
};
constexpr DialogTemplate kFixture{9001, "Fixture", 160, 110, kControls};

// A form on the fixture (the base class wants a library template; the fixture is
// handed to the backend directly). Its radio group is read by hand: data exchange
// knows only the library's templates.
class FixtureForm : public Dialog {
public:
    FixtureForm() : Dialog(7013, nullptr) {
        onClick(112, [this] { ++feetClicks; });
        onSelChange(121, [this] { ++selectionChanges; });
    }
    std::string name = "start";
    int unit = 0;
    int choice = 1;
    int feetClicks = 0;
    int selectionChanges = 0;
    int helps = 0;
    bool closeAtOnce = false;

    int run(QWidget* parent = nullptr) { return gridwiseQtBackend()->runModal(*this, kFixture, parent); }

protected:
    bool onInitDialog() override {
        window()->resetList(121);
        for (const char* item : {"one", "two", "three"}) window()->addItem(121, item);
        const bool ok = Dialog::onInitDialog();
        if (closeAtOnce) endDialog(idOk);
        return ok;
    }
    void doDataExchange(DataExchange& dx) override {
        dx.text(101, name);
        if (dx.saving()) {
            unit = window()->checked(111) ? 0 : window()->checked(112) ? 1 : -1;
        } else {
            window()->setChecked(111, unit == 0);
            window()->setChecked(112, unit == 1);
        }
        dx.listSelection(121, choice);
    }
    bool onHelp() override {
        ++helps;
        return true;
    }
};

TEST(QtBackend, BuildsTheTemplateInDialogUnitsOfTheFont) {
    FixtureForm form;
    whenShown([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Fixture");
        EXPECT_EQ(d.objectName(), "dialog9001");
        EXPECT_NE(control<QLineEdit>(d, 101), nullptr);
        EXPECT_NE(control<QComboBox>(d, 121), nullptr);
        EXPECT_EQ(control<QRadioButton>(d, 112)->text(), "&Feet");
        auto* ok = control<QPushButton>(d, idOk);
        auto* cancel = control<QPushButton>(d, idCancel);
        EXPECT_TRUE(ok->isDefault());
        EXPECT_FALSE(cancel->isDefault());
        auto labels = d.findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(labels.size(), 2);
        EXPECT_EQ(labels[0]->buddy(), control(d, 101)); // the mnemonic leads to the next control
        // A one-line label too narrow for its text shows it whole on its line.
        EXPECT_FALSE(labels[1]->wordWrap());
        EXPECT_GE(labels[1]->width(), labels[1]->fontMetrics().horizontalAdvance(labels[1]->text()));
        auto frames = d.findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(frames.size(), 1);
        EXPECT_EQ(frames[0]->title(), "Units");

        // 4 horizontal units are the average letter width, 8 vertical units the
        // character height of the dialog's font.
        const double avg =
            QFontMetricsF(d.font()).horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
        const double h = QFontMetrics(d.font()).height();
        auto px = [](int du, double unit, int per) { return qRound(du * unit / per); };
        EXPECT_EQ(d.width(), px(160, avg, 4));
        EXPECT_EQ(d.height(), px(110, h, 8));
        const QRect edit = control(d, 101)->geometry();
        EXPECT_EQ(edit, QRect(px(50, avg, 4), px(7, h, 8), px(150, avg, 4) - px(50, avg, 4), px(19, h, 8) - px(7, h, 8)));
        const QRect okRect = ok->geometry();
        EXPECT_EQ(okRect.right() + 1, px(100, avg, 4));
        EXPECT_EQ(cancel->geometry().left(), px(104, avg, 4));
        // The frame lies behind the radio buttons inside it.
        EXPECT_TRUE(frames[0]->geometry().contains(control(d, 112)->geometry()));
        EXPECT_LT(d.children().indexOf(frames[0]), d.children().indexOf(control(d, 111)));
        // The drop-down list is as high as closed lists are; the template's height
        // is the dropped list's.
        EXPECT_LT(control(d, 121)->height(), px(60, h, 8));
        d.reject();
    });
    EXPECT_EQ(form.run(), idCancel);
}

// Tab goes through the controls in resource order and enters a radio group at
// its checked button only (the first one when none is checked).
TEST(QtBackend, TabOrderIsTheResourceOrder) {
    auto tabStops = [](QDialog& d) {
        QStringList order;
        for (QWidget* w = d.nextInFocusChain(); w != &d; w = w->nextInFocusChain())
            if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->parentWidget() == &d) order << w->objectName();
        return order;
    };
    for (int unit : {0, 1, -1}) {
        SCOPED_TRACE(unit);
        FixtureForm form;
        form.unit = unit;
        whenShown([&](QDialog& d) {
            const QString radio = unit == 1 ? "c112" : "c111";
            EXPECT_EQ(tabStops(d), QStringList({"c101", radio, "c121", "c1", "c2"}));
            // The stop follows the checked button, whether the user or the form checks it.
            click(d, unit == 1 ? 111 : 112);
            EXPECT_EQ(tabStops(d)[1], unit == 1 ? "c111" : "c112");
            form.window()->setChecked(111, true);
            EXPECT_EQ(tabStops(d)[1], "c111");
            form.window()->setChecked(111, false);
            EXPECT_EQ(tabStops(d)[1], "c111");
            d.reject();
        });
        form.run();
    }
}

// Every way of closing: OK and Enter take the controls back into the form;
// Cancel, Escape and the window's close button leave the form as it was.
TEST(QtBackend, ClosingTakesTheDataBackOnlyOnOk) {
    struct Case {
        const char* how;
        std::function<void(QDialog&)> close;
        int result;
    };
    const Case cases[] = {
        {"OK button", [](QDialog& d) { click(d, idOk); }, idOk},
        {"Enter in the edit", [](QDialog& d) { QTest::keyClick(control(d, 101), Qt::Key_Return); }, idOk},
        {"Cancel button", [](QDialog& d) { click(d, idCancel); }, idCancel},
        {"Escape", [](QDialog& d) { QTest::keyClick(control(d, 101), Qt::Key_Escape); }, idCancel},
        {"close button", [](QDialog& d) { d.close(); }, idCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        FixtureForm form;
        whenShown([&c](QDialog& d) {
            EXPECT_EQ(control<QLineEdit>(d, 101)->text(), "start");
            typeInto(d, 101, "Kestrel ridge");
            c.close(d);
        });
        EXPECT_EQ(form.run(), c.result);
        EXPECT_EQ(form.name, c.result == idOk ? "Kestrel ridge" : "start");
    }
}

TEST(QtBackend, RadioClickReachesTheFormAndKeepsOneChecked) {
    FixtureForm form;
    whenShown([&form](QDialog& d) {
        EXPECT_TRUE(control<QRadioButton>(d, 111)->isChecked());
        click(d, 112);
        EXPECT_EQ(form.feetClicks, 1);
        EXPECT_TRUE(control<QRadioButton>(d, 112)->isChecked());
        EXPECT_FALSE(control<QRadioButton>(d, 111)->isChecked());
        click(d, idOk);
    });
    EXPECT_EQ(form.run(), idOk);
    EXPECT_EQ(form.unit, 1);

    // No choice at all is kept as no choice.
    FixtureForm none;
    none.unit = -1;
    whenShown([](QDialog& d) {
        EXPECT_FALSE(control<QRadioButton>(d, 111)->isChecked());
        EXPECT_FALSE(control<QRadioButton>(d, 112)->isChecked());
        click(d, idOk);
    });
    EXPECT_EQ(none.run(), idOk);
    EXPECT_EQ(none.unit, -1);
}

TEST(QtBackend, OnlyTheUsersSelectionNotifies) {
    FixtureForm form;
    whenShown([&form](QDialog& d) {
        auto* box = control<QComboBox>(d, 121);
        EXPECT_EQ(box->count(), 3);
        EXPECT_EQ(box->currentIndex(), 1);
        EXPECT_EQ(form.selectionChanges, 0); // filled and selected by the form
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        EXPECT_EQ(form.selectionChanges, 1);
        EXPECT_EQ(form.window()->selection(121), 2);
        EXPECT_EQ(form.window()->text(121), "three");
        form.window()->select(121, -1); // the form's own choice is silent
        EXPECT_EQ(form.selectionChanges, 1);
        EXPECT_EQ(box->currentIndex(), -1);
        form.window()->select(121, 0);
        click(d, idOk);
    });
    EXPECT_EQ(form.run(), idOk);
    EXPECT_EQ(form.choice, 0);
}

TEST(QtBackend, F1AsksForHelpAndLeavesTheDialogOpen) {
    FixtureForm form;
    whenShown([&form](QDialog& d) {
        QTest::keyClick(control(d, 101), Qt::Key_F1);
        EXPECT_EQ(form.helps, 1);
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(form.run(), idCancel);
}

TEST(QtBackend, RunsOverTheParentAndHandsOutItsWindow) {
    QWidget parent;
    FixtureForm form;
    whenShown([&form, &parent](QDialog& d) {
        EXPECT_EQ(d.parentWidget(), &parent);
        EXPECT_EQ(form.window()->handle(), static_cast<void*>(static_cast<QWidget*>(&d)));
        EXPECT_TRUE(d.isModal());
        d.reject();
    });
    EXPECT_EQ(form.run(&parent), idCancel);
}

TEST(QtBackend, AFormClosedWhileInitialisingIsNotShown) {
    FixtureForm form;
    form.closeAtOnce = true;
    EXPECT_EQ(form.run(), idOk);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace gw::dlg
