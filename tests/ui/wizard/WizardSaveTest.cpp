#include "app/Module1.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/list/Form1.h"
#include "ui/wizard/ReportText.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmCustFld.h"
#include "ui/wizard/frmRepCust.h"
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString ChildQuery = "Select * From CrChild Where ColCode=? Order By ColSeq";
const QString MainQuery = "Select * From CrMain Where ColCode=?";

// Opens the combo or the width box of a cell of the selected grid and answers it with keys.
void editCell(frmRepCust &w, int row, int col, int downs, const QString &typed = {})
{
    clickCell(w.VSSelectedFld, row, col);
    key(Qt::Key_Return);
    for (int i = 0; i < downs; ++i)
        key(Qt::Key_Down);
    type(typed);
    key(Qt::Key_Return);
    settle();
}

void typeReportName(frmRepCust &w, const QString &name)
{
    click(w.txtRepName);
    key(Qt::Key_A, Qt::ControlModifier);
    type(name);
}

QVector<QStringList> cells(const QStringList &rows)
{
    QVector<QStringList> result;
    for (const QString &row : rows)
        result << row.split('|');
    return result;
}

// The CrMain row a save writes for these grid rows, as TestRoot::rows shows it.
QString mainRow(const QString &code, const QString &name, const QStringList &gridRows)
{
    const app::Settings &s = app::settings();
    const ReportText t = buildReportText(cells(gridRows), s.ExtraSelect, s.SourceFrom);
    return QStringList{code, "PWR", name, t.sql, t.orderBy, QString::number(t.groupCount), t.totalStr, t.countStr,
                       t.grandTotalStr, t.totDecimalStr, t.formatStr, t.widthStr}
        .join('|');
}

QStringList customRows(frmRepCust &w)
{
    return gridRows(w.VSAval).mid(w.CustFldStart);
}

void expectOnlyMessage(const QString &prompt, app::Icon icon, const QString &title = {})
{
    const QList<app::Message> &shown = FakeMessages::instance().shown;
    ASSERT_EQ(shown.size(), 1) << lines(FakeMessages::instance().prompts());
    EXPECT_EQ(str(shown[0].prompt), str(prompt));
    EXPECT_EQ(shown[0].buttons, app::Buttons::OkOnly);
    EXPECT_EQ(shown[0].icon, icon);
    EXPECT_EQ(str(shown[0].title), str(title));
    FakeMessages::instance().clear();
}

} // namespace

TEST(WizardSave, ANewReportIsStoredUnderTheNextNumberAndReopensAsBuilt)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("OTH");
    frmRepCust &w = openWizard();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    click(w.cmdAdd);
    click(w.cmdAdd);
    clickCell(w.VSAval, 11, 3);
    click(w.cmdAdd);
    typeReportName(w, "Margin Report");
    click(w.cmdNext);
    editCell(w, 3, 7, 1);    // group Party Name ascending
    editCell(w, 1, 9, 1);    // total the closing amount
    editCell(w, 2, 8, 2);    // sort the credit amount descending
    editCell(w, 2, 11, 1);   // with a grand total
    clickCell(w.VSSelectedFld, 1, 5);
    key(Qt::Key_Return);
    type("1800");
    ASSERT_EQ(QApplication::focusWidget(), w.txtWidth);
    key(Qt::Key_S, Qt::AltModifier); // Save by its access key while the width box is still open
    ASSERT_TRUE(QTest::qWaitFor([] { return !FakeMessages::instance().shown.isEmpty(); }));
    settle();

    const QStringList built = {"M02|Col77|N|Closing Amount|Right|1800|2|None|None|Yes|No|No",
                               "M02|Col79|N|Credit Amount|Right|1500|2|None|Desc|No|No|Yes",
                               "M02|Col98|C|Party Name|Left|3000||Asc|None|No|No|No"};
    expectOnlyMessage("Report Added Sucessfully", app::Icon::Information, "Selvar Report");
    EXPECT_FALSE(w.isVisible());
    const QString code = "CRF" + QString::number(next);
    EXPECT_EQ(str(w.StrCode), str(code));
    EXPECT_EQ(root.counter("OTH"), next + 1);
    EXPECT_EQ(lines(root.rows(ChildQuery, {code})),
              lines({code + "|M02|Col77|Closing Amount|N|R|1800|2|N|N|Y|N|N|F|1",
                     code + "|M02|Col79|Credit Amount|N|R|1500|2|N|D|N|N|Y|F|2",
                     code + "|M02|Col98|Party Name|C|L|3000|0|A|N|N|N|N|F|3"}));
    EXPECT_EQ(lines(root.rows(MainQuery, {code})), lines({mainRow(code, "Margin Report", built)}));

    openWizard(code);
    EXPECT_EQ(str(w.txtRepName->text()), "Margin Report");
    EXPECT_EQ(selectedRows(w), lines({"M02|Col77|N|Closing Amount|R|1800|2|No|No|Yes|No|No",
                                             "M02|Col79|N|Credit Amount|R|1500|2|No|Desc|No|No|Yes",
                                             "M02|Col98|C|Party Name|L|3000|0|Asc|No|No|No|No"}));
    click(w.cmdCancel);
    EXPECT_FALSE(w.isVisible());
}

