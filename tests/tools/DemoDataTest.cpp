#include "app/Module1.h"
#include "app/Paths.h"
#include "data/DbError.h"
#include "tools/demo/DemoData.h"
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// The report family's FROM clause, which every stored tabular select ends with.
const QString SourceFrom = app::reportFamily(QStringLiteral("PWR")).SourceFrom;

QVariant scalar(data::Connection &db, const QString &sql, const data::Params &params = {})
{
    const data::RowSet rows = db.select(sql, params);
    return rows.rows.isEmpty() ? QVariant() : rows.rows.first().first();
}

qint64 count(data::Connection &db, const QString &sqlAfterSelectCount)
{
    return scalar(db, QStringLiteral("SELECT count(*) ") + sqlAfterSelectCount).toLongLong();
}

// Creating files: refusals, folders and passwords.
class DemoFilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString root() const { return dir.path() + QStringLiteral("/acc"); }
};

TEST_F(DemoFilesTest, RefusesToCreateOverExistingFiles)
{
    demo::makeDemoData(root(), 5, 2);
    EXPECT_THROW(demo::makeDemoData(root(), 5, 2), std::runtime_error);
    EXPECT_THROW(demo::makeEmptyData(root(), 5, 2), std::runtime_error);

    // Another year of the same firm finds the firm file taken and leaves no year file behind.
    EXPECT_THROW(demo::makeEmptyData(root(), 5, 3), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(app::yearDbBase(root(), 5, 3) + QStringLiteral(".db")));

    // The refusals wrote nothing into the first files.
    auto year = data::Connection::open(app::yearConnectionString(root(), 5, 2));
    EXPECT_EQ(count(*year, QStringLiteral("FROM ZoT51")), 120);
}

TEST_F(DemoFilesTest, FilesOpenWithTheirOwnPasswordOnly)
{
    demo::makeDemoData(root(), 5, 2);
    const QString yearBase = app::yearDbBase(root(), 5, 2);
    const QString firmBase = app::firmDbBase(root(), 5);

    auto year = data::Connection::open(app::connectionString(yearBase, app::YearPassword));
    EXPECT_GT(count(*year, QStringLiteral("FROM ZoT52")), 0);
    auto firm = data::Connection::open(app::connectionString(firmBase, app::FirmPassword));
    EXPECT_EQ(count(*firm, QStringLiteral("FROM ZoF05")), 2);

    EXPECT_THROW(data::Connection::open(app::connectionString(yearBase, QStringLiteral("wrong"))), data::DbError);
    EXPECT_THROW(data::Connection::open(app::connectionString(yearBase, app::FirmPassword)), data::DbError);
    EXPECT_THROW(data::Connection::open(app::connectionString(firmBase, app::YearPassword)), data::DbError);
}

// The files are plain SQLCipher files: the engine's own shell opens them with the key.
TEST_F(DemoFilesTest, TheCommandLineShellListsTheTablesWithTheKeyOnly)
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    demo::makeDemoData(root(), 5, 2);
    auto shell = [&](const QString &key) {
        QProcess p;
        p.start(QStringLiteral("sqlcipher"), {app::yearDbBase(root(), 5, 2) + QStringLiteral(".db")});
        p.write(QStringLiteral("PRAGMA key='%1';\n.tables\n").arg(key).toUtf8());
        p.closeWriteChannel();
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    };
    const QString tables = shell(app::YearPassword);
    for (const char *table : {"ZoCTR", "CrMain", "CrChild", "CRDefCol", "CRCustFld", "ZoM35", "ZoT52"})
        EXPECT_TRUE(tables.contains(QLatin1String(table))) << tables.toStdString();
    EXPECT_TRUE(shell(QStringLiteral("wrong")).contains(QStringLiteral("not a database")));
}

TEST_F(DemoFilesTest, CreateDatabaseMakesMissingFoldersAndRefusesAnExistingFile)
{
    const QString file = dir.path() + QStringLiteral("/a/b/Scratch.db");
    const QString schema = QStringLiteral("CREATE TABLE T (Col99 TEXT COLLATE NOCASE);");
    auto db = demo::createDatabase(file, QStringLiteral("pw"), schema);
    db->execute(QStringLiteral("INSERT INTO T VALUES (?)"), {QStringLiteral("x")});
    EXPECT_EQ(count(*db, QStringLiteral("FROM T")), 1);
    EXPECT_THROW(demo::createDatabase(file, QStringLiteral("pw"), schema), std::runtime_error);
}

