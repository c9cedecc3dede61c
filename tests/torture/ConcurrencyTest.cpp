#include "app/Module1.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "tests/torture/Torture.h"
#include "ui/crosstab/CrossTabStore.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/crosstab/TextBox.h"
#include "ui/wizard/ReportStore.h"
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <algorithm>
#include <iostream>
#include <string>
#include <numeric>
#include <vector>

namespace torture {

void takeNumbers(int count)
{
    for (int i = 0; i < count; ++i)
        say(QString::number(app::GetRecNo(QStringLiteral("OTH"))));
}

namespace {

// Waits for the parent's line on standard input, so that two programs start their saves together.
void awaitGo()
{
    std::string line;
    if (!std::getline(std::cin, line))
        die(QStringLiteral("no go"));
}

crosstab::CrossTabDefinition crossTab(const QString &name)
{
    return {name, name, "M02.Col98", "M02.Col88", "M02.Col80", "", 0, "Party", "City", "Opening", "", 0};
}

QVector<SelectedColumn> columns(const QString &caption)
{
    return {SelectedColumn({"M02", "Col98", "C", caption, "Left", "2000", "0", "None", "None", "No", "No", "No"})};
}

QString said(app::SaveResult result, const QString &code)
{
    switch (result) {
    case app::SaveResult::Saved:
        return code;
    case app::SaveResult::DuplicateName:
        return QStringLiteral("duplicate");
    case app::SaveResult::ChangedElsewhere:
        return QStringLiteral("changed");
    case app::SaveResult::DeletedElsewhere:
        return QStringLiteral("deleted");
    }
    return {};
}

} // namespace

void addAtOnce(int kind, const QString &name)
{
    say(QStringLiteral("ready"));
    awaitGo();
    QString code;
    say(said(kind == 0 ? crosstab::saveCrossTab(app::YearDb(), code, crossTab(name), nullptr)
                       : saveReport(app::YearDb(), code, name, columns(name), nullptr),
             code));
}

void editAfterOpen(int kind, QString code)
{
    data::Connection &year = app::YearDb();
    const auto crossTabLoaded = kind == 0 ? crosstab::loadCrossTab(year, code) : std::nullopt;
    const auto reportLoaded = kind == 1 ? loadReport(year, code) : std::nullopt;
    if (!crossTabLoaded && !reportLoaded)
        die(QStringLiteral("nothing to open"));
    say(QStringLiteral("loaded"));
    awaitGo();
    if (crossTabLoaded) {
        crosstab::CrossTabDefinition mine = crossTabLoaded->definition;
        mine.desc = QStringLiteral("Mine");
        say(said(crosstab::saveCrossTab(year, code, mine, &*crossTabLoaded), code));
    } else {
        say(said(saveReport(year, code, reportLoaded->name, columns(QStringLiteral("Mine")), &*reportLoaded), code));
    }
}

void holdLock(const QString &file, int ms)
{
    data::Transaction lock(file == QLatin1String("firm") ? app::FirmDb() : app::YearDb());
    say(QStringLiteral("locked"));
    QThread::msleep(ms);
}

} // namespace torture

namespace {

bool exitedCleanly(QProcess &child, int ms)
{
    child.waitForFinished(ms);
    return child.state() == QProcess::NotRunning && child.exitStatus() == QProcess::NormalExit
        && child.exitCode() == 0;
}

// Another program takes the write lock of the "year" or "firm" file and holds it for ms milliseconds.
bool lockedByAnother(QProcess &holder, const QString &root, const char *file, int ms)
{
    torture::startChild(holder, {QStringLiteral("--child-lock"), root, QLatin1String(file), QString::number(ms)});
    return holder.waitForReadyRead(30000);
}

} // namespace

