#pragma once
#include "app/Paths.h"
#include "tools/demo/DemoData.h"
#include <QProcess>
#include <gtest/gtest.h>

// The suites run on files, and a second time on a throwaway server whose libpq conninfo
// DESIGNER_TEST_SERVER holds; empty on files.
inline QString testServer()
{
    return qEnvironmentVariable("DESIGNER_TEST_SERVER");
}

// Skips a test about the files alone on the server, saying why.
#define SKIP_ON_SERVER(why)                                                                                  \
    do {                                                                                                       \
        if (!testServer().isEmpty())                                                                           \
            GTEST_SKIP() << (why);                                                                             \
    } while (false)

// Drops a firm's two databases an earlier test left on the test server, with any connection to them.
inline void dropTestDatabases(int firm, int year)
{
    const auto maintenance = data::Connection::open(app::serverConnectionString(testServer(), QStringLiteral("postgres")));
    for (const QString &name : {app::yearServerDatabase(firm, year), app::firmServerDatabase(firm)})
        maintenance->execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

// A firm's two databases with the demo rows or empty: files under root, or databases made afresh
// on the test server.
inline demo::DemoFiles makeTestData(const QString &root, bool demoRows, int firm, int year)
{
    const QString server = testServer();
    if (server.isEmpty())
        return demoRows ? demo::makeDemoData(root, firm, year) : demo::makeEmptyData(root, firm, year);
    dropTestDatabases(firm, year);
    return demoRows ? demo::makeServerDemoData(server, firm, year) : demo::makeServerEmptyData(server, firm, year);
}

// The engine's message for a table or a column (as "Alias.Column") that does not exist.
inline QString noSuchTable(const QString &name)
{
    return testServer().isEmpty() ? QStringLiteral("no such table: ") + name
                                  : QStringLiteral("relation \"%1\" does not exist").arg(name.toLower());
}

inline QString noSuchColumn(const QString &name)
{
    return testServer().isEmpty() ? QStringLiteral("no such column: ") + name
                                  : QStringLiteral("column %1 does not exist").arg(name.toLower());
}

// What another program opens to reach the databases makeTestData made.
inline QString testYearConnection(const QString &root, int firm, int year)
{
    return app::yearConnection(testServer(), root, firm, year);
}

inline QString testFirmConnection(const QString &root, int firm)
{
    return app::firmConnection(testServer(), root, firm);
}

// Runs one of the tools in `folder`, where it must write nothing unless told to.
inline int runTool(const QString &program, const QStringList &args, QString *output, const QString &folder = {})
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, args);
    p.waitForFinished(120000);
    *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}
