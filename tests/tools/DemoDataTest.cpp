#include <QDir>
#include "app/Paths.h"
#include "data/DbError.h"
#include "tools/demo/DemoData.h"
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

int run(const QStringList &args, QString *output, const QString &program = DEMO_DATA_EXE, const QString &folder = {})
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, args);
    p.waitForFinished(60000);
    *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

// The tool takes a root and firm,year, never overwrites, and keys each file with its own password.
TEST(DemoData, CreatesBothFilesOnceEachWithItsOwnPassword)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/acc";
    const QString usage = "usage: make-demo-data DATA_ROOT FIRM,YEAR   (for example: make-demo-data /srv/acc 5,2)\n";
    QString output;
    for (const QStringList &args : {QStringList{}, {root, "5"}, {root, "5,2", "x"}, {root, "a,2"}}) {
        EXPECT_EQ(run(args, &output), 2) << args.join(' ').toStdString();
        EXPECT_EQ(output, usage);
    }
    EXPECT_EQ(run({root, "40000,2"}, &output), 2);
    EXPECT_EQ(output, "Firm and year must be numbers from 0 to 32767\n");
    EXPECT_FALSE(QFileInfo::exists(root));

    const QString yearBase = app::yearDbBase(root, 5, 2), firmBase = app::firmDbBase(root, 5);
    EXPECT_EQ(run({root, " 5 , 2 "}, &output), 0);
    EXPECT_EQ(output, "Created year database " + yearBase + ".db\nCreated firm database " + firmBase + ".db\n");
    const QByteArray yearBytes = contents(yearBase + ".db");
    EXPECT_EQ(run({root, "5,2"}, &output), 1);
    EXPECT_TRUE(output.startsWith("make-demo-data: ")) << output.toStdString();
    // Another year of the same firm finds the firm file taken and leaves no year file behind.
    EXPECT_THROW(demo::makeEmptyData(root, 5, 3), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(app::yearDbBase(root, 5, 3) + ".db"));
    EXPECT_TRUE(contents(yearBase + ".db") == yearBytes);

    // Keyed right, both files open at start-up (tested there); keyed with each other's password, neither does.
    EXPECT_THROW(data::Connection::open(app::connectionString(yearBase, app::FirmPassword)), data::DbError);
    EXPECT_THROW(data::Connection::open(app::connectionString(firmBase, app::YearPassword)), data::DbError);
}

// A tool given an option it does not know, a misspelt one for example, answers with its usage and
// writes nothing, neither where it was started nor under a folder named after the option.
TEST(Tools, RefuseAnUnknownOptionWithTheirUsageAndWriteNothing)
{
    QTemporaryDir dir;
    const QString makeUsage = "usage: make-demo-data DATA_ROOT FIRM,YEAR   (for example: make-demo-data /srv/acc 5,2)\n";
    const struct {
        QString program;
        QStringList args;
        QString output; // its end
    } cases[] = {
        {DEMO_DATA_EXE, {"--root=acc", "5,2"}, "make-demo-data: unknown option \"--root=acc\"\n" + makeUsage},
        {DEMO_DATA_EXE, {"acc", "5,2", "-f"}, "make-demo-data: unknown option \"-f\"\n" + makeUsage},
        {SCREENSHOTS_EXE, {"--out=pictures"},
         "screenshots: unknown option \"--out=pictures\"\nusage: screenshots OUTPUT_DIR\n"},
    };
    for (const auto &c : cases) {
        QString output;
        EXPECT_EQ(run(c.args, &output, c.program, dir.path()), 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(output.endsWith(c.output)) << output.toStdString();
        EXPECT_TRUE(QDir(dir.path()).isEmpty());
    }
}
