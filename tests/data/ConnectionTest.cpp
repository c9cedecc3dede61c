#include "app/Paths.h"
#include "data/Connection.h"
#include "support/ErrorOf.h"
#include "tools/demo/DemoData.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/prctl.h>

// Files keyed with another password or holding no database are refused by the start-up tests.
TEST(SqlCipherConnection, OpensOnlyWhatExistsAndRollsBackUnlessCommitted)
{
    QTemporaryDir dir;
    const auto openError = [](const QString &text) { return codeOf([&] { data::Connection::open(text); }); };
    EXPECT_EQ(openError(app::connectionString(dir.path() + "/missing", "mervolst")), data::DbCode::CantOpen);
    EXPECT_FALSE(QFile::exists(dir.path() + "/missing.db"));
    EXPECT_EQ(openError("Provider=Other;Data Source=x.db;Password=p;"), data::DbCode::Other);

    auto db = demo::createDatabase(dir.path() + "/year.db", "mervolst", demo::schemaText("year"));
    {
        data::Transaction tx(*db);
        db->execute("Insert Into ZoM35 (Col99) Values (?)", {"A"});
    }
    {
        data::Transaction tx(*db);
        db->execute("Insert Into ZoM35 (Col99) Values (?)", {"B"});
        {
            data::Transaction inner(*db);
            db->execute("Insert Into ZoM35 (Col99) Values (?)", {"C"});
        }
        tx.commit();
    }
    EXPECT_EQ(db->select("Select group_concat(Col99) From ZoM35").rows[0][0].toString(), "B");
    EXPECT_FALSE(db->inTransaction());

    // A preview's connection refuses every write, to its own file and to any other.
    auto reader = data::Connection::open(app::connectionString(dir.path() + "/year", "mervolst"), data::Access::ReadOnly);
    EXPECT_EQ(errorOf([&] { reader->execute("Delete From ZoM35"); }), "attempt to write a readonly database");
    EXPECT_TRUE(errorOf([&] { reader->execute("Attach '" + dir.path() + "/other.db' As o"); }).contains("unable to open"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/other.db"));
    EXPECT_EQ(reader->select("Select count(*) From ZoM35").rows[0][0].toInt(), 1);

    // Prepare compiles without running.
    db->prepare("Insert Into ZoM35 (Col99) Values ('A')");
    EXPECT_EQ(db->select("Select count(*) From ZoM35").rows[0][0].toInt(), 1);
    EXPECT_EQ(codeOf([&] { db->prepare("Select NoSuchColumn From ZoM35"); }), data::DbCode::Sql);
    try {
        db->execute("Insert Into ZoCTR (Col99) Values ('CTR1'), ('CTR1')");
        ADD_FAILURE() << "a repeated key was stored";
    } catch (const data::DbError &e) {
        EXPECT_EQ(e.code(), data::DbCode::Constraint);
        EXPECT_EQ(e.statement(), "Insert Into ZoCTR (Col99) Values ('CTR1'), ('CTR1')");
    }

    // Called before the statement starts, the interrupt is not lost.
    db->interrupt();
    EXPECT_EQ(codeOf([&] {
                  db->select("With Recursive n(i) As (Select 1 Union All Select i + 1 From n Where i < 100000) "
                             "Select count(*) From n");
              }),
              data::DbCode::Interrupted);
}

// The wait for another program's lock ends after five seconds on the clock, however long each
// short sleep really takes on a busy machine (stretched here by a coarse timer slack).
TEST(SqlCipherConnection, GivesUpWaitingForALockAfterFiveSeconds)
{
    QTemporaryDir dir;
    const demo::DemoFiles files = demo::makeEmptyData(dir.path(), 1, 1);
    auto other = data::Connection::open(app::firmConnectionString(dir.path(), 1));
    other->beginImmediate();
    prctl(PR_SET_TIMERSLACK, 20'000'000UL);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(codeOf([&] { data::Transaction tx(*files.firm); }), data::DbCode::Busy);
    const qint64 waited = timer.elapsed();
    prctl(PR_SET_TIMERSLACK, 0UL);
    EXPECT_GE(waited, 4900);
    EXPECT_LT(waited, 7000);
    other->rollback();
    EXPECT_NO_THROW(data::Transaction tx(*files.firm));
}

// Another program deleting the file, or putting another in its place, leaves this connection on
// the old one: a write says what happened rather than that the file is read-only.
TEST(SqlCipherConnection, AWriteToAFileDeletedOrReplacedMeanwhileSaysSo)
{
    QTemporaryDir dir;
    const QString year = dir.path() + "/year.db";
    const std::function<void()> changes[] = {
        [&] { QFile::remove(year); },
        [&] {
            demo::createDatabase(dir.path() + "/other.db", "mervolst", demo::schemaText("year"));
            QFile::remove(year);
            QFile::rename(dir.path() + "/other.db", year);
        },
    };
    for (const auto &change : changes) {
        QFile::remove(year);
        auto db = demo::createDatabase(year, "mervolst", demo::schemaText("year"));
        EXPECT_TRUE(db->writable());
        change();
        EXPECT_EQ(errorOf([&] {
                      data::Transaction tx(*db);
                      db->execute("Insert Into ZoM35 (Col99) Values ('A')");
                      tx.commit();
                  }),
                  "The database file " + year
                      + " was deleted or replaced while the program was running; start the program again to "
                        "work on the file there now.");
    }
}
