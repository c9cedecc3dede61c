#include "app/Paths.h"
#include "data/Connection.h"
#include "support/ErrorOf.h"
#include "support/TestData.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <thread>

namespace {

// A firm's two databases without data, as files or on the test server.
class DatabaseConnection : public ::testing::Test {
protected:
    QTemporaryDir dir;
    demo::DemoFiles files = makeTestData(dir.path(), false, 1, 1);
    bool onFiles = testServer().isEmpty();
};

} // namespace

// Files keyed with another password or holding no database are refused by the start-up tests.
TEST_F(DatabaseConnection, OpensOnlyWhatExistsRollsBackUnlessCommittedAndKeepsStatementsApart)
{
    const auto openError = [](const QString &text) { return codeOf([&] { data::Connection::open(text); }); };
    EXPECT_EQ(openError("Provider=Other;Data Source=x.db;Password=p;"), data::DbCode::Other);
    // A preview's connection refuses every write, to its own file and to any other; no file is made.
    auto reader = data::Connection::open(app::yearConnection(testServer(), dir.path(), 1, 1), data::Access::ReadOnly);
    if (onFiles) {
        EXPECT_EQ(openError(app::connectionString(dir.path() + "/missing", "mervolst")), data::DbCode::CantOpen);
        EXPECT_EQ(codeOf([&] { reader->execute("Attach '" + dir.path() + "/other.db' As o"); }), data::DbCode::CantOpen);
        EXPECT_FALSE(QFile::exists(dir.path() + "/missing.db") || QFile::exists(dir.path() + "/other.db"));
    }

    data::Connection *db = files.year.get();
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
    EXPECT_EQ(db->select("Select Col99 From ZoM35").rows, QVector<QVector<QVariant>>{{"B"}});
    EXPECT_FALSE(db->inTransaction());

    EXPECT_EQ(codeOf([&] { reader->execute("Delete From ZoM35"); }), data::DbCode::ReadOnly);
    EXPECT_TRUE(db->writable());
    EXPECT_FALSE(reader->writable());
    // Prepare compiles without running: the one row stays, as the reader sees it.
    db->prepare("Insert Into ZoM35 (Col99) Values ('A')");
    EXPECT_EQ(reader->select("Select count(*) From ZoM35").rows[0][0].toInt(), 1);
    EXPECT_EQ(codeOf([&] { db->prepare("Select NoSuchColumn From ZoM35"); }), data::DbCode::Sql);
    try {
        db->execute("Insert Into ZoCTR (Col99) Values ('CTR1'), ('CTR1')");
        ADD_FAILURE() << "a repeated key was stored";
    } catch (const data::DbError &e) {
        EXPECT_EQ(e.code(), data::DbCode::Constraint);
        EXPECT_EQ(e.statement(), "Insert Into ZoCTR (Col99) Values ('CTR1'), ('CTR1')");
    }

    // Far more distinct statements than the connection keeps compiled, run while a read of the same
    // connection is still stepping: the oldest kept ones make room, and the one in use is never
    // among them.
    db->execute("Insert Into ZoM35 (Col99) Values ('A'), ('C')");
    QStringList seen;
    db->forEachRow("Select Col99 From ZoM35 Order By Col99", {}, [&](const QVector<QVariant> &row) {
        int sum = 0;
        for (int i = 0; i < 150; ++i)
            sum += db->select(QStringLiteral("Select %1 + count(*) From ZoM35 Where Col99=?").arg(i), {row[0]})
                       .rows.first().first().toInt() - i;
        seen << row[0].toString() + QString::number(sum);
    });
    EXPECT_EQ(seen, QStringList({"A150", "B150", "C150"}));

    // Called before the statement starts, the interrupt is not lost.
    db->interrupt();
    EXPECT_EQ(codeOf([&] {
                  db->select("With Recursive n(i) As (Select 1 Union All Select i + 1 From n Where i < 100000) "
                             "Select count(*) From n");
              }),
              data::DbCode::Interrupted);
}

// Another program deleting the year file, or putting another in the firm file's place, leaves
// each connection on its old file: a write says what happened rather than that it is read-only.
TEST_F(DatabaseConnection, AWriteToAFileDeletedOrReplacedMeanwhileSaysSo)
{
    SKIP_ON_SERVER("about files deleted or replaced under the program");
    const QString year = app::yearDbBase(dir.path(), 1, 1) + ".db", firm = app::firmDbBase(dir.path(), 1) + ".db";
    ASSERT_TRUE(QFile::remove(year));
    ASSERT_TRUE(QFile::copy(firm, firm + "-copy") && QFile::remove(firm) && QFile::rename(firm + "-copy", firm));
    for (const auto &[db, path] : {std::pair{files.year.get(), year}, std::pair{files.firm.get(), firm}})
        EXPECT_EQ(codeOf([&, db = db] { db->execute("Create Table Scratch (x)"); }), data::DbCode::Moved) << path.toStdString();
}

// The wait for another program's lock ends after five seconds on the clock, however long each
// short sleep really takes on a busy machine (stretched here by a coarse timer slack). Stopped from
// another thread at any moment, even as it is being sent, a statement that would run for ever ends
// at once, and so does the next on a server.
TEST_F(DatabaseConnection, GivesUpWaitingForALockAfterFiveSecondsAndEndsAtAnInterrupt)
{
    auto other = data::Connection::open(app::firmConnection(testServer(), dir.path(), 1));
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

    const QString endless = onFiles ? "With Recursive n(i) As (Select 1 Union All Select i + 1 From n) "
                                      "Select count(*) From n"
                                    : "Select pg_sleep(600)";
    for (int i = 0; i < 40; ++i) {
        auto db = data::Connection::open(app::yearConnection(testServer(), dir.path(), 1, 1));
        timer.restart();
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(50 * i));
            db->interrupt();
        });
        EXPECT_EQ(codeOf([&] { db->select(endless); }), data::DbCode::Interrupted);
        stopper.join();
        EXPECT_EQ(codeOf([&] { db->select("Select 1"); }), data::DbCode::Interrupted) << "and so is the next";
        ASSERT_LT(timer.elapsed(), 5000) << "interrupted after " << 50 * i << " microseconds";
    }
}
