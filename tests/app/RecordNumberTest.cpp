#include "app/Module1.h"
#include "app/Paths.h"
#include "data/Connection.h"
#include "support/TestRoot.h"
#include <QSet>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(MakeDecFormat, AppendsOneZeroPerDecimalPlace)
{
    EXPECT_EQ(app::MakeDecFormat(2), "##########0.00");
    EXPECT_EQ(app::MakeDecFormat(0), "##########0.");
    EXPECT_EQ(app::MakeDecFormat(-3), "##########0.");
    EXPECT_EQ(app::MakeDecFormat(5), "##########0.00000");
}

TEST(GetRecNo, HandsOutTheCounterAndLeavesItOneHigher)
{
    TestRoot root(TestRoot::Demo);
    root.firm().execute("Update ZoF05 Set Col98=17 Where Col99='OTH'");
    EXPECT_EQ(app::GetRecNo("OTH", true), 17);
    EXPECT_EQ(root.counter("OTH"), 18);
    EXPECT_EQ(app::GetRecNo("OTH", true), 18);
    EXPECT_EQ(app::GetRecNo("OTH", false), 19);
    EXPECT_EQ(root.counter("OTH"), 19);
    const int mrn = root.counter("MRN");
    EXPECT_EQ(app::GetRecNo("MRN", true), mrn);
    EXPECT_EQ(root.counter("OTH"), 19) << "series are counted apart";
}

TEST(GetRecNo, RefusesAMissingSeriesAndANullCounterWithoutWriting)
{
    TestRoot root(TestRoot::Empty);
    EXPECT_THROW(app::GetRecNo("XYZ", true), std::exception);
    root.firm().execute("Update ZoF05 Set Col98=NULL Where Col99='OTH'");
    EXPECT_THROW(app::GetRecNo("OTH", true), std::exception);
    EXPECT_EQ(root.firm().select("Select count(*) From ZoF05").rows[0][0].toInt(), 2);
}

TEST(GetSqlValue, GivesTheFirstValueOrZero)
{
    TestRoot root(TestRoot::Demo);
    EXPECT_EQ(app::GetSqlValue("Select COUNT(ColRepName)  From ZoCTR  Where ColRepName=?", {"no such name"}), 0);
    EXPECT_EQ(app::GetSqlValue("Select ColRepType From ZoCTR Where 0"), 0);
    EXPECT_EQ(app::GetSqlValue("Select 2.5"), 2.5);
}

// Two programs allocating from one firm file at the same time never get the same number.
TEST(GetRecNo, TwoProcessesNeverShareANumber)
{
    TestRoot root(TestRoot::Empty);
    const QString connection = app::firmConnectionString(root.path(), 1);
    const int start = root.counter("OTH");
    const int perChild = 200;
    QList<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const QString out = root.path() + QStringLiteral("/numbers%1.txt").arg(child);
        const pid_t pid = fork();
        if (pid == 0) {
            int status = 0;
            try {
                auto firm = data::Connection::open(connection);
                app::settings().FirmDb.release(); // the parent's connection is not ours to close
                app::settings().FirmDb = std::move(firm);
                QFile file(out);
                file.open(QIODevice::WriteOnly);
                for (int i = 0; i < perChild; ++i)
                    file.write(QByteArray::number(app::GetRecNo("OTH", true)) + "\n");
            } catch (const std::exception &e) {
                fprintf(stderr, "child: %s\n", e.what());
                status = 1;
            }
            _exit(status);
        }
        children << pid;
    }
    for (pid_t pid : children) {
        int status = -1;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    QSet<int> seen;
    for (int child = 0; child < 2; ++child) {
        QFile file(root.path() + QStringLiteral("/numbers%1.txt").arg(child));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            const int number = line.toInt();
            EXPECT_FALSE(seen.contains(number)) << number;
            seen.insert(number);
        }
    }
    EXPECT_EQ(seen.size(), 2 * perChild);
    EXPECT_EQ(root.counter("OTH"), start + 2 * perChild);
}
