#include "app/Paths.h"
#include "data/DbError.h"
#include "support/TestData.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

// make-demo-data takes a root and firm,year, never overwrites, and keys each file with its own
// password. It, the copy to a server and the screenshot program refuse any other command line, an
// unknown option (a misspelt one) included, with their usage and write nothing.
TEST(Tools, DemoDataIsMadeOnceAndKeyedAndAnyOtherCommandLineRefused)
{
    SKIP_ON_SERVER("about the demo's files; the test below makes it on the server");
    QTemporaryDir dir;
    const QString root = dir.path() + "/acc";
    const QString usage = "usage: make-demo-data DATA_ROOT FIRM,YEAR   (for example: make-demo-data /srv/acc 5,2)\n"
                          "       make-demo-data --server=CONNINFO FIRM,YEAR   (a libpq connection string or URI)\n";
    // The other two tools print their usage after a reason, or after Qt's warnings.
    const QList<std::tuple<QString, QStringList, QString>> refused = {
        {DEMO_DATA_EXE, {}, usage}, {DEMO_DATA_EXE, {root, "5"}, usage}, {DEMO_DATA_EXE, {root, "5,2", "x"}, usage},
        {DEMO_DATA_EXE, {root, "a,2"}, usage},
        {DEMO_DATA_EXE, {root, "40000,2"}, "Firm and year must be numbers from 0 to 32767\n"},
        {DEMO_DATA_EXE, {"--root=acc", "5,2"}, "make-demo-data: unknown option \"--root=acc\"\n" + usage},
        {DEMO_DATA_EXE, {root, "5,2", "-f"}, "make-demo-data: unknown option \"-f\"\n" + usage},
        {COPY_TO_SERVER_EXE, {"--server=host=db", "--root=acc", "5,2"},
         "copy-to-server: unknown option \"--root=acc\"\nusage: copy-to-server --server="},
        {COPY_TO_SERVER_EXE, {root, "5,2"}, "usage: copy-to-server"},
        {SCREENSHOTS_EXE, {"--out=pictures"},
         "screenshots: unknown option \"--out=pictures\"\nusage: screenshots OUTPUT_DIR\n"}};
    QString output;
    for (const auto &[program, args, expected] : refused) {
        EXPECT_EQ(runTool(program, args, &output, dir.path()), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(output == expected || (program != DEMO_DATA_EXE && output.contains(expected)))
            << output.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    const QString yearBase = app::yearDbBase(root, 5, 2), firmBase = app::firmDbBase(root, 5);
    EXPECT_EQ(runTool(DEMO_DATA_EXE, {root, " 5 , 2 "}, &output, dir.path()), 0);
    EXPECT_EQ(output, "Created year database " + yearBase + ".db\nCreated firm database " + firmBase + ".db\n");
    const QStringList made = snapshot(root);
    EXPECT_EQ(runTool(DEMO_DATA_EXE, {root, "5,2"}, &output, dir.path()), 1);
    EXPECT_TRUE(output.startsWith("make-demo-data: ")) << output.toStdString();
    // Another year of the same firm finds the firm file taken and leaves no year file behind.
    EXPECT_THROW(demo::makeEmptyData(root, 5, 3), std::runtime_error);
    EXPECT_EQ(snapshot(root), made);

    // Keyed right, both files open at start-up (tested there); keyed with each other's password, neither does.
    EXPECT_THROW(data::Connection::open(app::connectionString(yearBase, app::FirmPassword)), data::DbError);
    EXPECT_THROW(data::Connection::open(app::connectionString(firmBase, app::YearPassword)), data::DbError);
}
