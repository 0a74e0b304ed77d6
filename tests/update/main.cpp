#include <QCoreApplication>
#include <gtest/gtest.h>

// The network and the queued results of the update framework need an event loop.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
