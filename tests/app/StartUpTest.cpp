#include "app/CommandLine.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "support/FakeMessages.h"
#include "support/TestData.h"
#include "ui/grid/Grid.h"
#include "ui/list/Form1.h"
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Drops the run's connections and hides the list: the tests after these open their own.
void closeAll()
{
    app::settings().YearDb.reset();
    app::settings().FirmDb.reset();
    app::settings().Server.clear();
    Form1::instance().hide();
}

// Start-up from `folder` stops with exit code 2 and one critical message that starts with `start`
// and holds `part`, keeping no connection open and the list hidden.
void expectRefused(const QString &folder, const QStringList &args, const QString &start, const QString &part = {})
{
    FakeMessages::instance().clear();
    EXPECT_EQ(app::Main(args, folder), 2);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    const app::Message &shown = FakeMessages::instance().shown[0];
    EXPECT_TRUE(shown.prompt.startsWith(start) && shown.prompt.contains(part)) << shown.prompt.toStdString();
    EXPECT_EQ(shown.icon, app::Icon::Critical);
    EXPECT_FALSE(app::settings().YearDb || app::settings().FirmDb || Form1::instance().isVisible());
}

} // namespace

TEST(CommandLine, ReadsFirmAndYearAndRefusesAnythingElseWithTheUsage)
{
    const QList<QPair<QStringList, QString>> accepted = {
        {{"05,", "02"}, "5,2 CTR"}, {{"5,2,9"}, "5,2 CTR"}, // arguments joined by one blank; a third item ignored
        {{"4.5,5.5"}, "4,6 CTR"}, {{"32767,0"}, "32767,0 CTR"}, // halves go to the even neighbour
        {{"5,2", "--run-mode=WIZARD"}, "5,2 WIZARD"},
        {{"--server=postgresql://anna@acc/x?sslmode=require", "5,2"}, "5,2 CTR postgresql://anna@acc/x?sslmode=require"}};
    for (const auto &[args, expected] : accepted) {
        const app::CommandLine c = app::parseCommandLine(args);
        EXPECT_EQ(c.error + QStringLiteral("%1,%2 %3 %4").arg(c.firmNo).arg(c.yearNo).arg(c.runMode, c.server).trimmed(),
                  expected)
            << args.join(' ').toStdString();
    }
    // One of each reason: no comma, an empty item, no number, out of range once rounded, negative,
    // forms a lax number reader takes, non-ASCII digits, an overflow, unknown options.
    const QList<QStringList> refused = {
        {}, {"5,"}, {"5,x"}, {"5,40000"}, {"32767.5,2"}, {"-1,2"}, {"0x5,2"}, {"nan,2"}, {"1e9,2"},
        {QString::fromUtf8("\u0665,\u0662")}, {QString(100000, '7') + ",2"}, {"--verbose", "5,2"},
        {"--run-mode=wizard", "5,2"}, {"--server=", "5,2"}};
    for (const QStringList &args : refused)
        EXPECT_TRUE(app::parseCommandLine(args).error.endsWith("\n" + app::usageText()))
            << args.join(' ').left(40).toStdString();
}

