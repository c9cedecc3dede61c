#include "app/Messages.h"
#include "app/Module1.h"
#include "data/DbError.h"
#include "support/FakeMessages.h"
#include "support/TestData.h"
#include "tests/torture/Torture.h"
#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace torture {

void startChild(QProcess &child, const QStringList &arguments)
{
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
}

void say(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    if (::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size())) != bytes.size())
        die(QStringLiteral("cannot write the output"));
}

void die(const QString &why)
{
    std::fprintf(stderr, "torture child: %s\n", qPrintable(why)); // unbuffered: _exit loses none of it
    _exit(3);
}

static int runChild(const QStringList &a)
{
    app::Settings &s = app::settings();
    s.FirmNo = 1;
    s.YearNo = 1;
    s.DataRoot = a.value(2);
    try {
        s.Server = testServer();
        s.YearDb = data::Connection::open(app::yearConnection(s.Server, s.DataRoot, 1, 1));
        s.FirmDb = data::Connection::open(app::firmConnection(s.Server, s.DataRoot, 1));
        app::setReportFamily(s, QStringLiteral("PWR"));
        if (a[1] == QLatin1String("--child-saves"))
            saveUntilKilled(a.value(3).toUInt());
        else if (a[1] == QLatin1String("--child-numbers"))
            takeNumbers(a.value(3).toInt());
        else if (a[1] == QLatin1String("--child-save"))
            saveAfterGo(a.value(3).toInt(), a.value(4), a.value(5));
        else if (a[1] == QLatin1String("--child-lock"))
            holdLock(a.value(3), a.value(4).toInt());
        else
            die(QStringLiteral("unknown mode ") + a[1]);
    } catch (const data::DbError &e) {
        die(e.text());
    }
    return 0;
}

} // namespace torture

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Report Designer"));
    app::setMessages(&FakeMessages::instance());
    if (QApplication::arguments().value(1).startsWith(QLatin1String("--child-")))
        return torture::runChild(QApplication::arguments());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
