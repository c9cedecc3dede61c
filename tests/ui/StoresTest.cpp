#include "support/ErrorOf.h"
#include "tests/ui/Windows.h"

using app::SaveResult;

namespace {

QStringList listedNames()
{
    Form1 list;
    QStringList names;
    for (int r = 1; r < list.vfg->rows(); ++r)
        names << list.vfg->textMatrix(r, 1);
    return names;
}

} // namespace

// GetRecNo hands out a series' counter and refuses a missing or broken one. A counter set behind
// the numbers in use skips them, in both series; a name in use is refused inside the save, before
// a number is taken.
TEST(Stores, NumbersInUseOutOfRangeValuesOtherProgramsChangesNullsAndHostileNames)
{
    TestRoot root(TestRoot::Demo);
    root.firm().execute("Update ZoF05 Set Col98=17 Where Col99='OTH'");
    const int mrn = root.counter("MRN");
    // Taken, read without taking, taken from another series; the counters after.
    EXPECT_EQ((QList<int>{app::GetRecNo("OTH", true), app::GetRecNo("OTH", false), app::GetRecNo("MRN", true),
                          root.counter("OTH"), root.counter("MRN")}),
              (QList<int>{17, 18, mrn, 18, mrn + 1}));
    EXPECT_EQ(codeOf([] { app::GetRecNo("XYZ", true); }), data::DbCode::Missing);
    // A counter that holds no record number is refused, named with its file, and left as it is, so
    // that a save taking a number changes nothing. A server's whole-number column holds no word or
    // fraction.
    QStringList bads{"NULL", "-3"};
    if (testServer().isEmpty())
        bads << "'seventeen'" << "17.5";
    for (const QString &bad : bads) {
        root.firm().execute(QString("Update ZoF05 Set Col98=%1 Where Col99='OTH'").arg(bad));
        const QStringList counters = rowTexts(root.firm(), "Select * From ZoF05 Order By Col99");
        const QString error = errorOf([] { app::GetRecNo("OTH", true); });
        EXPECT_TRUE(error.contains("\"OTH\"")
                    && error.contains(testServer().isEmpty() ? "/Firm1/Firm1.db" : "firm1 on the server"))
            << bad.toStdString();
        EXPECT_EQ(codeOf([] { app::GetRecNo("OTH", true); }), data::DbCode::BadCounter) << bad.toStdString();
        EXPECT_EQ(rowTexts(root.firm(), "Select * From ZoF05 Order By Col99"), counters) << bad.toStdString();
    }
    EXPECT_EQ(rowTexts(root.firm(), "Select Col99 From ZoF05 Order By 1"), QStringList({"MRN", "OTH"}));
    // GetSqlValue gives the first value, or 0 when there is none.
    EXPECT_EQ(app::GetSqlValue("Select COUNT(ColRepName)  From ZoCTR  Where ColRepName=?", {"no such name"}), 0);
    EXPECT_EQ(app::GetSqlValue("Select ColRepType From ZoCTR Where 1=0"), 0);
    EXPECT_EQ(app::GetSqlValue("Select 2.5"), 2.5);

    // Every definition but the new ones.
    const auto all = [&](const QString &recNo, const QString &code, const QString &column) {
        return root.rows("Select * From ZoCTR Where Col99<>? Order By 1", {recNo})
            + root.rows("Select * From CrMain Where ColCode<>? Order By 1", {code})
            + root.rows("Select * From CRCustFld Where ColCode<>? Order By 1", {column});
    };
    const QStringList before = all("", "", "");
    root.firm().execute("Update ZoF05 Set Col98=2 Where Col99='OTH'");
    QString recNo, code, column;
    EXPECT_EQ(crosstab::saveCrossTab(root.year(), recNo, crossTab("Fresh"), nullptr), SaveResult::Saved);
    EXPECT_EQ(saveReport(root.year(), code, "Fresh", columns("Area"), nullptr), SaveResult::Saved);
    root.firm().execute("Update ZoF05 Set Col98=3 Where Col99='MRN'");
    EXPECT_EQ(storeCustomColumn(root.year(), column, {"Fresh", "1", "N"}, "PWR", nullptr), SaveResult::Saved);
    // OTH 2 and 3 are cross-tabs, 4 and 5 tabular reports; MRN 3 a custom column.
    EXPECT_EQ(str(recNo + "|" + code + "|" + column), "CTR6|CRF7|CF-4");
    EXPECT_EQ(all(recNo, code, column), before);

    QString again;
    EXPECT_EQ(crosstab::saveCrossTab(root.year(), again, crossTab("fresh"), nullptr), SaveResult::DuplicateName);
    EXPECT_EQ(saveReport(root.year(), again, " party wise sales ", columns("Area"), nullptr), SaveResult::DuplicateName);
    EXPECT_EQ(again, "");
    EXPECT_EQ(root.counter("OTH"), 8);

    // Stored values out of range are said when the report is loaded, with the value a save stores,
    // and an unchanged save stores exactly that (the cross-tab window's test reads its own). A
    // server's typed columns hold no word where a number belongs.
    const bool files = testServer().isEmpty();
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
    auto other = data::Connection::open(app::yearConnection(testServer(), root.path(), 1, 1));
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

    // Every column the designer reads may hold a null; it reads as empty text (a column's place as
    // missing, which is said). Both stores keep the names above (and the wizard's captions) exactly
    // and tell them from the names a wildcard or pasted SQL would take for them; the list shows each
    // once and both designers load them back.
    // Every column but the key, and a server's rowid.
    for (const auto &[table, key, value] : {std::tuple{"ZoCTR", "Col99", "CTR2"}, {"CrMain", "ColCode", "CRF4"},
                                            {"CrChild", "ColCode", "CRF4"}}) {
        QStringList set = root.year().select(QString("Select * From %1 Where 1=0").arg(table)).columns;
        set.removeIf([&](const QString &c) { return c.compare(key, Qt::CaseInsensitive) == 0 || c == "rowid"; });
        root.year().execute(QString("Update %1 Set %2=NULL Where %3=?").arg(table, set.join("=NULL, "), key), {value});
    }
    EXPECT_TRUE(listedNames().contains(QString()));
    const auto empty = crosstab::loadCrossTab(root.year(), "CTR2");
    const crosstab::CrossTabDefinition &e = empty->definition;
    EXPECT_EQ(QStringList({e.name, e.desc, e.rowData, e.colData, e.dispData, e.groupField, e.rowName, e.colName,
                           e.dispName, e.groupName, QString::number(e.isGrouping + e.repType)}).join('|'),
              "||||||||||0");
    EXPECT_TRUE(empty->problems.isEmpty());

    // Names a LIKE, pasted SQL or a short column would get wrong; "1000" and "axb" first: what a
    // wildcard in a later name would match.
    QString longName;
    while (longName.size() < 10000)
        longName += QString::fromUtf8("x'%_\"é名 ");
    const QStringList names{"1000", "axb", "O'Brien's \"quoted\" report", "100%", "a_b",
                            "Select * From ZoCTR; Drop Table ZoCTR; --", QString::fromUtf8("Ünïcødé 名前 ✓ ☃"),
                            longName.left(9999) + QLatin1Char('z')};
    const auto addedAndListedOnce = [&](const std::function<SaveResult(QString &, const QString &)> &save) {
        const QStringList tried = names + QStringList{"100%", "A_B"};
        for (int i = 0; i < tried.size(); ++i) {
            QString code;
            EXPECT_EQ(save(code, tried[i]), i < names.size() ? SaveResult::Saved : SaveResult::DuplicateName) << i;
        }
        const QStringList listed = listedNames();
        for (const QString &name : names)
            EXPECT_EQ(listed.count(name), 1) << str(name.left(40));
    };
    addedAndListedOnce([&](QString &code, const QString &name) {
        crosstab::CrossTabDefinition d = crossTab(name);
        d.desc = name + " desc";
        d.rowData = "txtRowData.'%_";
        d.rowName = name;
        return crosstab::saveCrossTab(root.year(), code, d, nullptr);
    });
    for (const QString &name : names) {
        const QString code = root.value("Select Col99 From ZoCTR Where ColRepName=?", {name}).toString();
        const crosstab::CrossTabDefinition d = crosstab::loadCrossTab(root.year(), code)->definition;
        EXPECT_EQ(QStringList({d.name, d.desc, d.rowName, d.rowData}),
                  QStringList({name, name + " desc", name, "txtRowData.'%_"}));
    }

    app::settings().RunMode = "WIZARD";
    EXPECT_TRUE(listedNames().contains(QString()));
    {
        Wizard w("CRF4");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.txtRepName->text(), "");
        EXPECT_EQ(lines(gridRows(w.VSSelectedFld).mid(1)), lines({"|||||||||||", "|||||||||||", "|||||||||||"}));
        EXPECT_EQ(takeMessages(), "The stored column numbers (ColSeq) are missing or repeated; a save numbers the "
                                  "columns 1 to 3 in the order shown.");
    }
    addedAndListedOnce([&](QString &code, const QString &name) {
        return saveReport(root.year(), code, name, columns(name), nullptr);
    });
    for (const QString &name : names) {
        Wizard w(root.value("Select ColCode From CrMain Where ColReportName=?", {name}).toString());
        EXPECT_EQ(w.txtRepName->text() + '|' + w.VSSelectedFld->textMatrix(1, C::Caption), name + '|' + name);
    }
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}