// Start-up over a data root holding demo firm 5, year 2, in this process and as the real program a
// user starts. A good start shows the list; the program keeps running with it and says at once
// which file it cannot write. Each broken file, or a command line refused, stops the start with
// exit code 2 and one message (the program's on stderr), keeps no connection open and leaves every
// file as it was.
TEST(StartUp, OpensBothFilesOrRefusesThemWithoutWritingToThem)
{
    SKIP_ON_SERVER("about the files under the data root, read-only ones among them");
    QTemporaryDir root;
    const QString designer = root.path() + "/Rpt/designer";
    ASSERT_TRUE(QDir(root.path()).mkpath("Rpt") && QFile::copy(DESIGNER_EXE, designer));
    demo::makeDemoData(root.path(), 5, 2);
    const QString yearFile = app::yearDbBase(root.path(), 5, 2) + ".db";
    const QString firmFile = app::firmDbBase(root.path(), 5) + ".db";
    ASSERT_EQ(app::Main({"05,", "02"}, root.path() + "/Rpt"), 0);
    const app::Settings &s = app::settings();
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4").arg(s.DataRoot).arg(s.FirmNo).arg(s.YearNo).arg(s.RunMode),
              root.path() + " 5 2 CTR");
    EXPECT_TRUE(Form1::instance().isVisible());
    EXPECT_GT(Form1::instance().vfg->rows(), 2);
    closeAll();

    const QStringList made = snapshot(root.path());
    QString errors;
    EXPECT_EQ(runTool(designer, {"5,"}, &errors), 2);
    EXPECT_TRUE(errors.contains("designer: The year number \"\" is not a whole number from 0 to 32767.\n" +
                                app::usageText() + "\n"))
        << errors.toStdString();
    EXPECT_EQ(snapshot(root.path()), made);
    EXPECT_EQ(runTool(designer, {"5,2"}, &errors, {}, 1500), StillRunning) << errors.toStdString();
    EXPECT_FALSE(errors.contains("cannot be written")) << errors.toStdString();
    // Readable by all, writable by none but the owner of the folders.
    QProcess::execute("chmod", {"-R", "a+rX,a-w", root.path()});
    QProcess::execute("find", {root.path(), "-type", "d", "-exec", "chmod", "u+w", "{}", "+"});
    QStringList command{designer, "5,2"};
    if (geteuid() == 0) // the superuser writes any file: the program runs as a user who cannot
        command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} + command;
    EXPECT_EQ(runTool(command[0], command.mid(1), &errors, {}, 1500), StillRunning) << errors.toStdString();
    // After any warning of Qt's about the user's own folders.
    EXPECT_TRUE(errors.endsWith("designer: The year database " + yearFile + " cannot be written (a read-only file, "
                                "folder or medium): definitions can be opened but not saved.\nThe firm database "
                                + firmFile + " cannot be written (a read-only file, folder or medium): new "
                                             "definitions cannot be given a number.\n"))
        << errors.toStdString();
    QProcess::execute("chmod", {"-R", "u+w", root.path()});

    const QString yearMessage = "Cannot open the year database " + yearFile + ": ";
    // One case for each way a file is refused: missing, without a table the designer needs (the firm
    // file after the year file opened), not keyed with its password.
    // Each with its name, the command line, what breaks the files, and the start of the message.
    const std::tuple<const char *, QStringList, std::function<void()>, QString> cases[] = {
        {"missing year", {"5,3"}, [] {}, "Cannot open the year database " + app::yearDbBase(root.path(), 5, 3)},
        {"no ZoF05", {"5,2"},
         [&] { data::Connection::open(app::firmConnectionString(root.path(), 5))->execute("Drop Table ZoF05"); },
         "Cannot open the firm database " + firmFile + ": The database has no table ZoF05"},
        {"empty year", {"5,2"}, [&] { QFile::resize(yearFile, 0); }, yearMessage + "The database has no table ZoCTR"},
        {"year keyed wrongly", {"5,2"},
         [&] {
             QFile::remove(yearFile);
             demo::createDatabase(yearFile, "not the password", demo::schemaText("year"));
         },
         yearMessage + "file is encrypted or is not a database"},
    };
    for (const auto &[name, args, breakFiles, message] : cases) {
        SCOPED_TRACE(name);
        breakFiles();
        const QStringList before = snapshot(root.path());
        expectRefused(root.path() + "/Rpt", args, message);
        EXPECT_EQ(snapshot(root.path()), before);
    }
    closeAll();
}

// Start-up on a server: one that cannot be reached, or that lacks one of the two databases, stops
// the start with the server's reason as a bad file does; with both, the list shows and record
// numbers come from the firm database there.
TEST(StartUp, OnAServerOpensFirmAndYearOrSaysWhyNot)
{
    const auto toFiles = qScopeGuard(closeAll);
    expectRefused("/", {"--server=host=127.0.0.1 port=1", "5,2"},
                  "Cannot open the year database firm5_yr2 on the server: connection to server at \"127.0.0.1\", "
                  "port 1 failed: Connection refused");
    const QString server = testServer();
    if (server.isEmpty())
        GTEST_SKIP() << "DESIGNER_TEST_SERVER names no server";
    makeTestData({}, false, 5, 2);
    data::Connection::open(app::serverConnectionString(server, "postgres"))->execute("DROP DATABASE firm5");
    expectRefused("/", {"--server=" + server, "5,2"},
                  "Cannot open the firm database firm5 on the server: connection to server",
                  "database \"firm5\" does not exist");
    {
        const demo::DemoFiles made = makeTestData({}, false, 5, 2);
        made.year->execute("Insert Into ZoCTR (Col99, ColRepName, ColRepDesc) Values ('CTR4', 'Sales', 'By month')");
        made.firm->execute("Update ZoF05 Set Col98 = 17 Where Col99 = 'OTH'");
    }

    ASSERT_EQ(app::Main({"--server=" + server, "5,2"}, "/"), 0);
    EXPECT_TRUE(Form1::instance().isVisible());
    Form1::instance().DataSelect(); // the list of this process may have been read before
    EXPECT_EQ(Form1::instance().vfg->textMatrix(1, 0) + Form1::instance().vfg->textMatrix(1, 2), "CTR4By month");
    EXPECT_EQ(app::GetRecNo("OTH"), 17);
    dropTestDatabases(5, 2);
}
