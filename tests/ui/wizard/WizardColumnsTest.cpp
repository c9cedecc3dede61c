#include "tests/ui/Windows.h"

namespace {

// Opens the combo of a cell of the selected grid and answers it with keys.
void editCell(frmRepCust &w, int row, int col, int downs)
{
    clickCell(w.VSSelectedFld, row, col);
    key(Qt::Key_Return);
    for (int i = 0; i < downs; ++i)
        key(Qt::Key_Down);
    key(Qt::Key_Return);
    settle();
}

} // namespace

// Built with the mouse and keys (the available columns found by typing their captions), saved by
// its access key while the width box is still open.
TEST(WizardColumns, ANewReportIsBuiltSavedUnderTheNextNumberAndReopensAsBuilt)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("OTH");
    Wizard w;
    const QString closing = "M02|Col77|N|Closing Amount|Right|1500|2|None|None|No|No|No";
    const QString credit = "M02|Col79|N|Credit Amount|Right|1500|2|None|None|No|No|No";
    const QString party = "M02|Col98|C|Party Name|Left|3000||None|None|No|No|No";
    ASSERT_EQ(QApplication::focusWidget(), w.VSAval);
    type("cL"); // the next caption that starts so, ignoring case
    click(w.cmdAdd);
    click(w.cmdAdd); // the next catalogue column
    clickCell(w.VSAval, 11, C::Caption);
    click(w.cmdAdd);
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));
    EXPECT_EQ(str(w.txtRename->text()), "Party Name");

    click(w.cmdUp);
    EXPECT_EQ(selectedRows(w), lines({closing, party, credit}));
    click(w.cmdDown);
    click(w.cmdDown); // already the last row
    clickCell(w.VSSelectedFld, 1, C::Caption);
    click(w.cmdUp); // already the first row
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));

    click(w.txtRename);
    key(Qt::Key_A, Qt::ControlModifier);
    type("Closing Bal ");
    click(w.cmdChange);
    w.txtRename->clear();
    click(w.cmdChange); // an empty name changes nothing
    typeReportName(w, "Margin's Report");

    click(w.cmdNext);
    ASSERT_EQ(QApplication::focusWidget(), w.VSSelectedFld);
    key(Qt::Key_Right); // from the caption to the width
    const std::pair<QString, QString> widths[] = {{"abc", "0"}, {"0012", "12"}, {"12.5cm", "12.5"}};
    for (const auto &[typed, stored] : widths) {
        key(Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), w.txtWidth);
        EXPECT_EQ(w.txtWidth->selectedText(), w.VSSelectedFld->textMatrix(1, C::Width));
        EXPECT_EQ(app::twipsLeft(w.txtWidth), app::twipsLeft(w.VSSelectedFld) + w.VSSelectedFld->cellLeft());
        EXPECT_EQ(app::twipsTop(w.txtWidth), app::twipsTop(w.VSSelectedFld) + w.VSSelectedFld->cellTop());
        type(typed);
        key(Qt::Key_Return);
        EXPECT_EQ(str(w.VSSelectedFld->textMatrix(1, C::Width)), str(stored)) << str(typed);
    }
    key(Qt::Key_Right);
    type("723x"); // the last digit counts; a letter neither counts nor moves the row
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    type("5"); // the party name is no number
    EXPECT_EQ(selectedRows(w), lines({"M02|Col77|N|Closing Bal |Right|12.5|3|None|None|No|No|No", credit, party}));

    editCell(w, 1, C::Grouping, 1); // group ascending
    EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld);
    editCell(w, 1, C::Total, 1);      // total
    editCell(w, 2, C::Sorting, 2);    // sort descending
    editCell(w, 2, C::GrandTotal, 1); // grand total
    // A page change closes an open combo into the cell it was opened on, not the caption.
    clickCell(w.VSSelectedFld, 1, C::Grouping);
    key(Qt::Key_Return);
    EXPECT_EQ(str(w.cboGrpSort->currentText()), "Asc");
    key(Qt::Key_Down);
    key(Qt::Key_F, Qt::AltModifier);
    EXPECT_FALSE(w.cboGrpSort->isVisible());

    clickCell(w.VSSelectedFld, 1, C::Width);
    key(Qt::Key_Return);
    type("1800");
    key(Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([] { return !FakeMessages::instance().shown.isEmpty(); }));
    settle();
    EXPECT_EQ(takeMessages(), "Report Added Sucessfully");
    EXPECT_FALSE(w.isVisible());
    const QString code = "CRF" + QString::number(next);
    EXPECT_EQ(storedReport(root, code),
              lines({mainRow(code, "Margin's Report",
                             {"M02|Col77|N|Closing Bal |Right|1800|3|Desc|None|Yes|No|No",
                              "M02|Col79|N|Credit Amount|Right|1500|2|None|Desc|No|No|Yes", party}),
                     code + "|M02|Col77|Closing Bal |N|R|1800|3|D|N|Y|N|N|F|1",
                     code + "|M02|Col79|Credit Amount|N|R|1500|2|N|D|N|N|Y|F|2",
                     code + "|M02|Col98|Party Name|C|L|3000|0|N|N|N|N|N|F|3"}));

    w.open(code);
    EXPECT_EQ(str(w.txtRepName->text()), "Margin's Report");
    EXPECT_EQ(selectedRows(w), lines({"M02|Col77|N|Closing Bal |R|1800|3|Desc|No|Yes|No|No",
                                      "M02|Col79|N|Credit Amount|R|1500|2|No|Desc|No|No|Yes",
                                      "M02|Col98|C|Party Name|L|3000|0|No|No|No|No|No"}));

    // A report that is gone or cannot be read opens nothing; a new report still opens.
    w.open("CRF99");
    root.year().execute("Drop Table CrChild");
    w.open("CRF4");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(takeMessages(), str("This report no longer exists.\n!" + noSuchTable("CRChild")));
    w.open();
    EXPECT_TRUE(w.isVisible());
}
