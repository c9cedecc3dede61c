#include <QDir>
#include "app/Paths.h"
#include "data/DbError.h"
#include "support/TestData.h"
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Runs a tool in `folder`, where it must write nothing unless told to.
int run(const QString &folder, const QStringList &args, QString *output, const QString &program = DEMO_DATA_EXE)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, args);
    p.waitForFinished(60000);
    *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

// make-demo-data takes a root and firm,year, never overwrites, and keys each file with its own
// password. It, the copy to a server and the screenshot program refuse any other command line, an
// unknown option (a misspelt one) included, with their usage and write nothing.
TEST(Tools, DemoDataIsMadeOnceAndKeyedAndAnyOtherCommandLineRefused)
{
    SKIP_ON_SERVER("about the demo's files; the test below makes it on the server");
    QTemporaryDir dir;
    const QString root = dir.path() + "/acc";
    const QString usage = "usage: make-demo-data DATA_ROOT FIRM,YEAR   (for example: make-demo-data /srv/acc 5,2)\n"
                          "       make-demo-data --server=CONNINFO FIRM,YEAR   (a libpq connection string or URI)\n";
    const QList<QPair<QStringList, QString>> refused = {
        {{}, usage}, {{root, "5"}, usage}, {{root, "5,2", "x"}, usage}, {{root, "a,2"}, usage},
        {{root, "40000,2"}, "Firm and year must be numbers from 0 to 32767\n"},
        {{"--root=acc", "5,2"}, "make-demo-data: unknown option \"--root=acc\"\n" + usage},
        {{root, "5,2", "-f"}, "make-demo-data: unknown option \"-f\"\n" + usage}};
    QString output;
    for (const auto &[args, expected] : refused) {
        EXPECT_EQ(run(dir.path(), args, &output), 2) << args.join(' ').toStdString();
        EXPECT_EQ(output, expected);
    }
    EXPECT_EQ(run(dir.path(), {"--server=host=db", "--root=acc", "5,2"}, &output, COPY_TO_SERVER_EXE), 2);
    EXPECT_TRUE(output.startsWith("copy-to-server: unknown option \"--root=acc\"\nusage: copy-to-server --server="))
        << output.toStdString();
    EXPECT_EQ(run(dir.path(), {root, "5,2"}, &output, COPY_TO_SERVER_EXE), 2);
    EXPECT_TRUE(output.startsWith("usage: copy-to-server")) << output.toStdString();
    EXPECT_EQ(run(dir.path(), {"--out=pictures"}, &output, SCREENSHOTS_EXE), 2);
    EXPECT_TRUE(output.endsWith("screenshots: unknown option \"--out=pictures\"\nusage: screenshots OUTPUT_DIR\n"))
        << output.toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    const QString yearBase = app::yearDbBase(root, 5, 2), firmBase = app::firmDbBase(root, 5);
    EXPECT_EQ(run(dir.path(), {root, " 5 , 2 "}, &output), 0);
    EXPECT_EQ(output, "Created year database " + yearBase + ".db\nCreated firm database " + firmBase + ".db\n");
    const QByteArray yearBytes = contents(yearBase + ".db");
    EXPECT_EQ(run(dir.path(), {root, "5,2"}, &output), 1);
    EXPECT_TRUE(output.startsWith("make-demo-data: ")) << output.toStdString();
    // Another year of the same firm finds the firm file taken and leaves no year file behind.
    EXPECT_THROW(demo::makeEmptyData(root, 5, 3), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(app::yearDbBase(root, 5, 3) + ".db"));
    EXPECT_TRUE(contents(yearBase + ".db") == yearBytes);

    // Keyed right, both files open at start-up (tested there); keyed with each other's password, neither does.
    EXPECT_THROW(data::Connection::open(app::connectionString(yearBase, app::FirmPassword)), data::DbError);
    EXPECT_THROW(data::Connection::open(app::connectionString(firmBase, app::YearPassword)), data::DbError);
}

// On a server make-demo-data makes the two databases once, with the rows of the demo files.
TEST(Tools, DemoDataOnAServerHoldsTheRowsOfTheFilesAndIsMadeOnce)
{
    const QString server = testServer();
    if (server.isEmpty())
        GTEST_SKIP() << "needs the test server";
    dropTestDatabases(5, 2);
    QTemporaryDir dir;
    QString output;
    EXPECT_EQ(run(dir.path(), {"--server=" + server, "5,2"}, &output), 0);
    EXPECT_EQ(output, "Created year database firm5_yr2 on the server\nCreated firm database firm5 on the server\n");
    EXPECT_EQ(run(dir.path(), {"--server=" + server, "5,2"}, &output), 1);
    EXPECT_EQ(output, "make-demo-data: Database firm5_yr2 holds tables already\n");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    const demo::DemoFiles files = demo::makeDemoData(dir.path(), 5, 2);
    const auto onServer = [&](const QString &database) {
        return data::Connection::open(app::serverConnectionString(server, database));
    };
    for (const auto &[file, database] : {std::pair{files.year.get(), onServer("firm5_yr2")},
                                         std::pair{files.firm.get(), onServer("firm5")}}) {
        for (const auto &table : file->select("Select name From sqlite_master Where type='table'").rows) {
            const QString columns = QStringList(file->select("Select * From " + table[0].toString()).columns).join(',');
            const auto rows = [&](data::Connection &db) {
                QStringList result;
                for (const auto &row : db.select("Select " + columns + " From " + table[0].toString()).rows) {
                    QStringList cells;
                    for (const QVariant &value : row)
                        cells << value.toString();
                    result << cells.join('|');
                }
                result.sort();
                return result;
            };
            EXPECT_EQ(rows(*database), rows(*file)) << table[0].toString().toStdString();
        }
    }
}
