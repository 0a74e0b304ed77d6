#include <QApplication>
#include <gtest/gtest.h>

// The D-Bus adapters and QSignalSpy need an application object and its event loop; the platform
// services make the tray icon, which needs a QApplication. Offscreen: no display needed.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
