#include "app/Module1.h"
#include "support/Definitions.h"
#include "support/ErrorOf.h"
#include "support/TestRoot.h"
#include "tests/torture/Torture.h"
#include "ui/wizard/ReportStore.h"
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <algorithm>
#include <iostream>
#include <numeric>
#include <string>
#include <vector>

namespace {

// A save as a window makes it: of a new definition of either kind (0 a cross-tab, 1 a tabular
// report) named `text` when `code` is empty, else of definition `code`, loaded now and changed to
// `text` (a cross-tab's description, a report's caption) when the call returned runs.
std::function<app::SaveResult(QString &)> saving(data::Connection &year, int kind, const QString &code,
                                                 const QString &text)
{
    if (kind == 0) {
        const auto loaded = code.isEmpty() ? std::nullopt : crosstab::loadCrossTab(year, code);
        crosstab::CrossTabDefinition d = loaded ? loaded->definition : crossTab(text);
        if (loaded)
            d.desc = text;
        return [&year, d, loaded](QString &c) { return crosstab::saveCrossTab(year, c, d, loaded ? &*loaded : nullptr); };
    }
    const auto loaded = code.isEmpty() ? std::nullopt : loadReport(year, code);
    return [&year, text, loaded](QString &c) {
        return saveReport(year, c, loaded ? loaded->name : text, columns(text), loaded ? &*loaded : nullptr);
    };
}

bool exitedCleanly(QProcess &child, int ms)
{
    child.waitForFinished(ms);
    return child.state() == QProcess::NotRunning && child.exitStatus() == QProcess::NormalExit
        && child.exitCode() == 0;
}

// What a child that saved said last: its code, or "refused" and why.
QString lastSaid(QProcess &child)
{
    EXPECT_TRUE(exitedCleanly(child, 60000));
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed().section(QLatin1Char('\n'), -1);
}

// Another program takes the write lock of the "year" or "firm" file and holds it for ms milliseconds.
bool lockedByAnother(QProcess &holder, const QString &root, const char *file, int ms)
{
    torture::startChild(holder, {QStringLiteral("--child-lock"), root, QLatin1String(file), QString::number(ms)});
    return holder.waitForReadyRead(30000);
}

} // namespace

namespace torture {

void takeNumbers(int count)
{
    for (int i = 0; i < count; ++i)
        say(QString::number(app::GetRecNo(QStringLiteral("OTH"))));
}

void saveAfterGo(int kind, QString code, const QString &text)
{
    const auto save = saving(app::YearDb(), kind, code, text);
    say(QStringLiteral("ready"));
    std::string line;
    if (!std::getline(std::cin, line))
        die(QStringLiteral("no go"));
    const app::SaveResult result = save(code);
    say(result == app::SaveResult::Saved ? code : QStringLiteral("refused %1").arg(int(result)));
}

void holdLock(const QString &file, int ms)
{
    data::Transaction lock(file == QLatin1String("firm") ? app::FirmDb() : app::YearDb());
    say(QStringLiteral("locked"));
    QThread::msleep(ms);
}

} // namespace torture

