// The bridge tests need a GUI application for the QML engine, and one of widgets for the
// dialogs the views open (a file chooser, a confirmation); they run offscreen.
#include <QApplication>
#include <QtQml/qqmlextensionplugin.h>
#include <gtest/gtest.h>

Q_IMPORT_QML_PLUGIN(VigiloPlugin)

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
