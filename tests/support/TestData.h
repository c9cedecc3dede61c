#pragma once
#include "app/Paths.h"
#include "tools/demo/DemoData.h"
#include <QCryptographicHash>
#include <QDirIterator>
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

// A row's values joined by "|", a null shown as `null`.
inline QString joined(const QVector<QVariant> &row, const QString &null = {})
{
    QStringList cells;
    for (const QVariant &v : row)
        cells << (v.isNull() ? null : v.toString());
    return cells.join(QLatin1Char('|'));
}

// Every row of a query, each joined as above. A server's rowid column, which the files keep
// hidden, is left out of a "*".
inline QStringList rowTexts(data::Connection &db, const QString &sql, const data::Params &params = {},
                            const QString &null = {})
{
    const data::RowSet rs = db.select(sql, params);
    QStringList result;
    for (QVector<QVariant> row : rs.rows) {
        for (qsizetype i = row.size() - 1; i >= 0 && sql.contains(QLatin1Char('*')); --i)
            if (rs.columns[i].compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
                row.remove(i);
        result << joined(row, null);
    }
    return result;
}

// Every file below a folder with its modification time and its contents' hash.
inline QStringList snapshot(const QString &folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        files << file.fileName() + ' ' + QString::number(file.fileTime(QFile::FileModificationTime).toMSecsSinceEpoch())
                + ' ' + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();
    }
    files.sort();
    return files;
}

// Runs a program in `folder`, where it must write nothing unless told to, for at most `ms`: its
// exit code with its standard output and error, Crashed, or StillRunning (it is killed then).
enum : int { Crashed = -1000, StillRunning = -2000 };
inline int runTool(const QString &program, const QStringList &args, QString *output, const QString &folder = {},
                   int ms = 120000)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, args);
    const bool ended = p.waitForFinished(ms);
    if (!ended)
        p.kill();
    p.waitForFinished();
    *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return !ended ? StillRunning : p.exitStatus() == QProcess::CrashExit ? Crashed : p.exitCode();
}