TEST(WizardSave, AModifiedReportKeepsItsCodeLosesARemovedColumnAndTheListShowsItsNewName)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("OTH");
    const QStringList others = root.rows("Select * From CrMain Where ColCode<>'CRF4' Order By ColCode");
    Form1 &list = Form1::instance();
    list.show();
    list.activateWindow();
    settle();
    clickCell(list.vfg, list.vfg->findRow("CRF4", 0), 1);
    click(list.cmdModify);
    frmRepCust &w = frmRepCust::instance();
    ASSERT_TRUE(w.isVisible());
    QApplication::setActiveWindow(&w);
    settle();
    clickCell(w.VSSelectedFld, 3, 3);
    click(w.cmdRemove);
    typeReportName(w, "Party Sales ");
    click(w.cmdSave);

    expectOnlyMessage("Report Added Sucessfully", app::Icon::Information, "Selvar Report");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(root.counter("OTH"), next);
    EXPECT_EQ(lines(root.rows(ChildQuery, {"CRF4"})), lines({"CRF4|M02|Col98|Party Name|C|L|2000|0|A|N|N|Y|N|F|1",
                                                             "CRF4|T52|Col93|Amount|N|R|1500|2|N|D|Y|N|Y|F|2"}));
    EXPECT_EQ(lines(root.rows(MainQuery, {"CRF4"})),
              lines({mainRow("CRF4", "Party Sales", {"M02|Col98|C|Party Name|L|2000|0|Asc|No|No|Yes|No",
                                                     "T52|Col93|N|Amount|R|1500|2|No|Desc|Yes|No|Yes"})}));
    EXPECT_EQ(root.rows("Select * From CrMain Where ColCode<>'CRF4' Order By ColCode"), others);

    list.activateWindow();
    settle();
    ASSERT_GE(list.vfg->findRow("CRF4", 0), 1);
    EXPECT_EQ(str(list.vfg->textMatrix(list.vfg->findRow("CRF4", 0), 1)), "Party Sales");
    EXPECT_EQ(list.vfg->findRow("Party Wise Sales", 1), -1);
    list.hide();
}

TEST(WizardSave, ACustomColumnMadeInItsWindowIsOfferedAndSavedWithItsCodeAndFormula)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int mrn = root.counter("MRN");
    const int oth = root.counter("OTH");
    frmRepCust &w = openWizard();
    const QStringList family = {"CF-1|T52.Col95 * M20.ColWeight|N|Weight Sold|Right||",
                                "CF-2|M02.Col98 + Space(1) + M02.Col88|C|Party With City|Left||"};
    ASSERT_EQ(lines(customRows(w)), lines(family)); // CF-3 belongs to another family
    const int start = w.CustFldStart;

    ModalScript script;
    script.expect<frmCustFld>([](frmCustFld *f) {
        EXPECT_EQ(QApplication::focusWidget(), f->txtColName);
        type("Margin");
        key(Qt::Key_Tab);
        type("T52.Col93 - T52.Col95");
        key(Qt::Key_Tab);
        key(Qt::Key_Return); // OK, the default button
    });
    click(w.cmdCustField);
    ASSERT_TRUE(script.finish()) << str(script.failure());
    // The custom column window has no owner; a desktop gives the wizard its activation back.
    QApplication::setActiveWindow(&w);

    const QString code = "CF-" + QString::number(mrn);
    EXPECT_EQ(root.counter("MRN"), mrn + 1);
    EXPECT_EQ(w.CustFldStart, start);
    EXPECT_EQ(lines(customRows(w)), lines(family + QStringList{code + "|T52.Col93 - T52.Col95|N|Margin|Right||"}));

    clickCell(w.VSAval, w.VSAval->rows() - 1, 3);
    click(w.cmdAdd);
    typeReportName(w, "Margins");
    click(w.cmdSave);
    expectOnlyMessage("Report Added Sucessfully", app::Icon::Information, "Selvar Report");
    const QString report = "CRF" + QString::number(oth);
    EXPECT_EQ(lines(root.rows(ChildQuery, {report})),
              lines({report + "|" + code + "|T52.Col93 - T52.Col95|Margin|N|R||0|N|N|N|N|N|F|1"}));
    EXPECT_EQ(lines(root.rows(MainQuery, {report})),
              lines({mainRow(report, "Margins", {code + "|T52.Col93 - T52.Col95|N|Margin|Right||None|None|No|No|No"})}));
}

