#include "app/Module1.h"
#include "support/Definitions.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "tests/ui/crosstab/DesignerScript.h"
#include "ui/grid/TextBox.h"
#include "ui/list/Form1.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmRepCust.h"
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

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
    Form1 &list = Form1::instance();
    list.show();
    settle();
    list.DataSelect();
    QStringList names;
    for (int r = 1; r < list.vfg->rows(); ++r)
        names << list.vfg->textMatrix(r, 1);
    list.hide();
    return names;
}

} // namespace

// Both stores keep these names (and the wizard's captions) exactly and tell them from the names
// a wildcard or pasted SQL would take for them; the list shows each once and both windows load
// them back.
TEST(HostileData, NamesAreSavedListedComparedAndReloadedExactly)
{
    TestRoot root(TestRoot::Demo, "CTR");
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
    DesignerScript d;
    for (const QString &name : names) {
        const QString code = root.value("Select Col99 From ZoCTR Where ColRepName=?", {name}).toString();
        d.entry(1, code, [&](SelectionScreen &s) {
            EXPECT_EQ(QStringList({s.txtReportName->text(), s.txtReportDesc->text(), s.txtRowData->text(), s.txtRowData->tag}),
                      QStringList({name, name + " desc", name, "txtRowData.'%_"}));
            key(Qt::Key_Escape);
        });
    }

    app::settings().RunMode = "WIZARD";
    addedAndListedOnce([&](QString &code, const QString &name) {
        return saveReport(root.year(), code, name, columns(name), nullptr);
    });
    for (const QString &name : names) {
        const QString code = root.value("Select ColCode From CrMain Where ColReportName=?", {name}).toString();
        frmRepCust &w = openWizard(code);
        EXPECT_EQ(w.txtRepName->text() + '|' + w.VSSelectedFld->textMatrix(1, C::Caption), name + '|' + name);
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
        settle();
    }
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}

// Every column the designer reads may hold a null; it reads as empty text (a column's place as
// missing, which is said).
TEST(HostileData, NullsInEveryColumnLoadAsEmptyText)
{
    TestRoot root(TestRoot::Demo, "CTR");
    root.year().execute("Update ZoCTR Set ColRepName=NULL, ColRepDesc=NULL, ColRowData=NULL, ColColData=NULL, "
                        "ColDispData=NULL, ColGroupField=NULL, ColIsGrouping=NULL, ColRowDataName=NULL, "
                        "ColColDataName=NULL, ColDispDataName=NULL, ColGroupFieldName=NULL, ColRepType=NULL "
                        "Where Col99='CTR2'");
    EXPECT_TRUE(listedNames().contains(QString()));
    DesignerScript d;
    d.entry(1, "CTR2", [&](SelectionScreen &s) {
        for (TextBox *box : s.findChildren<TextBox *>())
            EXPECT_TRUE(box->text().isEmpty() && box->tag.isEmpty()) << box->objectName().toStdString();
        EXPECT_FALSE(s.chkGrouping->isChecked());
        EXPECT_EQ(s.cboRepTyp->currentIndex(), 0);
        key(Qt::Key_Escape);
    });

    app::settings().RunMode = "WIZARD";
    root.year().execute("Update CrMain Set ColMenuCode=NULL, ColReportName=NULL, ColSql=NULL, ColOrderBy=NULL, "
                        "ColTotGroupingCol=NULL, ColTotalStr=NULL, ColCountStr=NULL, ColGrandTotalStr=NULL, "
                        "ColTotStrDecimal=NULL, ColFormatStr=NULL, ColWidthStrCol=NULL Where ColCode='CRF4'");
    root.year().execute("Update CrChild Set ColTableName=NULL, ColFieldNameOrig=NULL, ColFieldNameDisp=NULL, "
                        "ColFieldDataType=NULL, ColAlign=NULL, ColWidth=NULL, ColDecimal=NULL, ColGroup=NULL, "
                        "ColSort=NULL, ColTotal=NULL, ColCount=NULL, ColGrandTotal=NULL, ColType=NULL, ColSeq=NULL "
                        "Where ColCode='CRF4'");
    EXPECT_TRUE(listedNames().contains(QString()));
    frmRepCust &w = openWizard("CRF4");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.txtRepName->text(), "");
    EXPECT_EQ(lines(gridRows(w.VSSelectedFld).mid(1)), lines({"|||||||||||", "|||||||||||", "|||||||||||"}));
    EXPECT_EQ(FakeMessages::instance().prompts(),
              QStringList{"The stored column numbers (ColSeq) are missing or repeated; a save numbers the columns 1 "
                          "to 3 in the order shown."});
    QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
    settle();
}
