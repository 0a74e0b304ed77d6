#include <QCoreApplication>
#include <gtest/gtest.h>

// Results delivered on the main thread need an application object and its event loop.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
