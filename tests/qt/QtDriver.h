// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Drives a modal Qt dialog from a test: the modal run blocks, so the test's
// actions run from a timer once the window is shown.
#ifndef GRIDWISE_TESTS_QT_QTDRIVER_H
#define GRIDWISE_TESTS_QT_QTDRIVER_H

#include <algorithm>
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialogs/Dialog.h"
#include "dialogs/DialogWindow.h"

namespace gw::test {

// Calls act with the dialog window once a modal run has started (the window is
// shown and active). A window that act leaves open fails the test and is closed
// with 99, so that a fault never hangs the run.
inline void whenShown(std::function<void(QDialog&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d == nullptr) {
            ADD_FAILURE() << "no modal dialog is shown";
            return;
        }
        d->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(d));
        act(*d);
        if (d->isVisible()) {
            ADD_FAILURE() << "the test left " << d->objectName().toStdString() << " open";
            d->done(99);
        }
    });
}

// Calls act with the message box once one is shown modally (a form's message
// opened while the test clicks or types); a box that act leaves open is
// dismissed. Waits at most about five seconds; then the test fails and nothing
// is done, so that a form that shows no message is not disturbed later.
inline void whenMessageShown(std::function<void(QMessageBox&)> act, int triesLeft = 250) {
    QTimer::singleShot(20, [act = std::move(act), triesLeft]() mutable {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            if (triesLeft > 0)
                whenMessageShown(std::move(act), triesLeft - 1);
            else
                ADD_FAILURE() << "no message box was shown";
            return;
        }
        act(*box);
        if (box->isVisible()) {
            ADD_FAILURE() << "the test left the message box open";
            box->done(0);
        }
    });
}

// The control of id in a window of the Qt backend.
template <class W = QWidget> W* control(QDialog& d, int id) {
    W* w = d.findChild<W*>(QStringLiteral("c%1").arg(id), Qt::FindDirectChildrenOnly);
    EXPECT_NE(w, nullptr) << "no control " << id << " of that kind";
    return w;
}

// Types text into an edit field after clearing it, as a user does.
inline void typeInto(QDialog& d, int id, const QString& text) {
    auto* w = control(d, id);
    if (w == nullptr) return;
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
    QTest::keyClicks(w, text);
}

// Clicks a control: a button in its middle, a radio button on its indicator
// (a radio button answers on its indicator and label only).
inline void click(QDialog& d, int id) {
    auto* w = control(d, id);
    if (w == nullptr) return;
    if (qobject_cast<QRadioButton*>(w) != nullptr)
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(std::min(6, w->width() / 2), w->height() / 2));
    else
        QTest::mouseClick(w, Qt::LeftButton);
}

} // namespace gw::test

#endif
