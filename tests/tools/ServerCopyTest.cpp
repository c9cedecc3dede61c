#include "app/Paths.h"
#include "data/PgConnection.h"
#include "tools/copy/ServerCopy.h"
#include "tools/demo/DemoData.h"
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A firm of its own on the test server, so that no other test's databases meet these.
const int Firm = 71, Year = 3;

QString server()
{
    return qEnvironmentVariable("DESIGNER_TEST_SERVER");
}

std::unique_ptr<data::Connection> onServer(const QString &database)
{
    return data::Connection::open(app::serverConnectionString(server(), database));
}

void dropFirm()
{
    const auto admin = onServer(QStringLiteral("postgres"));
    for (const QString &db : {app::yearServerDatabase(Firm, Year), app::yearServerDatabase(Firm, Year + 1),
                              app::firmServerDatabase(Firm)})
        admin->execute(QStringLiteral("DROP DATABASE IF EXISTS ") + db);
}

int copyTool(const QStringList &args, QString *output)
{
    QProcess p;
    p.start(QStringLiteral(COPY_TO_SERVER_EXE), args);
    p.waitForFinished(120000);
    *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

// Every row of the table by rowid, its values as text and a null marked as such.
QStringList rowsOf(data::Connection &db, const QString &table, const QStringList &columns)
{
    QStringList rows;
    db.forEachRow(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(columns.join(", "), table), {},
                  [&](const QVector<QVariant> &row) {
                      QStringList cells;
                      for (const QVariant &v : row)
                          cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
                      rows << cells.join(QLatin1Char('|'));
                  });
    return rows;
}

// Both files' tables as the server holds them, compared with the files row for row.
void expectSameRows(const QString &root)
{
    for (const servercopy::Move &move : servercopy::firmMoves(root, Firm, Year)) {
        const auto file = data::Connection::open(move.file, data::Access::ReadOnly);
        const auto db = onServer(move.database);
        const auto tables = file->select("SELECT name FROM sqlite_master WHERE type = 'table'").rows;
        for (const auto &table : tables) {
            QStringList columns;
            const QString name = table[0].toString();
            for (const auto &c : file->select("PRAGMA table_info(" + name + ")").rows)
                columns << c[1].toString();
            EXPECT_EQ(rowsOf(*db, name, columns), rowsOf(*file, name, columns)) << name.toStdString();
        }
    }
}

} // namespace

// The tool copies both files, every table with its rowids, nulls, awkward text and exact doubles,
// into a firm database made by hand from the schema and a year database it creates itself. A
// second copy, or another year of a firm whose database holds data, is refused before anything
// is written; rows added on the server later take rowids after the copied ones.
TEST(ServerCopy, BothFilesArriveRowForRowAndFilledDatabasesAreRefused)
{
    if (server().isEmpty())
        GTEST_SKIP() << "DESIGNER_TEST_SERVER names no server";
    dropFirm();
    QTemporaryDir dir;
    {
        demo::DemoFiles files = demo::makeDemoData(dir.path(), Firm, Year);
        demo::createDatabase(app::yearDbBase(dir.path(), Firm, Year + 1) + ".db", app::YearPassword,
                             demo::schemaText("year"));
        files.year->execute("INSERT INTO ZoM35 VALUES (NULL, NULL, NULL, NULL)");
        files.year->execute("INSERT INTO ZoM35 VALUES (?, ?, '', ' ')",
                            {"O'Brien \"& Sons\" 100% ü 日本\t\n", QString(5000, QChar(0x20AC))});
        files.year->execute("INSERT INTO ZoT52 (Col99, ColLineNo, Col93, Col95, ColBags) VALUES ('V', ?, ?, ?, ?)",
                            {Q_INT64_C(9007199254740993), 0.1 + 0.2, 1e-300, -123456789.123456789});
        files.year->execute("DELETE FROM ZoT52 WHERE rowid = 2");
    }
    onServer("postgres")->execute(QStringLiteral("CREATE DATABASE ") + app::firmServerDatabase(Firm));
    dynamic_cast<data::PgConnection &>(*onServer(app::firmServerDatabase(Firm))).runScript(demo::schemaText("pg/firm"));

    const QString target = "--server=" + server();
    QString output;
    ASSERT_EQ(copyTool({target, dir.path(), QStringLiteral("%1,%2").arg(Firm).arg(Year)}, &output), 0)
        << output.toStdString();
    EXPECT_TRUE(output.startsWith("Copied ")) << output.toStdString();
    expectSameRows(dir.path());
    {
        const auto year = onServer(app::yearServerDatabase(Firm, Year));
        const auto lastRowId = year->select("SELECT max(rowid) FROM ZoM35").rows[0][0].toLongLong();
        year->execute("INSERT INTO ZoM35 (Col99) VALUES ('after')");
        EXPECT_GT(year->select("SELECT rowid FROM ZoM35 WHERE Col99 = 'after'").rows[0][0].toLongLong(), lastRowId);
        year->execute("DELETE FROM ZoM35 WHERE Col99 = 'after'");
    }

    EXPECT_EQ(copyTool({target, dir.path(), QStringLiteral("%1,%2").arg(Firm).arg(Year)}, &output), 1);
    EXPECT_TRUE(output.contains("already holds data")) << output.toStdString();
    EXPECT_THROW(servercopy::copyToServer(server(), servercopy::firmMoves(dir.path(), Firm, Year + 1)),
                 servercopy::Refused);
    EXPECT_TRUE(onServer("postgres")
                    ->select("SELECT 1 FROM pg_database WHERE datname = ?", {app::yearServerDatabase(Firm, Year + 1)})
                    .rows.isEmpty());
    expectSameRows(dir.path());
    dropFirm();
}
