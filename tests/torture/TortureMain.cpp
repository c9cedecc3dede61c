#include "app/Messages.h"
#include "support/FakeMessages.h"
#include "tests/torture/Children.h"
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Report Designer"));
    app::setMessages(&FakeMessages::instance());
    if (torture::isChild(QApplication::arguments()))
        return torture::runChild(QApplication::arguments());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
