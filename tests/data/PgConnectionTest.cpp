#include "app/Paths.h"
#include "data/PgConnection.h"
#include "support/ErrorOf.h"
#include "support/TestData.h"
#include <gtest/gtest.h>
#include <thread>

// A fresh year database on the test server (DESIGNER_TEST_SERVER, a libpq conninfo): values come
// back as they went in, failures carry their code; two workstations adding to one counter queue
// on the locked transaction, one that cannot get the lock in its wait is told Busy, and a lost
// connection is told, the next statement connecting again.
TEST(PgConnection, ValuesLocksAndLostSessions)
{
    const QString server = testServer();
    if (server.isEmpty())
        GTEST_SKIP() << "DESIGNER_TEST_SERVER names no server";
    data::PgConnection admin(server, "postgres");
    admin.execute("DROP DATABASE IF EXISTS designer_pgtest WITH (FORCE)");
    admin.execute("CREATE DATABASE designer_pgtest");
    // The server's text runs to the end of the connection string, ';' and all.
    const auto open = [&] {
        return data::Connection::open(
            app::serverConnectionString(server + " application_name='designer;test'", "designer_pgtest"));
    };
    const auto year = open();
    data::Connection &db = *year;
    static_cast<data::PgConnection &>(db).runScript(demo::schemaText("pg/year"));
    EXPECT_TRUE(db.hasTable("CRCHILD"));
    EXPECT_FALSE(db.hasTable("NoSuchTable"));

    // Text with marks and quotes, a whole number into text, a double exactly, a bool as 1, a null.
    const QString text = "it's ? \"odd\" -- not a comment";
    db.execute("Insert Into CrChild (ColCode, ColFieldNameDisp, ColWidth, ColDecimal, ColSeq, ColAlign) "
               "Values (?, ?, ?, ?, ?, ?) -- a '?' here is no mark",
               {"crf1", text, 7, 0.1 + 0.2, true, QVariant()});
    const data::RowSet rows = db.select("Select ColFieldNameDisp, ColWidth, ColDecimal, ColSeq, ColAlign, rowid, "
                                        "'?' As mark From CrChild Where ColCode = ?",
                                        {"CRF1"});
    EXPECT_EQ(rows.columns, QStringList({"colfieldnamedisp", "colwidth", "coldecimal", "colseq", "colalign", "rowid",
                                         "mark"}));
    QStringList typed;
    for (const QVariant &v : rows.rows.value(0))
        typed << QString(v.typeName()) + ' ' + v.toString();
    EXPECT_EQ(typed, QStringList({"QString " + text, "QString 7", "double 0.30000000000000004", "qlonglong 1", " ",
                                  "qlonglong 1", "QString ?"}));

    // Codes are keys whatever their case.
    EXPECT_EQ(codeOf([&] { db.execute("Insert Into CrMain (ColCode) Values ('CRF1'), ('crf1')"); }),
              data::DbCode::Constraint);
    EXPECT_EQ(codeOf([&] { db.select("Select NoSuchColumn From CrMain"); }), data::DbCode::Sql);
    EXPECT_EQ(codeOf([&] { data::Connection::open(app::serverConnectionString(server, "no_such_db")); }),
              data::DbCode::CantOpen);

    // A transaction left after a failed statement stores nothing, and commit says so.
    db.beginImmediate();
    db.execute("Insert Into CrMain (ColCode) Values ('CRF2')");
    EXPECT_EQ(codeOf([&] { db.execute("Insert Into CrMain (ColCode) Values ('crf2')"); }), data::DbCode::Constraint);
    EXPECT_TRUE(codeOf([&] { db.commit(); }).has_value());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(db.select("Select count(*) From CrMain").rows[0][0].toInt(), 0);

    // A user who may only read the definitions is refused writes like a preview's session.
    db.execute("Do $$ Begin Create Role designer_reader Login; Exception When duplicate_object Then End $$");
    db.execute("Grant Select On All Tables In Schema public To designer_reader");
    data::PgConnection looker(server + " user=designer_reader", "designer_pgtest");
    EXPECT_EQ(codeOf([&] { looker.execute("Delete From CrChild"); }), data::DbCode::ReadOnly);
    EXPECT_FALSE(looker.writable());

    // A walk streams a long result (statements run while it steps are the connection test's), and
    // a walk stopped early leaves the connection ready.
    qint64 sum = 0;
    db.walkRows("Select i From generate_series(1, 200000) i", {},
                [&](const data::Row &r) { sum += r.value(0).toLongLong(); });
    EXPECT_EQ(sum, 200000LL * 200001 / 2);
    EXPECT_THROW(db.forEachRow("Select i From generate_series(1, 1000000) i", {},
                               [](const QVector<QVariant> &) { throw std::runtime_error("enough"); }),
                 std::runtime_error);
    EXPECT_EQ(db.select("Select 1").rows[0][0].toInt(), 1);

    // Each of two workstations adds 200 to a counter, read and written back in one transaction.
    db.execute("Insert Into CrChild (ColCode, ColSeq) Values ('N', 0)");
    const QString counter = "Select ColSeq From CrChild Where ColCode = 'N'";
    const auto add = [&](data::Connection &to) {
        for (int i = 0; i < 200; ++i) {
            data::Transaction tx(to);
            const qint64 n = to.select(counter).rows[0][0].toLongLong();
            to.execute("Update CrChild Set ColSeq = ? Where ColCode = 'N'", {n + 1});
            tx.commit();
        }
    };
    const auto other = open();
    std::thread second([&] { add(*other); });
    add(db);
    second.join();
    EXPECT_EQ(db.select(counter).rows[0][0].toInt(), 400);

    {
        data::Transaction held(*other);
        {
            data::BriefWait brief(db, 200);
            EXPECT_EQ(codeOf([&] { data::Transaction tx(db); }), data::DbCode::Busy);
        }
        EXPECT_EQ(db.busyWait(), 5000);
        EXPECT_FALSE(db.inTransaction());

        // The server ends the session inside a transaction: the transaction is lost as a whole.
        const qint64 pid = other->select("Select pg_backend_pid()").rows[0][0].toLongLong();
        other->execute("Delete From CrChild");
        db.execute("Select pg_terminate_backend(?, 5000)", {pid});
        EXPECT_EQ(codeOf([&] { other->select("Select 1"); }), data::DbCode::Lost);
        EXPECT_EQ(codeOf([&] { held.commit(); }), data::DbCode::Lost);
    }
    EXPECT_EQ(other->select("Select count(*) From CrChild").rows[0][0].toInt(), 2);
    // Ended between two statements, as by a restart of the server, the session is taken up again.
    const QString endYearsSession = "Select pg_terminate_backend(pid, 5000) From pg_stat_activity "
                                    "Where datname = current_database() And application_name = 'designer;test' "
                                    "And pid <> pg_backend_pid()";
    other->execute(endYearsSession);
    EXPECT_EQ(db.select("Select count(*) From CrChild").rows[0][0].toInt(), 2);
    other->execute(endYearsSession);
    data::Transaction tx(db);
    db.execute("Update CrChild Set ColSeq = 0");
    tx.commit();
}