// Two programs taking numbers from one firm database at the same time get every number once, in
// one unbroken run from where the counter stood; a number asked for while another program holds
// the file's lock a moment waits for it and then comes (a server's counter needs no such lock).
// A lock held past the wait makes a save fail as busy (the window shows a failed save's message,
// as its own test checks) and neither database changes: a new definition waits on the firm file
// for its number (on a server, whose numbers need no lock, on the year database), an edited one
// on the year database.
TEST(Concurrency, NumbersComeOnceALockPastTheWaitFailsASaveAsBusyAndTwoProgramsNeitherStoreANameTwiceNorUndoAChange)
{
    TestRoot root(TestRoot::Demo);
    // A program taking numbers without a pause holds the lock almost always, so the other may wait
    // out most of its run: a run must stay well inside the 5 s wait also on a loaded machine.
    const int start = root.counter(QStringLiteral("OTH")), each = torture::rounds("TORTURE_NUMBERS", 1000);
    QProcess children[2];
    for (QProcess &child : children)
        torture::startChild(child, {QStringLiteral("--child-numbers"), root.path(), QString::number(each)});
    std::vector<int> taken;
    for (QProcess &child : children) {
        EXPECT_TRUE(exitedCleanly(child, 240000));
        for (const QString &line : QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
            taken.push_back(line.toInt());
    }
    std::sort(taken.begin(), taken.end());
    std::vector<int> expected(2 * each);
    std::iota(expected.begin(), expected.end(), start);
    EXPECT_EQ(taken, expected);

    QProcess lock;
    ASSERT_TRUE(lockedByAnother(lock, root.path(), "firm", 1000));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(app::GetRecNo(QStringLiteral("OTH")), start + 2 * each);
    EXPECT_GE(timer.elapsed(), testServer().isEmpty() ? 300 : 0);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(exitedCleanly(lock, 60000));

    const QString all = QStringLiteral("Select * From ZoCTR Order By Col99");
    const QStringList before = root.rows(all);
    const char *numbers = testServer().isEmpty() ? "firm" : "year";
    for (const auto &[file, recNo] : {std::pair<const char *, const char *>{numbers, ""}, {"year", "CTR2"}}) {
        const auto save = saving(root.year(), 0, QLatin1String(recNo), QStringLiteral("Locked out"));
        QProcess lock;
        ASSERT_TRUE(lockedByAnother(lock, root.path(), file, 8000));
        QString code = QLatin1String(recNo);
        EXPECT_EQ(codeOf([&] { save(code); }), data::DbCode::Busy) << file;
        EXPECT_TRUE(exitedCleanly(lock, 60000));
        EXPECT_EQ(root.rows(all), before);
        EXPECT_EQ(root.counter(QStringLiteral("OTH")), start + 2 * each + 1);
    }

    // Then, in each round, in both designers: two programs adding a definition of the same name at the
    // same moment store it once, the other refused as a duplicate; and a program saving a definition
    // that another program changed (or, in the last rounds, deleted) after it was opened is told so
    // and stores nothing: the other program's change stays.
    const int n = torture::rounds("TORTURE_PAIRS", 40);
    const QString definitions = "Select (Select count(*) From ZoCTR) + (Select count(*) From CrMain)";
    const int present = root.value(definitions).toInt();
    for (int i = 0; i < n; ++i) {
        const int kind = i % 2;
        const bool last = i >= n - 2;
        QProcess children[2];
        for (QProcess &child : children) {
            torture::startChild(child, {QStringLiteral("--child-save"), root.path(), QString::number(kind), QString(),
                                        QStringLiteral("Same name %1").arg(i)});
            EXPECT_TRUE(child.waitForReadyRead(30000)) << "a child never got ready";
        }
        for (QProcess &child : children)
            child.write("go\n");
        QStringList said;
        for (QProcess &child : children)
            said << lastSaid(child);
        said.sort();
        EXPECT_TRUE(said.value(0).startsWith(kind == 0 ? "CTR" : "CRF")) << said.join(", ").toStdString();
        EXPECT_EQ(said.value(1), QStringLiteral("refused %1").arg(int(app::SaveResult::DuplicateName)));

        QString code = kind == 0 ? QStringLiteral("CTR2") : QStringLiteral("CRF4");
        const char *table = kind == 0 ? "Select * From ZoCTR" : "Select * From CrChild";
        QProcess child;
        torture::startChild(child, {QStringLiteral("--child-save"), root.path(), QString::number(kind), code, "Mine"});
        ASSERT_TRUE(child.waitForReadyRead(30000));
        if (last)
            kind == 0 ? crosstab::deleteCrossTab(root.year(), code) : deleteReport(root.year(), code);
        else
            ASSERT_EQ(saving(root.year(), kind, code, QStringLiteral("Theirs %1").arg(i))(code), app::SaveResult::Saved);
        const QStringList stored = root.rows(table);
        child.write("go\n");
        const app::SaveResult told = last ? app::SaveResult::DeletedElsewhere : app::SaveResult::ChangedElsewhere;
        EXPECT_EQ(lastSaid(child), QStringLiteral("refused %1").arg(int(told)));
        EXPECT_EQ(root.rows(table), stored) << "round " << i;
    }
    // One added in each round and two deleted: more rows would be a name stored twice.
    EXPECT_EQ(root.value(definitions).toInt(), present + n - 2);
    std::printf("%d rounds of two programs at once: no name stored twice, no change undone\n", n);
}
