#include <QGuiApplication>
#include <gtest/gtest.h>

// The D-Bus adapters need an application object; the displays adapter needs a GUI one. Its
// screens are virtual: one laptop panel named like the kernel's connector.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            "offscreen:configfile=" VIGILO_TEST_DATA "/platform/displays/built-in-panel.json");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
