#pragma once
// The QApplication that widget tests need, created once per test program on first use (the gui
// test programs run with QT_QPA_PLATFORM=offscreen).
#include "support/qtprinters.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace hl::test {

inline QApplication& guiApplication() {
    static int argc = 1;
    static char name[] = "harvestline-gui-test";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

// A fixture base that creates the application before the fixture's own members, so that a
// fixture may hold widgets.
class GuiTest : public ::testing::Test {
protected:
    GuiTest() { guiApplication(); }
};

} // namespace hl::test
