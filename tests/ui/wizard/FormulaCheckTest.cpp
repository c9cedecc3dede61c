#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmRepCust.h"
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

// The question names the first column that fails by itself, with that column's own error.
TEST(FormulaCheck, AReportWithAColumnThatDoesNotRunAsksBeforeSavingAndNamesIt)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) Values "
                        "('CF-90', 'Bad Weight', 'T52.Col95 * M20.NoWeight', 'N', 'PWR')");
    const int next = root.counter("OTH");
    frmRepCust &w = openWizard();
    for (const QString code : {"CF-1", "CF-90"}) {
        clickCell(w.VSAval, w.VSAval->findRow(code, 0), 3);
        click(w.cmdAdd);
    }
    w.txtRepName->setText("Weights");
    const QString question = "Column \"Bad Weight\" cannot run on this year's data:\nno such column: M20.NoWeight\n\n"
                             "Save the report anyway?";

    FakeMessages::instance().answer(app::Answer::No);
    click(w.cmdSave);
    EXPECT_EQ(lines(FakeMessages::instance().prompts()), str(question));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(root.counter("OTH"), next);

    FakeMessages::instance().clear();
    FakeMessages::instance().answer(app::Answer::Yes);
    click(w.cmdSave);
    EXPECT_EQ(lines(FakeMessages::instance().prompts()), lines({question, "Report Added Sucessfully"}));
    EXPECT_FALSE(w.isVisible());
}
