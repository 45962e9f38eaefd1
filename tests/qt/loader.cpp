// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The loader of the Qt backend's library, each group of tests in a process of its
// own (the backend is loaded once per process): without any display nothing is
// loaded and dialogs return 0 at once; on the offscreen platform the library is
// found in the build and makes the QApplication the program does not have.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialogs/Dialog.h"
#include "dialogs/Install.h"
#include "dialogs/qt/QtBackend.h"
#include "gridwise/geodetics.h"
#include "projections/TransverseMercator.h"

namespace gw::dlg {
namespace {

bool backendLoaded() {
    void* lib = dlopen(qtBackendLibrary, RTLD_NOW | RTLD_NOLOAD);
    if (lib != nullptr) dlclose(lib);
    return lib != nullptr;
}

TEST(NoDisplay, DialogsReturnZeroAtOnceAndChangeNothing) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
    installDialogs();
    EXPECT_EQ(loadToolkitBackend(), nullptr);
    EXPECT_EQ(dialogBackend(), nullptr);

    TransverseMercator tm;
    tm.falseEast = 1234.5;
    char before[GW_INIT_STR_MAX];
    char after[GW_INIT_STR_MAX];
    tm.getInitStr(before);
    EXPECT_EQ(tm.editDialog(nullptr, nullptr), 0);
    tm.getInitStr(after);
    EXPECT_STREQ(after, before);

    ASSERT_EQ(allocGeodetics(), 1);
    EXPECT_EQ(editDialog(nullptr), 0);
    deAllocGeodetics();

    Dialog form(7013, nullptr);
    EXPECT_EQ(form.doModal(), 0);
    EXPECT_FALSE(backendLoaded());
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

// Closes with OK as soon as the window runs.
class OkAtOnce : public Dialog {
public:
    OkAtOnce() : Dialog(7013, nullptr) {}
    bool onInitDialog() override {
        QTimer::singleShot(0, [this] { command(idOk); });
        return Dialog::onInitDialog();
    }
};

TEST(Offscreen, TheLoaderFindsTheBackendAndMakesTheApplication) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    ASSERT_NE(dialogBackend(), nullptr);
    EXPECT_TRUE(backendLoaded());
    OkAtOnce form;
    EXPECT_EQ(form.doModal(), idOk);
    EXPECT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
}

} // namespace
} // namespace gw::dlg
