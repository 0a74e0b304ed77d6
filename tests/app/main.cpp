#include <QApplication>
#include <QtQml/qqmlextensionplugin.h>
#include <gtest/gtest.h>

// The panel's views, which the panel library carries: the delegate's tests make the panel at once.
Q_IMPORT_QML_PLUGIN(VigiloPlugin)

// The delegate's tray icon and menu are widgets: they need a QApplication, which runs on the
// offscreen platform so the tests need no display.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    const QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
