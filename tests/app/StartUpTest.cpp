#include "app/CommandLine.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "support/FakeMessages.h"
#include "tools/demo/DemoData.h"
#include "ui/grid/Grid.h"
#include "ui/list/Form1.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString describe(const app::CommandLine &c)
{
    if (!c.error.isEmpty())
        return QStringLiteral("error");
    return QStringLiteral("%1,%2 %3").arg(c.firmNo).arg(c.yearNo).arg(c.runMode);
}

QString parse(const QStringList &args)
{
    return describe(app::parseCommandLine(args));
}

} // namespace

TEST(CommandLine, ReadsFirmAndYearLikeTheOriginalConversion)
{
    EXPECT_EQ(parse({"5,2"}), "5,2 CTR");
    EXPECT_EQ(parse({"05,", "02"}), "5,2 CTR"); // arguments joined by one blank: "05, 02"
    EXPECT_EQ(parse({"5,2,9"}), "5,2 CTR");
    EXPECT_EQ(parse({"  5 , 2  "}), "5,2 CTR");
    EXPECT_EQ(parse({"4.5,2.5"}), "4,2 CTR"); // halves go to the even neighbour
    EXPECT_EQ(parse({"5.5,1.51"}), "6,2 CTR");
    EXPECT_EQ(parse({"32767,0"}), "32767,0 CTR");
    EXPECT_EQ(parse({"--run-mode=WIZARD", "5,2"}), "5,2 WIZARD");
    EXPECT_EQ(parse({"5,2", "--run-mode=CTR"}), "5,2 CTR");
}

TEST(CommandLine, RefusesWhatIsNoFirmAndYear)
{
    for (const QStringList &args :
         {QStringList{}, {""}, {"5"}, {"5,"}, {",2"}, {"a,b"}, {"5,x"}, {"40000,1"}, {"-1,2"}, {"5;2"}, {"   "},
          {"5,2e"}, {"٥,٢"}, {"--run-mode=OTHER", "5,2"}, {"--verbose", "5,2"}, {QString(5000, '9') + ",1"}}) {
        const app::CommandLine c = app::parseCommandLine(args);
        EXPECT_FALSE(c.error.isEmpty()) << args.join(' ').left(40).toStdString();
        EXPECT_TRUE(c.error.contains("5,2")) << "the usage names the expected form";
    }
}

TEST(Paths, FollowTheFirmAndYearNumbers)
{
    EXPECT_EQ(app::dataRootOf("/srv/acc/Rpt"), "/srv/acc");
    EXPECT_EQ(app::dataRootOf("/ab"), "");
    EXPECT_EQ(app::yearConnectionString("/srv/acc", 5, 2),
              "Provider=SQLCipher;Data Source=/srv/acc/Firm5/Yr2/Corvane2.db;Password=mervolst;");
    EXPECT_EQ(app::firmConnectionString("/srv/acc", 5),
              "Provider=SQLCipher;Data Source=/srv/acc/Firm5/Firm5.db;Password=quandrel;");
}

class StartUp : public ::testing::Test {
protected:
    void TearDown() override
    {
        app::settings().YearDb.reset();
        app::settings().FirmDb.reset();
        for (QWidget *w : QApplication::topLevelWidgets())
            w->hide();
    }
    QTemporaryDir root;
};

TEST_F(StartUp, OpensBothFilesBelowTheProgramFolderAndShowsTheList)
{
    demo::makeDemoData(root.path(), 5, 2);
    ASSERT_EQ(app::Main({"05,", "02"}, root.path() + "/Rpt"), 0);
    const app::Settings &s = app::settings();
    EXPECT_EQ(s.DataRoot, root.path());
    EXPECT_EQ(s.FirmNo, 5);
    EXPECT_EQ(s.YearNo, 2);
    EXPECT_EQ(s.RunMode, "CTR");
    EXPECT_EQ(s.ReportFamily, "PWR");
    EXPECT_EQ(s.SourceTables, "'M02','M20','T51','T52'");
    EXPECT_EQ(s.ExtraSelect, " ,M02.Col99 ");
    EXPECT_TRUE(s.SourceFrom.startsWith(" FROM ((((((ZoT51 AS T51 LEFT JOIN"));
    EXPECT_TRUE(s.SourceFrom.endsWith("Where T52.Col99 <> '' "));
    ASSERT_TRUE(s.YearDb && s.FirmDb);
    EXPECT_TRUE(Form1::instance().isVisible());
    EXPECT_GT(Form1::instance().vfg->rows(), 2);
}