TEST(WizardSave, CancelAndModifyRebuildTheCustomRowsAndOnlyCustomRowsOpenTheWindow)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    root.year().execute("Update CRCustFld Set FldDType='X' Where ColCode='CF-2'");
    const int mrn = root.counter("MRN");
    frmRepCust &w = openWizard();

    // Cancel stores nothing typed, yet a row stored meanwhile shows up.
    ModalScript cancelled;
    cancelled.expect<frmCustFld>([&root](frmCustFld *f) {
        type("Unsaved");
        root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) "
                            "Values ('CF-9', 'Stored Meanwhile', 'T52.Col92', 'C', 'PWR')");
        click(f->cmdCancel);
    });
    click(w.cmdCustField);
    ASSERT_TRUE(cancelled.finish()) << str(cancelled.failure());
    EXPECT_EQ(root.counter("MRN"), mrn);
    EXPECT_EQ(root.value("Select count(*) From CRCustFld Where FldName='Unsaved'").toInt(), 0);
    EXPECT_EQ(lines(customRows(w)), lines({"CF-1|T52.Col95 * M20.ColWeight|N|Weight Sold|Right||",
                                           "CF-2|M02.Col98 + Space(1) + M02.Col88|X|Party With City|Left||",
                                           "CF-9|T52.Col92|C|Stored Meanwhile|Left||"}));

    // A catalogue row is no custom column: a message and no window.
    ModalScript none;
    clickCell(w.VSAval, 1, 3);
    click(w.cmdCustFieldMod);
    EXPECT_TRUE(none.finish()) << str(none.failure());
    expectOnlyMessage("This is not CUSTOM Field ", app::Icon::None);

    ModalScript modified;
    modified.expect<frmCustFld>([](frmCustFld *f) {
        EXPECT_EQ(str(f->txtColName->text()), "Party With City");
        EXPECT_EQ(str(f->txtFormula->toPlainText()), "M02.Col98 + Space(1) + M02.Col88");
        EXPECT_EQ(str(f->cboType->currentText()), "Date");
        key(Qt::Key_A, Qt::ControlModifier);
        type("Party And City");
        click(f->cmdOK);
    });
    clickCell(w.VSAval, w.CustFldStart + 1, 3);
    click(w.cmdCustFieldMod);
    ASSERT_TRUE(modified.finish()) << str(modified.failure());
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
    EXPECT_EQ(root.counter("MRN"), mrn);
    EXPECT_EQ(str(rowText(w.VSAval, w.CustFldStart + 1)), "CF-2|M02.Col98 + Space(1) + M02.Col88|D|Party And City|Left||");
    EXPECT_EQ(w.VSAval->rows(), w.CustFldStart + 3);
    click(w.cmdCancel);
}

TEST(WizardSave, AFailedSaveOfAModifiedReportChangesNothingAndKeepsTheWizardAsItWas)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const QStringList mainBefore = root.rows("Select * From CrMain Order By ColCode");
    const QStringList childBefore = root.rows("Select * From CrChild Order By ColCode, ColSeq");
    for (const char *change : {"INSERT", "UPDATE"})
        root.year().execute(QStringLiteral("CREATE TRIGGER t%1 BEFORE %1 ON CrChild WHEN NEW.ColSeq = 2 "
                                           "BEGIN SELECT RAISE(ABORT,'disk full'); END").arg(change));
    frmRepCust &w = openWizard("CRF4");
    clickCell(w.VSSelectedFld, 1, 3);
    click(w.cmdRemove);
    typeReportName(w, "Changed");
    const QStringList grid = gridRows(w.VSSelectedFld);
    click(w.cmdSave);

    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("disk full"))
        << str(FakeMessages::instance().shown[0].prompt);
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(str(w.StrCode), "CRF4");
    EXPECT_EQ(str(w.txtRepName->text()), "Changed");
    EXPECT_EQ(lines(gridRows(w.VSSelectedFld)), lines(grid));
    EXPECT_FALSE(root.year().inTransaction());
    EXPECT_EQ(lines(root.rows("Select * From CrMain Order By ColCode")), lines(mainBefore));
    EXPECT_EQ(lines(root.rows("Select * From CrChild Order By ColCode, ColSeq")), lines(childBefore));
    click(w.cmdCancel);
}

TEST(WizardSave, ANewReportWhoseSaveFailedIsRetriedUnderTheNumberItTook)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("OTH");
    const int reports = root.value("Select count(*) From CrMain").toInt();
    root.year().execute("CREATE TRIGGER t BEFORE INSERT ON CrChild BEGIN SELECT RAISE(ABORT,'disk full'); END");
    frmRepCust &w = openWizard();
    click(w.cmdAdd);
    click(w.cmdSave);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
    FakeMessages::instance().clear();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(root.counter("OTH"), next + 1) << "a number taken stays used";
    EXPECT_EQ(root.value("Select count(*) From CrMain").toInt(), reports);

    root.year().execute("DROP TRIGGER t");
    click(w.cmdSave);
    expectOnlyMessage("Report Added Sucessfully", app::Icon::Information, "Selvar Report");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(root.counter("OTH"), next + 1);
    const QString code = "CRF" + QString::number(next);
    EXPECT_EQ(lines(root.rows(ChildQuery, {code})), lines({code + "|M02|Col86|Area|C|L|1500|0|N|N|N|N|N|F|1"}));
    EXPECT_EQ(lines(root.rows(MainQuery, {code})),
              lines({mainRow(code, "Report1", {"M02|Col86|C|Area|Left|1500||None|None|No|No|No"})}));
}
