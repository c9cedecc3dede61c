#include "app/Module1.h"
#include "data/DbError.h"
#include "support/TestRoot.h"
#include "ui/wizard/ReportText.h"
#include <gtest/gtest.h>

namespace {

QString sourceFrom()
{
    app::Settings s;
    app::setReportFamily(s, "PWR");
    return s.SourceFrom;
}

const QString Extra = " ,M02.Col99 ";

// Every stored text on a line of its own, so a difference shows where it is.
std::string texts(const ReportText &t)
{
    return QStringList{"sql=[" + t.sql + "]",
                       "orderBy=[" + t.orderBy + "]",
                       "groups=" + QString::number(t.groupCount),
                       "total=[" + t.totalStr + "]",
                       "count=[" + t.countStr + "]",
                       "grand=[" + t.grandTotalStr + "]",
                       "decimals=[" + t.totDecimalStr + "]",
                       "format=[" + t.formatStr + "]",
                       "widths=[" + t.widthStr + "]"}
        .join('\n')
        .toStdString();
}

ReportText expected(const QString &select, const QString &orderBy, int groups, const QString &total,
                    const QString &count, const QString &grand, const QString &decimals, const QString &format,
                    const QString &widths)
{
    return {select + " " + sourceFrom(), orderBy, groups, total, count, grand, decimals, format, widths};
}

QVector<QStringList> example(const QString &firstGrouping)
{
    return {
        {"M02", "Col98", "C", "Party Name", "Left", "2000", "0", firstGrouping, "None", "No", "Yes", "No"},
        {"T52", "Col93", "N", "Amount", "Right", "1500", "2", "None", "Desc", "Yes", "No", "Yes"},
        {"M20", "Col98", "C", "Product", "Left", "2500", "0", "None", "Asc", "No", "No", "No"},
    };
}

} // namespace

TEST(ReportText, ReproducesTheWorkedExampleWithAndWithoutItsGroup)
{
    EXPECT_EQ(texts(buildReportText(example("Asc"), Extra, sourceFrom())),
              texts(expected("Select Space(0) , M02.Col98, format( T52.Col93 , '##########0.00'),M20.Col98 ,M02.Col99 ",
                             "M02.Col98  ,T52.Col93 Desc ,M20.Col98 ", 1, "2", "1", "2", "2",
                             "Cod|<Party Name|>Amount|<Product", "1500,2500")));
    EXPECT_EQ(texts(buildReportText(example("None"), Extra, sourceFrom())),
              texts(expected("Select  Space(0) , M02.Col98, format( T52.Col93 , '##########0.00'),M20.Col98 ,M02.Col99 ",
                             "T52.Col93 Desc ,M20.Col98 ", 0, "2", "1", "2", "2",
                             "Cod|<Party Name|>Amount|<Product", "2000,1500,2500")));
}

TEST(ReportText, EveryColumnGroupedLeavesNoWidthsAndNoFormatAndEndsTheOrderInTwoBlanks)
{
    const QVector<QStringList> rows = {
        {"M02", "Col98", "C", "Party Name", "Left", "2000", "0", "Asc", "Desc", "No", "Yes", "No"},
        {"T52", "Col93", "N", "Amount", "Right", "1500", "2", "Desc", "None", "Yes", "No", "Yes"},
    };
    EXPECT_EQ(texts(buildReportText(rows, Extra, sourceFrom())),
              texts(expected("Select Space(0) , M02.Col98,T52.Col93 ,M02.Col99 ", "M02.Col98 ,T52.Col93 Desc  ", 2,
                             "2", "1", "2", "2", "Cod|<Party Name|>Amount", "")));
}

TEST(ReportText, UnsortedColumnsWithoutTotalsZeroOrEmptyDecimalsAndACustomFormula)
{
    // Reloaded definitions read "No" for no grouping or sorting and keep the alignment letter.
    const QVector<QStringList> rows = {
        {"T52", "Col95", "N", "Quantity", "R", "1200", "0", "No", "No", "No", "No", "No"},
        {"CF-1", "T52.Col95 * M20.ColWeight", "N", "Weight Sold", "Right", "", "", "None", "None", "No", "No", "No"},
        {"T51", "Col98", "D", "Date", "Left", "1200", "", "None", "None", "No", "No", "No"},
    };
    EXPECT_EQ(texts(buildReportText(rows, Extra, sourceFrom())),
              texts(expected("Select  Space(0) ,  format( T52.Col95 , '##########0.'), "
                             "format( CF-1.T52.Col95 * M20.ColWeight , '##########0.'),T51.Col98 ,M02.Col99 ",
                             "", 0, "", "", "", "", "Cod|>Quantity|>Weight Sold|<Date", "1200,,1200")));
}

