// Test main for tests that drive real Qt widgets: offscreen unless a display is asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "toolkit/qt/qt_toolkit.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    toolkit::qt::QtToolkit::installFontSubstitutes();
    return RUN_ALL_TESTS();
}
