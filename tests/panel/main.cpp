#include <QApplication>
#include <QtQml/qqmlextensionplugin.h>
#include <gtest/gtest.h>

// The panel's views, as the panel library links them.
Q_IMPORT_QML_PLUGIN(VigiloPlugin)

// The panel's window and views need a GUI application, which runs on the offscreen platform so
// the tests need no display.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    const QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
