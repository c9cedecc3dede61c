#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmCustFld.h"
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString RowQuery = "Select ColCode, FldName, CalString, FldDType, MCode From CRCustFld Where ColCode=?";

// Opens the window on the code and runs the step in it.
void inWindow(const QString &code, std::function<void(frmCustFld *)> step)
{
    ModalScript script;
    script.expect<frmCustFld>(step);
    frmCustFld::instance().showForm(code);
    ASSERT_TRUE(script.finish()) << str(script.failure());
    EXPECT_FALSE(frmCustFld::instance().isVisible());
}

} // namespace

// Refused, a missing name or formula takes no number; a database error is shown, takes one and
// keeps the window open; Cancel then stores nothing.
TEST(CustomColumn, AMissingNameOrFormulaIsRefusedAndADatabaseErrorKeepsTheWindowOpen)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    const QStringList before = root.rows("Select * From CRCustFld Order By ColCode");
    root.year().execute("CREATE TRIGGER t BEFORE INSERT ON CRCustFld BEGIN SELECT RAISE(ABORT,'disk full'); END");
    inWindow("", [](frmCustFld *w) {
        key(Qt::Key_Tab);
        type("T52.Col93");
        click(w->cmdOK);
        w->txtColName->setText("Amount");
        w->txtFormula->clear();
        click(w->cmdOK);
        w->txtFormula->setPlainText("T52.Col93");
        click(w->cmdOK);
        EXPECT_EQ(lines(FakeMessages::instance().prompts()), "Please Enter Column Name and Formula Both \n"
                                                             "Please Enter Column Name and Formula Both \ndisk full");
        ASSERT_EQ(FakeMessages::instance().shown.size(), 3);
        EXPECT_EQ(FakeMessages::instance().shown[2].icon, app::Icon::Critical);
        EXPECT_TRUE(w->isVisible());
        click(w->cmdCancel);
    });
    EXPECT_EQ(lines(root.rows("Select * From CRCustFld Order By ColCode")), lines(before));
    EXPECT_EQ(root.counter("MRN"), next + 1) << "a number taken stays used";
}

TEST(CustomColumn, AFormulaThatDoesNotRunIsStoredOnlyWhenTheUserSaysSo)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    const QString code = "CF-" + QString::number(next);
    inWindow("", [&](frmCustFld *w) {
        type("Weight");
        key(Qt::Key_Tab);
        type("T52.Col93 *+* 2");
        FakeMessages::instance().answer(app::Answer::No);
        click(w->cmdOK);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(lines(root.rows(RowQuery, {code})), "");
        EXPECT_EQ(root.counter("MRN"), next);
        w->txtFormula->setPlainText("T52.Col95 * M20.NoSuchWeight");
        FakeMessages::instance().answer(app::Answer::Yes);
        click(w->cmdOK);
    });
    EXPECT_EQ(lines(FakeMessages::instance().prompts()),
              "The formula cannot run on this year's data:\nSyntax error at position 13: expected a value but found "
              "'*'\n\nStore the column anyway?\nThe formula cannot run on this year's data:\nno such column: "
              "M20.NoSuchWeight\n\nStore the column anyway?");
    const app::Message &question = FakeMessages::instance().shown.last();
    EXPECT_EQ(question.buttons, app::Buttons::YesNo);
    EXPECT_EQ(question.icon, app::Icon::Exclamation);
    EXPECT_EQ(question.defaultButton, app::Answer::No);
    EXPECT_EQ(lines(root.rows(RowQuery, {code})), str(code + "|Weight|T52.Col95 * M20.NoSuchWeight|N|PWR"));
}