TEST_F(DemoFilesTest, EmptyDataHoldsOnlyTheCounters)
{
    demo::DemoFiles files = demo::makeEmptyData(root(), 1, 1);
    const data::RowSet counters =
        files.firm->select(QStringLiteral("SELECT Col99, Col98 FROM ZoF05 ORDER BY Col99"));
    ASSERT_EQ(counters.rows.size(), 2);
    EXPECT_EQ(counters.rows[0][0].toString(), QStringLiteral("MRN"));
    EXPECT_EQ(counters.rows[0][1].toInt(), 1);
    EXPECT_EQ(counters.rows[1][0].toString(), QStringLiteral("OTH"));
    EXPECT_EQ(counters.rows[1][1].toInt(), 1);
    for (const char *table : {"ZoCTR", "ZoM35", "CRDefCol", "CRCustFld", "CrMain", "CrChild", "ZoT51", "ZoT51_1",
                              "ZoT51_2", "ZoT52", "ZoM02", "ZoM02_1", "ZoM20", "ZoM20_1"})
        EXPECT_EQ(count(*files.year, QStringLiteral("FROM ") + QLatin1String(table)), 0) << table;
}

// What the demo year holds, made once for all the cases below.
class DemoContentsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        files = new demo::DemoFiles(demo::makeDemoData(dir->path(), 5, 2));
    }
    static void TearDownTestSuite()
    {
        delete files;
        delete dir;
    }
    static data::Connection &year() { return *files->year; }

    static QTemporaryDir *dir;
    static demo::DemoFiles *files;
};
QTemporaryDir *DemoContentsTest::dir = nullptr;
demo::DemoFiles *DemoContentsTest::files = nullptr;

TEST_F(DemoContentsTest, CountersStandPastTheStoredDefinitions)
{
    EXPECT_EQ(scalar(*files->firm, QStringLiteral("SELECT Col98 FROM ZoF05 WHERE Col99 = 'OTH'")).toInt(), 17);
    EXPECT_EQ(scalar(*files->firm, QStringLiteral("SELECT Col98 FROM ZoF05 WHERE Col99 = 'MRN'")).toInt(), 5);
}

TEST_F(DemoContentsTest, ColumnCatalogueListsOnlyTheFamilyTables)
{
    const data::RowSet rows = year().select(QStringLiteral(
        "Select * From CRDefCol Where ColTableName In('M02','M20','T51','T52') Order By ColTableName , FldDName "));
    EXPECT_GE(rows.rows.size(), 40);
    EXPECT_GT(count(year(), QStringLiteral("FROM CRDefCol WHERE ColTableName = 'X99'")), 0);
    // Every family column is a real column of the table behind its alias.
    for (const auto &row : rows.rows) {
        const QString expression = row[0].toString() + QLatin1Char('.') + row[1].toString();
        EXPECT_NO_THROW(year().select(QStringLiteral("SELECT ") + expression + SourceFrom)) << expression.toStdString();
    }
}

TEST_F(DemoContentsTest, FamilyFromClauseFindsVoucherLines)
{
    EXPECT_GT(count(year(), SourceFrom), 0);
}

TEST_F(DemoContentsTest, TextComparesWithoutRegardToCase)
{
    EXPECT_EQ(count(year(), QStringLiteral("FROM ZoM02 WHERE Col98 = 'AARAV TRADERS'")), 1);
    EXPECT_EQ(count(*files->firm, QStringLiteral("FROM ZoF05 WHERE Col99 = 'oth'")), 1);
}

TEST_F(DemoContentsTest, UserFieldsNameColumnsOfTheFamilyTables)
{
    const data::RowSet fields = year().select(QStringLiteral("SELECT Col99, Col95, Col96 FROM ZoM35"));
    ASSERT_GE(fields.rows.size(), 4);
    int lineAmounts = 0;
    for (const auto &f : fields.rows) {
        const QString code = f[0].toString();
        // The row and column catalogue uses the bare code, the value catalogue "T52." + code.
        EXPECT_NO_THROW(year().select(QStringLiteral("SELECT ") + code + SourceFrom)) << code.toStdString();
        if (f[1].toString() == QLatin1String("M") && f[2].toString() == QLatin1String("N")) {
            ++lineAmounts;
            EXPECT_NO_THROW(year().select(QStringLiteral("SELECT T52.") + code + SourceFrom)) << code.toStdString();
        }
    }
    EXPECT_GE(lineAmounts, 2);
    EXPECT_LT(lineAmounts, fields.rows.size());
}

TEST_F(DemoContentsTest, VouchersCoverEveryKindAndPointAtTheirMasters)
{
    EXPECT_EQ(count(year(), QStringLiteral("FROM (SELECT DISTINCT substr(Col99, 1, 3) FROM ZoT52 WHERE substr(Col99, 1, 3) "
                                           "IN ('SDC','SCC','SDD','SCD','PDD','PCD','PDC','PCC'))")),
              8);
    EXPECT_GT(count(year(), QStringLiteral("FROM ZoT52 WHERE Col90 = 'R' AND Col99 LIKE 'S%'")), 0);
    EXPECT_GT(count(year(), QStringLiteral("FROM ZoT52 WHERE Col90 = 'I' AND Col99 LIKE 'P%'")), 0);
    EXPECT_EQ(count(year(), QStringLiteral("FROM ZoT52 WHERE (Col90 = 'R' AND Col99 NOT LIKE 'S%') "
                                           "OR (Col90 = 'I' AND Col99 NOT LIKE 'P%')")),
              0);
    EXPECT_EQ(count(year(), QStringLiteral("FROM ZoT52 WHERE Col96 NOT IN (SELECT Col99 FROM ZoM20) "
                                           "OR Col99 NOT IN (SELECT Col99 FROM ZoT51)")),
              0);
    EXPECT_EQ(count(year(), QStringLiteral("FROM ZoT51 WHERE Col83 NOT IN (SELECT Col99 FROM ZoM02)")), 0);
    EXPECT_GT(count(year(), QStringLiteral("FROM ZoT51 WHERE Col99 NOT IN (SELECT Col99 FROM ZoT51_2)")), 0);
}

