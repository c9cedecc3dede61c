#include <QCoreApplication>
#include <gtest/gtest.h>

// The test programs of the layers below the windows run without a window system.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
