#include "support/Definitions.h"
#include "support/TestRoot.h"
#include "ui/wizard/CustomColumnStore.h"
#include "ui/wizard/ReportStore.h"
#include <gtest/gtest.h>

using app::SaveResult;

// A counter set behind the numbers in use skips them, in both series; a name in use is refused
// inside the save, before a number is taken.
TEST(Stores, NewDefinitionsSkipNumbersInUseAndNeverReplaceOneOrAnotherProgramsChangeUnasked)
{
    TestRoot root(TestRoot::Demo);
    // Every definition but the new ones.
    const auto all = [&](const QString &recNo, const QString &code, const QString &column) {
        return root.rows("Select * From ZoCTR Where Col99<>? Order By 1", {recNo})
            + root.rows("Select * From CrMain Where ColCode<>? Order By 1", {code})
            + root.rows("Select * From CRCustFld Where ColCode<>? Order By 1", {column});
    };
    const QStringList before = all("", "", "");
    root.firm().execute("Update ZoF05 Set Col98=2 Where Col99='OTH'");
    QString recNo;
    EXPECT_EQ(crosstab::saveCrossTab(root.year(), recNo, crossTab("Fresh"), nullptr), SaveResult::Saved);
    EXPECT_EQ(recNo, "CTR6"); // 2 and 3 are cross-tabs, 4 and 5 tabular reports
    QString code;
    EXPECT_EQ(saveReport(root.year(), code, "Fresh", columns("Area"), nullptr), SaveResult::Saved);
    EXPECT_EQ(code, "CRF7");
    root.firm().execute("Update ZoF05 Set Col98=3 Where Col99='MRN'");
    QString column;
    EXPECT_EQ(storeCustomColumn(root.year(), column, {"Fresh", "1", "N"}, "PWR", nullptr), SaveResult::Saved);
    EXPECT_EQ(column, "CF-4");
    EXPECT_EQ(all(recNo, code, column), before);

    QString again;
    EXPECT_EQ(crosstab::saveCrossTab(root.year(), again, crossTab("fresh"), nullptr), SaveResult::DuplicateName);
    EXPECT_EQ(saveReport(root.year(), again, " party wise sales ", columns("Area"), nullptr), SaveResult::DuplicateName);
    EXPECT_EQ(again, "");
    EXPECT_EQ(root.counter("OTH"), 8);

    // Stored values out of range are said when the definition is loaded, with the value a save
    // stores, and an unchanged save stores exactly that. A server's typed columns hold no fraction
    // or word where a whole number or a number belongs.
    const bool files = testServer().isEmpty();
    const QString grouping = files ? "0.5" : "2";
    root.year().execute("Update ZoCTR Set ColRepType=7, ColIsGrouping=" + grouping + " Where Col99='CTR2'");
    recNo = "CTR2";
    const auto loaded = crosstab::loadCrossTab(root.year(), recNo);
    EXPECT_EQ(loaded->problems,
              QStringList({"The stored grouping flag \"" + grouping + "\" is not one of 0 to 1; a save stores 0.",
                           "The stored report type \"7\" is not one of 0 to 2; a save stores 0."}));
    crosstab::saveCrossTab(root.year(), recNo, loaded->definition, &*loaded);
    EXPECT_EQ(root.rows("Select ColIsGrouping, ColRepType From ZoCTR Where Col99='CTR2'"), QStringList{"0|0"});

    root.year().execute(QString("Update CrChild Set ColSeq=1, ColWidth='12.5cm', ColDecimal=%1 Where ColCode='CRF4' "
                                "And ColSeq=2").arg(files ? "'two'" : "0.5"));
    code = "CRF4";
    const auto report = loadReport(root.year(), code);
    EXPECT_EQ(report->problems,
              QStringList({"The stored column numbers (ColSeq) are missing or repeated; a save numbers the columns 1 "
                           "to 3 in the order shown.",
                           "Column \"Amount\": the stored width \"12.5cm\" is not a whole number; a save stores 12.",
                           QString("Column \"Amount\": the stored decimals \"%1\" is not a whole number; a save stores "
                                   "0.").arg(files ? "two" : "0.5")}));
    saveReport(root.year(), code, report->name, report->rows, &*report);
    EXPECT_EQ(root.rows("Select ColSeq, ColFieldNameDisp, ColWidth, ColDecimal From CrChild Where ColCode='CRF4' "
                        "Order By ColSeq"),
              QStringList({"1|Party Name|2000|0", "2|Amount|12|0", "3|Product|2500|0"}));

    // A custom column another program changed or deleted after it was loaded is left as that
    // program left it, until the save is told to overwrite; then it stores what the window shows.
    // (The two designers' stores are held to the same by the windows' tests and the torture.)
    auto other = data::Connection::open(testYearConnection(root.path(), 1, 1));
    column = "CF-2";
    const auto loadedColumn = loadCustomColumn(root.year(), column);
    const auto saveColumn = [&](bool overwrite) {
        return storeCustomColumn(root.year(), column, {"Mine", "1", "N"}, "PWR", &*loadedColumn, overwrite);
    };
    const std::pair<const char *, SaveResult> changes[] = {
        {"Update CRCustFld Set CalString='2' Where ColCode='CF-2'", SaveResult::ChangedElsewhere},
        {"Delete From CRCustFld Where ColCode='CF-2'", SaveResult::DeletedElsewhere}};
    for (const auto &[change, result] : changes) {
        other->execute(change);
        const QStringList stored = root.rows("Select * From CRCustFld");
        EXPECT_EQ(saveColumn(false), result) << change;
        EXPECT_EQ(root.rows("Select * From CRCustFld"), stored) << change;
    }
    EXPECT_EQ(saveColumn(true), SaveResult::Saved);
    EXPECT_EQ(root.rows("Select * From CRCustFld Where ColCode='CF-2'"), QStringList{"CF-2|Mine|1|N|PWR"});
}
