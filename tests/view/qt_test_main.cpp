// The tests of the window and the print back end run with a QApplication,
// drawn off screen so that no display is needed, and with the window's fonts.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/view/fonts.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quendro::view::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
