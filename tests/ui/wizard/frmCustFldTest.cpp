#include "tests/ui/Windows.h"

namespace {

// Opens the window on a new column and runs the step in it.
void inWindow(std::function<void(frmCustFld *)> step)
{
    ModalScript script;
    script.expect<frmCustFld>(step);
    frmCustFld window;
    window.showForm({});
    ASSERT_TRUE(script.finish()) << str(script.failure());
    EXPECT_FALSE(window.isVisible());
}

} // namespace

// A formula that does not run is stored only when the user says so. Refused, a missing name or
// formula takes no number; a database error is shown, takes one and keeps the window open.
TEST(CustomColumn, ABadFormulaAsksAMissingNameIsRefusedAndADatabaseErrorKeepsTheWindowOpen)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    const auto stored = [&] { return lines(root.rows("Select * From CRCustFld Order By ColCode")); };
    const std::string before = stored();
    inWindow([&](frmCustFld *w) {
        type("Weight\tT52.Col93 *+* 2"); // "\t" is the Tab key
        FakeMessages::instance().answer(app::Answer::No);
        for (const char *formula : {"", "Sum(T52.Col93) / 2", "T52.Col93 + M02.Col98"}) {
            if (*formula)
                w->txtFormula->setPlainText(formula);
            click(w->cmdOK);
        }
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(stored(), before);
        w->txtFormula->setPlainText("T52.Col95 * M20.NoSuchWeight");
        FakeMessages::instance().answer(app::Answer::Yes);
        click(w->cmdOK);
    });
    const app::Message question = FakeMessages::instance().shown.last();
    EXPECT_EQ(takeMessages(),
              str("The formula cannot run on this year's data:\nSyntax error at position 13: expected a value but found "
                  "'*'\n\nStore the column anyway?\nA column's formula gives one value for each row and cannot use "
                  "Sum, which adds up rows. Set the column's Total, Count or Grand Total in the wizard instead.\n"
                  "The formula cannot run on this year's data:\nType mismatch in +\n\nStore the column anyway?\n"
                  "The formula cannot run on this year's data:\n" + noSuchColumn("M20.NoSuchWeight")
                  + "\n\nStore the column anyway?"));
    EXPECT_TRUE(question.buttons == app::Buttons::YesNo && question.icon == app::Icon::Exclamation
                && question.defaultButton == app::Answer::No);
    const QString code = "CF-" + QString::number(next);
    EXPECT_EQ(lines(root.rows("Select * From CRCustFld Where ColCode=?", {code})),
              str(code + "|Weight|T52.Col95 * M20.NoSuchWeight|N|PWR"));

    const std::string after = stored();
    root.failWrites("CRCustFld");
    inWindow([](frmCustFld *w) {
        type("  \tT52.Col93");
        click(w->cmdOK);
        w->txtColName->setText("Amount");
        w->txtFormula->setPlainText(" \n ");
        click(w->cmdOK);
        w->txtFormula->setPlainText("T52.Col93");
        EXPECT_EQ(press(w->cmdOK), "Please Enter Column Name and Formula Both \n"
                                  "Please Enter Column Name and Formula Both \n!disk full");
        EXPECT_TRUE(w->isVisible());
        click(w->cmdCancel);
    });
    EXPECT_EQ(stored(), after);
    EXPECT_EQ(root.counter("MRN"), next + 2) << "a number taken stays used";

    // A report with a column that does not run asks before saving, naming the first column that
    // fails by itself with that column's own error.
    root.allowWrites();
    addCustomColumn(root, "CF-90|Bad Weight|T52.Col95 * M20.NoWeight|N");
    const int oth = root.counter("OTH");
    Wizard w;
    for (const QString code : {"CF-1", "CF-90"}) {
        clickCell(w.VSAval, w.VSAval->findRow(code, C::TabName), C::Caption);
        click(w.cmdAdd);
    }
    w.txtRepName->setText("Weights");
    const QString saveAnyway = "Column \"Bad Weight\" cannot run on this year's data:\n" + noSuchColumn("M20.NoWeight")
                             + "\n\nSave the report anyway?";
    EXPECT_EQ(press(w.cmdSave, {app::Answer::No}), str(saveAnyway));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(root.counter("OTH"), oth);

    EXPECT_EQ(press(w.cmdSave, {app::Answer::Yes}), lines({saveAnyway, "Report Added Sucessfully"}));
    EXPECT_FALSE(w.isVisible());
}