// Two programs taking numbers from one firm file at the same time get every number once, in one
// unbroken run from where the counter stood.
TEST(Concurrency, TwoProgramsTakingNumbersNeverShareOne)
{
    TestRoot root(TestRoot::Empty);
    const int start = root.counter(QStringLiteral("OTH"));
    const int each =
        qEnvironmentVariableIsSet("TORTURE_NUMBERS") ? qEnvironmentVariableIntValue("TORTURE_NUMBERS") : 2000;
    QProcess children[2];
    for (QProcess &child : children)
        torture::startChild(child, {QStringLiteral("--child-numbers"), root.path(), QString::number(each)});
    std::vector<int> taken;
    for (QProcess &child : children) {
        EXPECT_TRUE(exitedCleanly(child, 240000));
        for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                taken.push_back(line.toInt());
    }
    std::sort(taken.begin(), taken.end());
    std::vector<int> expected(2 * each);
    std::iota(expected.begin(), expected.end(), start);
    EXPECT_EQ(taken, expected);
    EXPECT_EQ(root.counter(QStringLiteral("OTH")), start + 2 * each);
}

// A number asked for while another program writes waits for it and then comes.
TEST(Concurrency, ANumberWaitsForAShortLock)
{
    TestRoot root(TestRoot::Empty);
    const int start = root.counter(QStringLiteral("OTH"));
    QProcess lock;
    ASSERT_TRUE(lockedByAnother(lock, root.path(), "firm", 1000));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(app::GetRecNo(QStringLiteral("OTH")), start);
    EXPECT_GT(timer.elapsed(), 300);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(exitedCleanly(lock, 60000));
}

// A lock held past the wait makes the save fail with the engine's message, the window stays open
// and neither file changes: a new definition waits on the firm file for its number, an edited one
// on the year file.
TEST(Concurrency, ASaveBlockedPastTheWaitFailsWithAMessageAndWritesNothing)
{
    TestRoot root(TestRoot::Demo);
    const QString all = QStringLiteral("Select * From ZoCTR Order By Col99");
    const QStringList before = root.rows(all);
    const int counter = root.counter(QStringLiteral("OTH"));
    SelectionScreen &s = SelectionScreen::instance();
    for (const auto &[file, recNo] : {std::pair<const char *, const char *>{"firm", ""}, {"year", "CTR2"}}) {
        QProcess lock;
        ASSERT_TRUE(lockedByAnother(lock, root.path(), file, 8000));
        QTimer::singleShot(0, &s, [&] {
            s.txtReportName->setText(QStringLiteral("Locked out"));
            s.txtReportDesc->setText(QStringLiteral("Locked out"));
            for (TextBox *box : {s.txtRowData, s.txtColData, s.txtDispData}) {
                box->tag = box->objectName();
                box->setText(box->objectName());
            }
            s.cmdSave_Click();
            EXPECT_TRUE(s.isVisible()) << "the window closed on a failed save";
            s.cmdCancel_Click();
        });
        FakeMessages::instance().clear();
        s.EntryType(*recNo ? 1 : 0, QLatin1String(recNo));
        EXPECT_EQ(FakeMessages::instance().prompts(), QStringList{QStringLiteral("database is locked")}) << file;
        EXPECT_EQ(FakeMessages::instance().shown.value(0).icon, app::Icon::Critical);
        EXPECT_TRUE(exitedCleanly(lock, 60000));
        EXPECT_EQ(root.rows(all), before);
        EXPECT_EQ(root.counter(QStringLiteral("OTH")), counter);
    }
}

namespace {

int rounds(const char *variable, int otherwise)
{
    return qEnvironmentVariableIsSet(variable) ? qEnvironmentVariableIntValue(variable) : otherwise;
}

// Starts one child per argument list, each waiting for the word; says it to all at once and
// returns each one's last line.
QStringList together(const QVector<QStringList> &arguments)
{
    std::vector<std::unique_ptr<QProcess>> children;
    for (const QStringList &a : arguments) {
        children.push_back(std::make_unique<QProcess>());
        torture::startChild(*children.back(), a);
    }
    for (auto &child : children)
        EXPECT_TRUE(child->waitForReadyRead(30000)) << "a child never got ready";
    for (auto &child : children)
        child->write("go\n");
    QStringList last;
    for (auto &child : children) {
        EXPECT_TRUE(exitedCleanly(*child, 60000));
        last << QString::fromUtf8(child->readAllStandardOutput()).trimmed().section(QLatin1Char('\n'), -1);
    }
    return last;
}

} // namespace

