#include "app/Module1.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "tests/torture/Children.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/crosstab/TextBox.h"
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

bool exitedCleanly(int status)
{
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Another program holding the write lock of one file for a while.
class Lock {
public:
    Lock(const QString &root, const char *file, int ms) : log_(root + QStringLiteral("/lock.log"))
    {
        QFile::remove(log_);
        pid_ = torture::startChild({QStringLiteral("--child-lock"), root, QLatin1String(file), QString::number(ms)});
    }
    bool taken() const { return torture::waitForLine(log_, QStringLiteral("locked"), 30000); }
    bool released() const { return exitedCleanly(torture::waitChild(pid_, 60000)); }

private:
    QString log_;
    pid_t pid_;
};

} // namespace

// Two programs taking numbers from one firm file at the same time never get the same one.
TEST(Concurrency, TwoProgramsTakingNumbersNeverShareOne)
{
    TestRoot root(TestRoot::Empty);
    const int start = root.counter(QStringLiteral("OTH"));
    const int each = torture::scaled("TORTURE_NUMBERS", 2000);
    QList<pid_t> children;
    for (int child = 0; child < 2; ++child)
        children << torture::startChild({QStringLiteral("--child-numbers"), root.path(),
                                         root.path() + QStringLiteral("/numbers%1.txt").arg(child),
                                         QString::number(each)});
    for (pid_t pid : children)
        EXPECT_TRUE(exitedCleanly(torture::waitChild(pid, 240000)));
    QSet<int> seen;
    int taken = 0;
    for (int child = 0; child < 2; ++child) {
        QFile file(root.path() + QStringLiteral("/numbers%1.txt").arg(child));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            ++taken;
            EXPECT_TRUE(line.toInt() >= start && !seen.contains(line.toInt())) << line.toStdString();
            seen.insert(line.toInt());
        }
    }
    EXPECT_EQ(taken, 2 * each);
    EXPECT_EQ(seen.size(), 2 * each);
    EXPECT_EQ(root.counter(QStringLiteral("OTH")), start + 2 * each);
}

// A number asked for while another program writes waits for it and then comes.
TEST(Concurrency, ANumberWaitsForAShortLock)
{
    TestRoot root(TestRoot::Empty);
    const int start = root.counter(QStringLiteral("OTH"));
    Lock lock(root.path(), "firm", 1000);
    ASSERT_TRUE(lock.taken());
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(app::GetRecNo(QStringLiteral("OTH")), start);
    EXPECT_GT(timer.elapsed(), 300);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(lock.released());
    EXPECT_EQ(root.counter(QStringLiteral("OTH")), start + 1);
}

namespace {

// Saves the open definition window from inside its own loop; returns what the save showed.
QStringList saveInWindow(int entryType, const QString &recNo, const QString &desc, bool *stayedOpen)
{
    SelectionScreen &s = SelectionScreen::instance();
    QTimer::singleShot(0, &s, [&] {
        if (entryType == 0) {
            s.txtReportName->setText(QStringLiteral("Locked out"));
            for (TextBox *box : {s.txtRowData, s.txtColData, s.txtDispData}) {
                box->tag = box->objectName();
                box->setText(box->objectName());
            }
        }
        s.txtReportDesc->setText(desc);
        s.cmdSave_Click();
        *stayedOpen = s.isVisible();
        s.cmdCancel_Click();
    });
    FakeMessages::instance().clear();
    s.EntryType(entryType, recNo);
    return FakeMessages::instance().prompts();
}

} // namespace

// A lock held past the wait makes the save fail with the engine's message, the window stays open
// and neither file changes; the number already taken stays taken.
TEST(Concurrency, ASaveBlockedPastTheWaitFailsWithAMessageAndWritesNothing)
{
    TestRoot root(TestRoot::Demo);
    const QString all = QStringLiteral("Select * From ZoCTR Order By Col99");
    const QStringList before = root.rows(all);
    const int counter = root.counter(QStringLiteral("OTH"));
    bool stayedOpen = false;
    {
        Lock lock(root.path(), "firm", 8000);
        ASSERT_TRUE(lock.taken());
        EXPECT_EQ(saveInWindow(0, QString(), QStringLiteral("new"), &stayedOpen),
                  QStringList{QStringLiteral("database is locked")});
        EXPECT_TRUE(stayedOpen);
        EXPECT_TRUE(lock.released());
    }
    EXPECT_EQ(root.counter(QStringLiteral("OTH")), counter);
    EXPECT_EQ(root.rows(all), before);
    {
        Lock lock(root.path(), "year", 8000);
        ASSERT_TRUE(lock.taken());
        EXPECT_EQ(saveInWindow(1, QStringLiteral("CTR2"), QStringLiteral("changed"), &stayedOpen),
                  QStringList{QStringLiteral("database is locked")});
        EXPECT_TRUE(stayedOpen);
        EXPECT_TRUE(lock.released());
    }
    EXPECT_EQ(root.rows(all), before);
    EXPECT_EQ(FakeMessages::instance().shown.value(0).icon, app::Icon::Critical);
}
