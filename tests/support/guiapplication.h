#pragma once
// The QApplication that widget tests need, created once per test program on first use (the gui
// test programs run with QT_QPA_PLATFORM=offscreen).
#include "support/qtprinters.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace hl::test {

// Created on first use and destroyed when the test program has run its tests (a test
// environment), before the exit handlers take down Qt's own global objects: destroyed among them,
// it would take those objects along out of order.
class GuiEnvironment : public ::testing::Environment {
public:
    QApplication& application() {
        if (!application_) application_ = std::make_unique<QApplication>(argc_, argv_);
        return *application_;
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[32] = "harvestline-gui-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

inline GuiEnvironment& guiEnvironment() {
    // The test framework owns the environment.
    static auto* environment =
        static_cast<GuiEnvironment*>(::testing::AddGlobalTestEnvironment(new GuiEnvironment));
    return *environment;
}

inline QApplication& guiApplication() {
    return guiEnvironment().application();
}

// A fixture base that creates the application before the fixture's own members, so that a
// fixture may hold widgets.
class GuiTest : public ::testing::Test {
protected:
    GuiTest() { guiApplication(); }
};

} // namespace hl::test
