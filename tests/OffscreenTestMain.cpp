#include <QApplication>
#include <gtest/gtest.h>

// The main of the test programs whose code needs a QApplication (widgets, windows, the
// clipboard, the tray icon). It runs on the offscreen platform unless told otherwise, so the
// tests need no display.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    const QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
