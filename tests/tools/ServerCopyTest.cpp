#include "app/Paths.h"
#include "data/PgConnection.h"
#include "support/TestData.h"
#include "tools/copy/ServerCopy.h"
#include "tools/demo/DemoData.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A firm of its own on the test server, so that no other test's databases meet these.
const int Firm = 71, Year = 3;

std::unique_ptr<data::Connection> onServer(const QString &database)
{
    return data::Connection::open(app::serverConnectionString(testServer(), database));
}

// A database made by hand from a schema.
std::unique_ptr<data::Connection> fromSchema(const QString &database, const char *schema)
{
    onServer("postgres")->execute(QStringLiteral("CREATE DATABASE ") + database);
    auto db = onServer(database);
    dynamic_cast<data::PgConnection &>(*db).runScript(demo::schemaText(schema));
    return db;
}

// A file's tables as the server's database holds them, compared row for row by rowid.
void expectSameRows(data::Connection &file, data::Connection &db)
{
    for (const QString &table : rowTexts(file, "SELECT name FROM sqlite_master WHERE type = 'table'")) {
        const QString rows = "SELECT rowid, " + file.select("SELECT * FROM " + table + " WHERE 0").columns.join(", ")
            + " FROM " + table + " ORDER BY rowid";
        EXPECT_EQ(rowTexts(db, rows, {}, "<null>"), rowTexts(file, rows, {}, "<null>")) << table.toStdString();
    }
}

// Both files of the firm's year, compared with their databases on the server.
void expectSameRows(const QString &root)
{
    for (const servercopy::Move &move : servercopy::firmMoves(root, Firm, Year))
        expectSameRows(*data::Connection::open(move.file, data::Access::ReadOnly), *onServer(move.database));
}

} // namespace

// The tool copies both files, every table with its rowids, nulls, awkward text and exact doubles,
// into a firm database made by hand from the schema and a year database it creates itself, which
// ends with the schema's indexes; rows added on the server later take rowids after the copied ones.
// A second copy of the year is refused and writes nothing; a further year is copied beside the
// firm's database, which is kept with what the designers have changed in it since. On a server
// make-demo-data too makes the databases once.
TEST(ServerCopy, BothFilesArriveRowForRowAndFilledDatabasesAreNeverOverwrittenNorTheDemoMadeTwice)
{
    if (testServer().isEmpty())
        GTEST_SKIP() << "DESIGNER_TEST_SERVER names no server";
    for (int year : {0, Year, Year + 1})
        dropTestDatabases(Firm, year);
    QTemporaryDir dir;
    {
        demo::DemoFiles files = demo::makeDemoData(dir.path(), Firm, Year);
        files.year->execute("INSERT INTO ZoM35 VALUES (NULL, NULL, NULL, NULL)");
        files.year->execute("INSERT INTO ZoM35 VALUES (?, ?, '', ' ')",
                            {"O'Brien \"& Sons\" 100% ü 日本\t\n", QString(5000, QChar(0x20AC))});
        files.year->execute("INSERT INTO ZoT52 (Col99, ColLineNo, Col93, Col95, ColBags) VALUES ('V', ?, ?, ?, ?)",
                            {Q_INT64_C(9007199254740993), 0.1 + 0.2, 1e-300, -123456789.123456789});
        files.year->execute("DELETE FROM ZoT52 WHERE rowid = 2");
        demo::createDatabase(app::yearDbBase(dir.path(), Firm, Year + 1) + ".db", app::YearPassword,
                             demo::schemaText("year"))
            ->execute("INSERT INTO ZoM35 (Col99) VALUES ('next year')");
    }
    fromSchema(app::firmServerDatabase(Firm), "pg/firm");

    const QStringList command{"--server=" + testServer(), dir.path(), QStringLiteral("%1,%2").arg(Firm).arg(Year)};
    QString output;
    ASSERT_EQ(runTool(COPY_TO_SERVER_EXE, command, &output), 0) << output.toStdString();
    EXPECT_TRUE(output.startsWith("Copied ")) << output.toStdString();
    expectSameRows(dir.path());
    const QString indexes = "SELECT indexdef FROM pg_indexes WHERE schemaname = current_schema() ORDER BY indexname";
    EXPECT_EQ(rowTexts(*onServer(app::yearServerDatabase(Firm, Year)), indexes),
              rowTexts(*fromSchema(app::yearServerDatabase(Firm, 0), "pg/year"), indexes));
    const auto year = onServer(app::yearServerDatabase(Firm, Year));
    year->execute("INSERT INTO ZoM35 (Col99) VALUES ('after')");
    EXPECT_EQ(rowTexts(*year, "SELECT Col99 FROM ZoM35 ORDER BY rowid DESC LIMIT 1"), QStringList{"after"});
    year->execute("DELETE FROM ZoM35 WHERE Col99 = 'after'");
    EXPECT_EQ(runTool(COPY_TO_SERVER_EXE, command, &output), 1);
    EXPECT_TRUE(output.contains("firm71_yr3 already holds data")) << output.toStdString();
    expectSameRows(dir.path());

    onServer(app::firmServerDatabase(Firm))->execute("UPDATE ZoF05 SET Col98 = 500 WHERE Col99 = 'OTH'");
    QStringList done;
    servercopy::copyToServer(testServer(), servercopy::firmMoves(dir.path(), Firm, Year + 1),
                             [&](const servercopy::Move &move, const servercopy::Copied &copied) {
                                 done << QStringLiteral("%1 %2").arg(move.database).arg(copied.kept ? -1 : copied.rows);
                             });
    EXPECT_EQ(done, QStringList({"firm71_yr4 1", "firm71 -1"}));
    EXPECT_EQ(rowTexts(*onServer(app::yearServerDatabase(Firm, Year + 1)), "SELECT Col99 FROM ZoM35"),
              QStringList{"next year"});
    EXPECT_EQ(rowTexts(*onServer(app::firmServerDatabase(Firm)), "SELECT Col98 FROM ZoF05 WHERE Col99 = 'OTH'"),
              QStringList{"500"});

    // make-demo-data makes the two databases once, with the rows of the demo files, writing no file.
    dropTestDatabases(5, 2);
    const QStringList files = snapshot(dir.path());
    EXPECT_EQ(runTool(DEMO_DATA_EXE, {"--server=" + testServer(), "5,2"}, &output, dir.path()), 0);
    EXPECT_EQ(output, "Created year database firm5_yr2 on the server\nCreated firm database firm5 on the server\n");
    EXPECT_EQ(runTool(DEMO_DATA_EXE, {"--server=" + testServer(), "5,2"}, &output, dir.path()), 1);
    EXPECT_EQ(output, "make-demo-data: Database firm5_yr2 holds tables already\n");
    EXPECT_EQ(snapshot(dir.path()), files);
    const demo::DemoFiles demo = demo::makeDemoData(dir.path(), 5, 2);
    expectSameRows(*demo.year, *onServer("firm5_yr2"));
    expectSameRows(*demo.firm, *onServer("firm5"));
}
