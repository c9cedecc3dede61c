#include "app/Module1.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmCustFld.h"
#include "ui/wizard/frmRepCust.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString RowQuery = "Select ColCode, FldName, CalString, FldDType, MCode From CRCustFld Where ColCode=?";

void click(QPushButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
}

void expectQuestion(const app::Message &m, const QString &prompt)
{
    EXPECT_EQ(str(m.prompt), str(prompt));
    EXPECT_EQ(m.buttons, app::Buttons::YesNo);
    EXPECT_EQ(m.icon, app::Icon::Exclamation);
    EXPECT_EQ(m.defaultButton, app::Answer::No);
    EXPECT_EQ(m.title, "");
}

// Types a new custom column and presses OK once per answer given (once when none is); Cancel
// leaves the window if OK did not.
void typeCustomColumn(const QString &name, const QString &formula, QList<app::Answer> answers)
{
    ModalScript script;
    script.expect<frmCustFld>([=](frmCustFld *w) {
        type(name);
        key(Qt::Key_Tab);
        type(formula);
        for (int i = 0; i < qMax(1, int(answers.size())); ++i) {
            if (i < answers.size())
                FakeMessages::instance().answer(answers[i]);
            QTest::mouseClick(w->cmdOK, Qt::LeftButton);
            if (i < answers.size() && answers[i] == app::Answer::No) {
                EXPECT_TRUE(w->isVisible());
                EXPECT_EQ(w->txtFormula->toPlainText(), formula);
            }
        }
        if (w->isVisible())
            QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
    });
    frmCustFld::instance().showForm("");
    ASSERT_TRUE(script.finish()) << script.failure().toStdString();
}

void addAvailable(frmRepCust &w, const QString &code)
{
    clickCell(w.VSAval, w.VSAval->findRow(code, 0), 3);
    click(w.cmdAdd);
}

} // namespace

TEST(FormulaCheck, AFormulaThatDoesNotRunIsStoredOnlyWhenTheUserSaysSo)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    const QString code = "CF-" + QString::number(next);

    typeCustomColumn("Double Amount", "T52.Col93 *+* 2", {app::Answer::No});
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    expectQuestion(FakeMessages::instance().shown[0],
                   "The formula cannot run on this year's data:\nSyntax error at position 13: expected a value but "
                   "found '*'\n\nStore the column anyway?");
    EXPECT_EQ(root.rows(RowQuery, {code}), QStringList());
    EXPECT_EQ(root.counter("MRN"), next);

    FakeMessages::instance().clear();
    typeCustomColumn("Weight", "T52.Col95 * M20.NoSuchWeight", {app::Answer::No, app::Answer::Yes});
    ASSERT_EQ(FakeMessages::instance().shown.size(), 2);
    for (const app::Message &m : FakeMessages::instance().shown)
        expectQuestion(m, "The formula cannot run on this year's data:\nno such column: M20.NoSuchWeight\n\n"
                          "Store the column anyway?");
    EXPECT_EQ(root.rows(RowQuery, {code}), QStringList{code + "|Weight|T52.Col95 * M20.NoSuchWeight|N|PWR"});
    EXPECT_FALSE(frmCustFld::instance().isVisible());
}

TEST(FormulaCheck, AFormulaThatRunsIsStoredWithoutAQuestion)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const QString code = "CF-" + QString::number(root.counter("MRN"));
    typeCustomColumn("Sale Only", "IIF( Left(T52.Col99,1) = 'S', T52.Col93, 0)", {});
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
    EXPECT_EQ(root.rows(RowQuery, {code}),
              QStringList{code + "|Sale Only|IIF( Left(T52.Col99,1) = 'S', T52.Col93, 0)|N|PWR"});
    EXPECT_FALSE(frmCustFld::instance().isVisible());
}

TEST(FormulaCheck, AReportWithAColumnThatDoesNotRunAsksBeforeSavingAndNamesIt)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) Values "
                        "('CF-90', 'Bad Weight', 'T52.Col95 * M20.NoWeight', 'N', 'PWR')");
    const int next = root.counter("OTH");
    const QStringList before = root.rows("Select ColCode From CrMain Order By ColCode");
    frmRepCust &w = openWizard();
    addAvailable(w, "CF-1");
    addAvailable(w, "CF-90");
    w.txtRepName->setText("Weights");

    FakeMessages::instance().answer(app::Answer::No);
    click(w.cmdSave);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    expectQuestion(FakeMessages::instance().shown[0],
                   "Column \"Bad Weight\" cannot run on this year's data:\nno such column: M20.NoWeight\n\n"
                   "Save the report anyway?");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(root.rows("Select ColCode From CrMain Order By ColCode"), before);
    EXPECT_EQ(root.counter("OTH"), next);

    FakeMessages::instance().clear();
    FakeMessages::instance().answer(app::Answer::Yes);
    click(w.cmdSave);
    EXPECT_EQ(FakeMessages::instance().prompts(),
              (QStringList{"Column \"Bad Weight\" cannot run on this year's data:\nno such column: M20.NoWeight\n\n"
                           "Save the report anyway?",
                           "Report Added Sucessfully"}));
    EXPECT_FALSE(w.isVisible());
    const QString code = "CRF" + QString::number(next);
    EXPECT_EQ(str(root.value("Select ColSql From CrMain Where ColCode=?", {code}).toString()),
              str("Select  Space(0) ,  format( CF-1.T52.Col95 * M20.ColWeight , '##########0.'), "
                  "format( CF-90.T52.Col95 * M20.NoWeight , '##########0.')"
                  + app::settings().ExtraSelect + " " + app::settings().SourceFrom));
}

TEST(FormulaCheck, AReportWhoseColumnsRunIsSavedWithoutAQuestion)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard("CRF4");
    addAvailable(w, "CF-1");
    addAvailable(w, "CF-2");
    click(w.cmdSave);
    EXPECT_EQ(FakeMessages::instance().prompts(), QStringList{"Report Added Sucessfully"});
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(root.value("Select count(*) From CrChild Where ColCode='CRF4'").toInt(), 5);
}