// Two programs adding a definition of the same name at the same moment store it once; the other
// is refused as a duplicate, in both designers.
TEST(Concurrency, TwoProgramsAddingOneNameAtOnceStoreItOnce)
{
    TestRoot root(TestRoot::Empty);
    const int n = rounds("TORTURE_PAIRS", 40);
    for (int i = 0; i < n; ++i) {
        const QString kind = QString::number(i % 2), name = QStringLiteral("Same name %1").arg(i);
        const QStringList args{QStringLiteral("--child-add"), root.path(), kind, name};
        QStringList said = together({args, args});
        said.sort();
        EXPECT_EQ(said.value(1), "duplicate") << "round " << i << ": " << said.join(", ").toStdString();
        EXPECT_TRUE(said.value(0).startsWith(i % 2 ? "CRF" : "CTR")) << said.value(0).toStdString();
    }
    EXPECT_EQ(root.value("Select count(*) From ZoCTR").toInt() + root.value("Select count(*) From CrMain").toInt(), n);
    EXPECT_EQ(root.value("Select count(Distinct ColRepName) From ZoCTR").toInt()
                  + root.value("Select count(Distinct ColReportName) From CrMain").toInt(),
              n);
    std::printf("%d pairs of programs adding one name at once: each name stored once\n", n);
}

// A program saving a definition that another program changed, or deleted, after it opened it
// stores nothing: the other program's version stays, and the program is told which happened.
TEST(Concurrency, ASaveAfterAnotherProgramsChangeLeavesThatChange)
{
    TestRoot root(TestRoot::Demo);
    const int n = rounds("TORTURE_PAIRS", 40);
    for (int i = 0; i < n; ++i) {
        const bool crossTab = i % 2 == 0, last = i >= n - 2;
        QString code = crossTab ? QStringLiteral("CTR2") : QStringLiteral("CRF4");
        QProcess child;
        torture::startChild(child, {QStringLiteral("--child-edit"), root.path(), crossTab ? "0" : "1", code});
        ASSERT_TRUE(child.waitForReadyRead(30000));
        const QString theirs = QStringLiteral("Theirs %1").arg(i);
        if (last) {
            crossTab ? crosstab::deleteCrossTab(root.year(), code) : deleteReport(root.year(), code);
        } else if (crossTab) {
            const auto loaded = crosstab::loadCrossTab(root.year(), code);
            crosstab::CrossTabDefinition d = loaded->definition;
            d.desc = theirs;
            ASSERT_EQ(crosstab::saveCrossTab(root.year(), code, d, &*loaded), app::SaveResult::Saved);
        } else {
            const auto loaded = loadReport(root.year(), code);
            ASSERT_EQ(saveReport(root.year(), code, loaded->name, torture::columns(theirs), &*loaded), app::SaveResult::Saved);
        }
        const QStringList stored = root.rows(crossTab ? "Select * From ZoCTR" : "Select * From CrChild");
        child.write("go\n");
        EXPECT_TRUE(exitedCleanly(child, 60000));
        EXPECT_EQ(QString::fromUtf8(child.readAllStandardOutput()).trimmed().section('\n', -1),
                  last ? "deleted" : "changed");
        EXPECT_EQ(root.rows(crossTab ? "Select * From ZoCTR" : "Select * From CrChild"), stored) << "round " << i;
    }
    std::printf("%d programs saving over another's change or delete: none overwrote it\n", n);
}
