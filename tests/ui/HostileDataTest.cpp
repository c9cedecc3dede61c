#include "tests/ui/Windows.h"

using app::SaveResult;

namespace {

// Names a LIKE, pasted SQL or a short column would get wrong.
QStringList hostileNames()
{
    QString longName;
    while (longName.size() < 10000)
        longName += QString::fromUtf8("x'%_\"é名 ");
    longName = longName.left(9999) + QLatin1Char('z');
    // "1000" and "axb" first: what a wildcard in a later name would match.
    return {"1000", "axb", "O'Brien's \"quoted\" report", "100%", "a_b", "Select * From ZoCTR; Drop Table ZoCTR; --",
            QString::fromUtf8("Ünïcødé 名前 ✓ ☃"), longName};
}

QStringList listedNames()
{
    Form1 list;
    QStringList names;
    for (int r = 1; r < list.vfg->rows(); ++r)
        names << list.vfg->textMatrix(r, 1);
    return names;
}

} // namespace

// Every column the designer reads may hold a null; it reads as empty text (a column's place as
// missing, which is said). Both stores keep the names above (and the wizard's captions) exactly
// and tell them from the names a wildcard or pasted SQL would take for them; the list shows each
// once and both designers load them back.
TEST(HostileData, NullsReadAsEmptyTextAndNamesAreSavedListedComparedAndReloadedExactly)
{
    TestRoot root(TestRoot::Demo, "CTR");
    root.year().execute("Update ZoCTR Set ColRepName=NULL, ColRepDesc=NULL, ColRowData=NULL, ColColData=NULL, "
                        "ColDispData=NULL, ColGroupField=NULL, ColIsGrouping=NULL, ColRowDataName=NULL, "
                        "ColColDataName=NULL, ColDispDataName=NULL, ColGroupFieldName=NULL, ColRepType=NULL "
                        "Where Col99='CTR2'");
    root.year().execute("Update CrMain Set ColMenuCode=NULL, ColReportName=NULL, ColSql=NULL, ColOrderBy=NULL, "
                        "ColTotGroupingCol=NULL, ColTotalStr=NULL, ColCountStr=NULL, ColGrandTotalStr=NULL, "
                        "ColTotStrDecimal=NULL, ColFormatStr=NULL, ColWidthStrCol=NULL Where ColCode='CRF4'");
    root.year().execute("Update CrChild Set ColTableName=NULL, ColFieldNameOrig=NULL, ColFieldNameDisp=NULL, "
                        "ColFieldDataType=NULL, ColAlign=NULL, ColWidth=NULL, ColDecimal=NULL, ColGroup=NULL, "
                        "ColSort=NULL, ColTotal=NULL, ColCount=NULL, ColGrandTotal=NULL, ColType=NULL, ColSeq=NULL "
                        "Where ColCode='CRF4'");
    EXPECT_TRUE(listedNames().contains(QString()));
    const auto empty = crosstab::loadCrossTab(root.year(), "CTR2");
    const crosstab::CrossTabDefinition &e = empty->definition;
    EXPECT_EQ(QStringList({e.name, e.desc, e.rowData, e.colData, e.dispData, e.groupField, e.rowName, e.colName,
                           e.dispName, e.groupName, QString::number(e.isGrouping + e.repType)}).join('|'),
              "||||||||||0");
    EXPECT_TRUE(empty->problems.isEmpty());

    const QStringList names = hostileNames();
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