// The product ledger's issue quantity is the net sale quantity of the voucher lines.
TEST_F(DemoContentsTest, ProductQuantitiesAgreeWithTheVoucherLines)
{
    EXPECT_EQ(count(year(), QStringLiteral(
                  "FROM ZoM20 AS M20 WHERE abs(M20.IssQty - (SELECT total(CASE WHEN Col90 = 'R' THEN -Col95 "
                  "ELSE Col95 END) FROM ZoT52 WHERE Col96 = M20.Col99 AND Col99 LIKE 'S%')) > 0.001 "
                  "OR abs(M20.ClQty - (M20.OpQty + M20.RecQty - M20.IssQty)) > 0.001 OR M20.ClQty < 0")),
              0);
}

TEST_F(DemoContentsTest, StoredCrossTabsCoverEveryReportType)
{
    const data::RowSet rows = year().select(
        QStringLiteral("SELECT Col99, ColRepType, ColIsGrouping, ColGroupField FROM ZoCTR ORDER BY Col99"));
    ASSERT_EQ(rows.rows.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows.rows[i][0].toString(), QStringLiteral("CTR%1").arg(i + 1));
        EXPECT_EQ(rows.rows[i][1].toInt(), i);
    }
    EXPECT_EQ(count(year(), QStringLiteral("FROM ZoCTR WHERE ColIsGrouping = 1 AND ColGroupField <> ''")), 1);
}

TEST_F(DemoContentsTest, CustomColumnsBelongToTheirFamily)
{
    const data::RowSet rows =
        year().select(QStringLiteral("SELECT ColCode FROM CRCustFld WHERE MCode = 'PWR' ORDER BY ColCode"));
    ASSERT_EQ(rows.rows.size(), 2);
    EXPECT_EQ(rows.rows[0][0].toString(), QStringLiteral("CF-1"));
    EXPECT_EQ(rows.rows[1][0].toString(), QStringLiteral("CF-2"));
    EXPECT_EQ(count(year(), QStringLiteral("FROM CRCustFld WHERE MCode <> 'PWR'")), 1);
}

// The header's lists and format string are derived from the column rows.
TEST_F(DemoContentsTest, StoredTabularReportsAgreeWithTheirColumns)
{
    const data::RowSet reports = year().select(QStringLiteral(
        "SELECT ColCode, ColSql, ColTotGroupingCol, ColTotalStr, ColCountStr, ColGrandTotalStr, ColFormatStr "
        "FROM CrMain ORDER BY ColCode"));
    ASSERT_EQ(reports.rows.size(), 2);
    for (const auto &r : reports.rows) {
        const QString code = r[0].toString();
        SCOPED_TRACE(code.toStdString());
        const data::RowSet columns = year().select(
            QStringLiteral("SELECT ColSeq, ColFieldDataType, ColFieldNameDisp, ColGroup, ColTotal, ColCount, "
                           "ColGrandTotal FROM CrChild WHERE ColCode = ? ORDER BY ColSeq"),
            {code});
        QString format = QStringLiteral("Cod");
        QStringList totals, counts, grandTotals;
        int grouped = 0;
        for (const auto &c : columns.rows) {
            const QString seq = c[0].toString();
            format += QLatin1Char('|') + QLatin1String(c[1].toString() == QLatin1String("N") ? ">" : "<")
                + c[2].toString();
            grouped += c[3].toString() != QLatin1String("N");
            if (c[4].toString() == QLatin1String("Y"))
                totals << seq;
            if (c[5].toString() == QLatin1String("Y"))
                counts << seq;
            if (c[6].toString() == QLatin1String("Y"))
                grandTotals << seq;
        }
        EXPECT_EQ(r[6].toString(), format);
        EXPECT_EQ(r[2].toInt(), grouped);
        EXPECT_EQ(r[3].toString(), totals.join(QLatin1Char(',')));
        EXPECT_EQ(r[4].toString(), counts.join(QLatin1Char(',')));
        EXPECT_EQ(r[5].toString(), grandTotals.join(QLatin1Char(',')));
        const QString sql = r[1].toString();
        EXPECT_TRUE(sql.startsWith(grouped ? QLatin1String("Select Space(0) , ") : QLatin1String("Select  Space(0) , ")));
        EXPECT_TRUE(sql.endsWith(QStringLiteral(" ,M02.Col99  ") + SourceFrom));
    }
}

} // namespace
