// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Qt tests run in a host with a QApplication of its own, on the offscreen
// platform unless the environment chooses another.
#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