TEST(ReportText, SortedNumericColumnsEnterTheOrderPlainAndDecimalsRoundHalfToEven)
{
    const QVector<QStringList> rows = {
        {"T52", "Col93", "N", "Amount", "Right", "1500", "2.5", "None", "Desc", "Yes", "Yes", "Yes"},
        {"T52", "Col95", "N", "Quantity", "Right", "1200", "3", "None", "Asc", "Yes", "No", "No"},
        {"T51", "Col99", "C", "Voucher No", "Left", "1200", "0", "None", "Asc", "No", "Yes", "No"},
    };
    EXPECT_EQ(texts(buildReportText(rows, Extra, sourceFrom())),
              texts(expected("Select  Space(0) ,  format( T52.Col93 , '##########0.00'), "
                             "format( T52.Col95 , '##########0.000'),T51.Col99 ,M02.Col99 ",
                             "T52.Col93 Desc ,T52.Col95 ,T51.Col99 ", 0, "1,2", "1,3", "1", "2.5,3",
                             "Cod|>Amount|>Quantity|<Voucher No", "1500,1200,1200")));
}

// A stored decimal count no grid could type (a damaged or foreign row) builds at most fifteen
// places instead of a format of any size.
TEST(ReportText, StoredDecimalsBeyondFifteenPlacesAreCut)
{
    const QVector<QStringList> rows = {
        {"T52", "Col93", "N", "Amount", "Right", "1500", "255555555", "None", "None", "No", "No", "No"},
        {"T52", "Col95", "N", "Quantity", "Right", "1200", "1e300", "None", "None", "No", "No", "No"},
    };
    const QString fifteen = "'##########0.000000000000000'";
    EXPECT_EQ(buildReportText(rows, Extra, " FROM T").sql,
              "Select  Space(0) ,  format( T52.Col93 , " + fifteen + "), format( T52.Col95 , " + fifteen
                  + ") ,M02.Col99   FROM T");
}

namespace {

const QString ChildQuery = "Select * From CrChild Where ColCode=? Order By ColSeq";
const QString MainQuery = "Select * From CrMain Where ColCode=?";

} // namespace

TEST(StoreReport, WritesTheHeaderAndOneRowPerColumn)
{
    TestRoot root(TestRoot::Empty);
    QVector<QStringList> rows = example("Asc");
    rows[2][6] = ""; // stored as 0
    const ReportText text = buildReportText(rows, Extra, sourceFrom());
    storeReport(root.year(), "CRF7", false, "  Party Wise Sales  ", "PWR", rows, text);

    EXPECT_EQ(root.rows(ChildQuery, {"CRF7"}),
              QStringList({"CRF7|M02|Col98|Party Name|C|L|2000|0|A|N|N|Y|N|F|1",
                           "CRF7|T52|Col93|Amount|N|R|1500|2|N|D|Y|N|Y|F|2",
                           "CRF7|M20|Col98|Product|C|L|2500|0|N|A|N|N|N|F|3"}));
    EXPECT_EQ(root.rows(MainQuery, {"CRF7"}),
              QStringList({"CRF7|PWR|Party Wise Sales|" + text.sql + "|M02.Col98  ,T52.Col93 Desc ,M20.Col98 |1|2|1|2|2|"
                           "Cod|<Party Name|>Amount|<Product|1500,2500"}));
    EXPECT_EQ(root.value("Select typeof(ColDecimal) From CrChild Where ColSeq=2"), "real");
}

TEST(StoreReport, EmptyDecimalAndWidthListsStayNullWhileTheRowListsAreEmptyText)
{
    TestRoot root(TestRoot::Empty);
    const QVector<QStringList> rows = {
        {"M02", "Col98", "C", "Party Name", "Left", "2000", "0", "Asc", "None", "No", "No", "No"},
    };
    storeReport(root.year(), "CRF8", false, "Parties", "PWR", rows, buildReportText(rows, Extra, sourceFrom()));
    EXPECT_EQ(root.rows("Select ColTotalStr Is Null, ColCountStr, ColGrandTotalStr, ColTotStrDecimal Is Null, "
                        "ColWidthStrCol Is Null From CrMain"),
              QStringList{"0|||1|1"});
}