TEST_F(StartUp, StopsBeforeTheFirmFileWhenTheYearFileIsMissing)
{
    demo::makeDemoData(root.path(), 5, 2);
    FakeMessages::instance().clear();
    EXPECT_NE(app::Main({"5,3"}, root.path() + "/Rpt"), 0);
    EXPECT_FALSE(app::settings().YearDb);
    EXPECT_FALSE(app::settings().FirmDb);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("Corvane3.db"));
}

TEST_F(StartUp, RefusesAnEmptyFileOrOneWithoutTheDesignersTables)
{
    const QString year = app::yearDbBase(root.path(), 5, 2) + ".db";
    const QString firm = app::firmDbBase(root.path(), 5) + ".db";
    demo::createDatabase(firm, app::FirmPassword, demo::schemaText("firm"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(year).path()));
    QFile empty(year);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    FakeMessages::instance().clear();
    EXPECT_NE(app::Main({"5,2"}, root.path() + "/Rpt"), 0);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("no table ZoCTR"))
        << FakeMessages::instance().shown[0].prompt.toStdString();

    QFile::remove(year);
    demo::createDatabase(year, app::YearPassword, demo::schemaText("year"))->execute("Drop Table CrChild");
    EXPECT_NE(app::Main({"5,2"}, root.path() + "/Rpt"), 0);
    EXPECT_TRUE(FakeMessages::instance().shown.last().prompt.contains("no table CrChild"));
    EXPECT_FALSE(app::settings().YearDb);
}

// The real program, as a user starts it: refused starts exit non-zero with the reason on stderr.
class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(root.path()).mkpath("Rpt"));
        program = root.path() + "/Rpt/designer";
        ASSERT_TRUE(QFile::copy(DESIGNER_EXE, program));
    }
    int run(const QStringList &args, QString *errors, int waitMs = 20000)
    {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(waitMs);
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
            return -1000; // still running: the list window is up
        }
        return p.exitCode();
    }
    QTemporaryDir root;
    QString program;
};

TEST_F(Program, RefusesABadCommandLineOrAMissingOrWronglyKeyedFile)
{
    QString errors;
    EXPECT_NE(run({"5,"}, &errors), 0);
    EXPECT_TRUE(errors.contains("5,2")) << errors.toStdString();
    EXPECT_NE(run({}, &errors), 0);
    EXPECT_NE(run({"5,2"}, &errors), 0);
    EXPECT_TRUE(errors.contains("Corvane2.db")) << errors.toStdString();

    // A firm file keyed with another password fails after the year file opened.
    ASSERT_TRUE(demo::createDatabase(app::yearDbBase(root.path(), 5, 2) + ".db", app::YearPassword,
                                     demo::schemaText("year")));
    ASSERT_TRUE(demo::createDatabase(app::firmDbBase(root.path(), 5) + ".db", "wrong", demo::schemaText("firm")));
    EXPECT_NE(run({"5,2"}, &errors), 0);
    EXPECT_TRUE(errors.contains("firm database")) << errors.toStdString();
}

TEST_F(Program, KeepsRunningWithTheListWhenBothFilesOpen)
{
    demo::makeDemoData(root.path(), 5, 2);
    QString errors;
    EXPECT_EQ(run({"5,2"}, &errors, 1500), -1000) << errors.toStdString();
}