TEST(StoreReport, AReplaceKeepsTheCodeAndDropsRemovedColumns)
{
    TestRoot root(TestRoot::Demo);
    const int reports = root.value("Select count(*) From CrMain").toInt();
    const QStringList otherChildren = root.rows("Select * From CrChild Where ColCode<>'CRF4' Order By ColCode, ColSeq");
    QVector<QStringList> rows = example("None");
    rows.removeAt(0);
    const ReportText text = buildReportText(rows, Extra, sourceFrom());
    storeReport(root.year(), "CRF4", true, "Amounts", "PWR", rows, text);

    EXPECT_EQ(root.rows(ChildQuery, {"CRF4"}),
              QStringList({"CRF4|T52|Col93|Amount|N|R|1500|2|N|D|Y|N|Y|F|1",
                           "CRF4|M20|Col98|Product|C|L|2500|0|N|A|N|N|N|F|2"}));
    EXPECT_EQ(root.rows("Select ColReportName, ColSql, ColFormatStr From CrMain Where ColCode='CRF4'"),
              QStringList{"Amounts|" + text.sql + "|Cod|>Amount|<Product"});
    EXPECT_EQ(root.value("Select count(*) From CrMain").toInt(), reports);
    EXPECT_EQ(root.rows("Select * From CrChild Where ColCode<>'CRF4' Order By ColCode, ColSeq"), otherChildren);
}

// Rows whose cells are unchanged are not written again; the rest, however they were damaged,
// end as a fresh save writes them.
TEST(StoreReport, AReplaceRewritesOnlyChangedRowsAndEndsAsAFreshSave)
{
    TestRoot root(TestRoot::Demo);
    const QVector<QStringList> rows = example("None");
    const ReportText text = buildReportText(rows, Extra, sourceFrom());
    storeReport(root.year(), "CRF4", true, "Amounts", "PWR", rows, text);
    const QVariant untouched = root.value("Select rowid From CrChild Where ColCode='CRF4' And ColSeq=1");
    root.year().execute("Update CrChild Set ColAlign=Null, ColCode='crf4' Where ColCode='CRF4' And ColSeq=2");
    root.year().execute("Update CrChild Set ColDecimal='none' Where ColCode='CRF4' And ColSeq=3");
    root.year().execute("Insert Into CrChild Select * From CrChild Where ColSeq=2 And ColCode='crf4'");
    storeReport(root.year(), "CRF4", true, "Amounts", "PWR", rows, text);

    EXPECT_EQ(root.rows("Select * From CrChild Where ColCode='CRF4' Order By ColSeq"),
              QStringList({"CRF4|M02|Col98|Party Name|C|L|2000|0|N|N|N|Y|N|F|1",
                           "CRF4|T52|Col93|Amount|N|R|1500|2|N|D|Y|N|Y|F|2",
                           "CRF4|M20|Col98|Product|C|L|2500|0|N|A|N|N|N|F|3"}));
    EXPECT_EQ(root.value("Select count(*) From CrChild Where ColCode='CRF4'").toInt(), 3);
    EXPECT_EQ(root.value("Select rowid From CrChild Where ColCode='CRF4' And ColSeq=1"), untouched);
    EXPECT_EQ(root.value("Select typeof(ColDecimal) From CrChild Where ColCode='CRF4' And ColSeq=3"), "real");
}

TEST(StoreReport, AFailureHalfWayLeavesTheStoredDefinitionAsItWas)
{
    TestRoot root(TestRoot::Demo);
    const QStringList mainBefore = root.rows(MainQuery, {"CRF4"});
    const QStringList childBefore = root.rows(ChildQuery, {"CRF4"});
    ASSERT_EQ(childBefore.size(), 3);
    // The header is written last, after every column row has changed.
    root.year().execute("CREATE TRIGGER t BEFORE INSERT ON CrMain BEGIN SELECT RAISE(ABORT,'disk full'); END");
    QVector<QStringList> rows = example("None");
    rows.removeAt(0);
    try {
        storeReport(root.year(), "CRF4", true, "Changed", "PWR", rows, buildReportText(rows, Extra, sourceFrom()));
        FAIL() << "the save did not fail";
    } catch (const data::DbError &e) {
        EXPECT_TRUE(e.text().contains("disk full")) << e.text().toStdString();
    }
    EXPECT_FALSE(root.year().inTransaction());
    EXPECT_EQ(root.rows(MainQuery, {"CRF4"}), mainBefore);
    EXPECT_EQ(root.rows(ChildQuery, {"CRF4"}), childBefore);
}
