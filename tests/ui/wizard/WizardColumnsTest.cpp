#include "app/Twips.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/wizard/GroupSort.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmRepCust.h"
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString SelectedHeader = QStringLiteral(
    "TabName|Column Name|Data Type| Display Column Name                                   | Alignment|Width|Decimal"
    "|Grouping|Sorting| Total|Count|Grand Total ");

} // namespace

TEST(WizardColumns, AvailableGridHoldsTheFamilysCatalogueThenItsCustomColumns)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    const QStringList expected =
        QStringList{"TabName|Column Name|Data Type| Available Column                                           "
                    "| Alignment|Width |Decimal"}
        + root.rows("Select ColTableName, FldName, FldDType, FldDName, "
                    "Case When FldDType='N' Then 'Right' Else 'Left' End, FldWidth, ColDecimal From CRDefCol "
                    "Where ColTableName In('M02','M20','T51','T52') Order By ColTableName, FldDName")
        + QStringList{"CF-1|T52.Col95 * M20.ColWeight|N|Weight Sold|Right||",
                      "CF-2|M02.Col98 + Space(1) + M02.Col88|C|Party With City|Left||"};
    EXPECT_EQ(lines(gridRows(w.VSAval)), lines(expected));
    EXPECT_EQ(str(rowText(w.VSAval, 1)), "M02|Col86|C|Area|Left|1500|");
    EXPECT_EQ(str(rowText(w.VSAval, 3)), "M02|Col77|N|Closing Amount|Right|1500|2");
    EXPECT_EQ(w.CustFldStart, w.VSAval->rows() - 2);
    EXPECT_EQ(lines(gridRows(w.VSSelectedFld)), lines(QStringList{SelectedHeader}));

    root.year().execute("Update CRCustFld Set FldName='Weight' Where ColCode='CF-1'");
    w.RemoveCustField();
    EXPECT_EQ(w.VSAval->rows(), w.CustFldStart);
    w.LoadCustFld();
    QStringList reloaded = expected;
    reloaded[reloaded.size() - 2] = "CF-1|T52.Col95 * M20.ColWeight|N|Weight|Right||";
    EXPECT_EQ(lines(gridRows(w.VSAval)), lines(reloaded));
}

TEST(WizardColumns, ANewReportIsBuiltWithAddMoveRenameWidthDecimalsAndCombos)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    ASSERT_EQ(QApplication::focusWidget(), w.VSAval);
    const QString closing = "M02|Col77|N|Closing Amount|Right|1500|2|None|None|No|No|No";
    const QString credit = "M02|Col79|N|Credit Amount|Right|1500|2|None|None|No|No|No";
    const QString party = "M02|Col98|C|Party Name|Left|3000||None|None|No|No|No";

    key(Qt::Key_Down);
    key(Qt::Key_Down);
    click(w.cmdAdd);
    click(w.cmdAdd);
    EXPECT_EQ(selectedRows(w), lines({closing, credit}));
    EXPECT_EQ(w.VSAval->row(), 5);
    clickCell(w.VSAval, 11, 3);
    click(w.cmdAdd);
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));
    EXPECT_EQ(w.VSSelectedFld->row(), 3);
    EXPECT_EQ(w.txtRename->text(), "Party Name");

    click(w.cmdUp);
    EXPECT_EQ(selectedRows(w), lines({closing, party, credit}));
    EXPECT_EQ(w.VSSelectedFld->row(), 2);
    click(w.cmdDown);
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));
    EXPECT_EQ(w.VSSelectedFld->row(), 3);
    click(w.cmdDown); // already the last row
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));
    clickCell(w.VSSelectedFld, 1, 3);
    click(w.cmdUp); // already the first row
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));
    EXPECT_EQ(w.txtRename->text(), "Closing Amount");

    QTest::mouseClick(w.txtRename, Qt::LeftButton);
    key(Qt::Key_A, Qt::ControlModifier);
    type("Closing Bal ");
    click(w.cmdChange);
    const QString renamed = "M02|Col77|N|Closing Bal |Right|1500|2|None|None|No|No|No";
    EXPECT_EQ(selectedRows(w), lines({renamed, credit, party}));
    EXPECT_EQ(str(rowText(w.VSAval, 3)), "M02|Col77|N|Closing Amount|Right|1500|2");
    w.txtRename->clear();
    click(w.cmdChange);
    EXPECT_EQ(selectedRows(w), lines({renamed, credit, party}));

    click(w.cmdNext);
    ASSERT_EQ(QApplication::focusWidget(), w.VSSelectedFld);
    key(Qt::Key_Right); // from the caption to the width
    ASSERT_EQ(w.VSSelectedFld->col(), 5);
    key(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), w.txtWidth);
    EXPECT_TRUE(w.txtWidth->isVisible());
    EXPECT_EQ(w.txtWidth->selectedText(), "1500");
    EXPECT_EQ(app::twipsLeft(w.txtWidth), app::twipsLeft(w.VSSelectedFld) + w.VSSelectedFld->cellLeft());
    EXPECT_EQ(app::twipsTop(w.txtWidth), app::twipsTop(w.VSSelectedFld) + w.VSSelectedFld->cellTop());
    EXPECT_EQ(app::twipsWidth(w.txtWidth), w.VSSelectedFld->cellWidth());
    type("abc");
    key(Qt::Key_Return);
    EXPECT_FALSE(w.txtWidth->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld);
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 1)), "M02|Col77|N|Closing Bal |Right|0|2|None|None|No|No|No");
    key(Qt::Key_Return);
    type("0012");
    key(Qt::Key_Return);
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 1)), "M02|Col77|N|Closing Bal |Right|12|2|None|None|No|No|No");
    key(Qt::Key_Return);
    type("12.5cm");
    key(Qt::Key_Return);
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 1)), "M02|Col77|N|Closing Bal |Right|12.5|2|None|None|No|No|No");

    key(Qt::Key_Right);
    type("7");
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 1)), "M02|Col77|N|Closing Bal |Right|12.5|7|None|None|No|No|No");
    type("23");
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 1)), "M02|Col77|N|Closing Bal |Right|12.5|3|None|None|No|No|No");
    type("x");
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    type("5"); // the party name is no number
    EXPECT_EQ(selectedRows(w), lines({"M02|Col77|N|Closing Bal |Right|12.5|3|None|None|No|No|No", credit,
                                            party}));
    EXPECT_EQ(w.VSSelectedFld->row(), 3);

    key(Qt::Key_Up);
    key(Qt::Key_Up);
    key(Qt::Key_Right);
    key(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), w.cboGrpSort);
    EXPECT_EQ(w.cboGrpSort->currentText(), "None");
    EXPECT_EQ(app::twipsLeft(w.cboGrpSort), app::twipsLeft(w.VSSelectedFld) + w.VSSelectedFld->cellLeft());
    EXPECT_EQ(app::twipsTop(w.cboGrpSort), app::twipsTop(w.VSSelectedFld) + w.VSSelectedFld->cellTop());
    EXPECT_EQ(app::twipsWidth(w.cboGrpSort), w.VSSelectedFld->cellWidth());
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld);
    EXPECT_FALSE(w.cboGrpSort->isVisible());
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 1)), "M02|Col77|N|Closing Bal |Right|12.5|3|Asc|None|No|No|No");

    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), w.cboTot);
    EXPECT_EQ(w.cboTot->currentText(), "No");
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 1)), "M02|Col77|N|Closing Bal |Right|12.5|3|Asc|None|Yes|No|No");

    // Leaving a combo with the mouse writes into the cell it was opened on.
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    key(Qt::Key_Return);
    EXPECT_EQ(w.cboGrpSort->currentText(), "Asc");
    key(Qt::Key_Down);
    clickCell(w.VSSelectedFld, 2, 3);
    EXPECT_FALSE(w.cboGrpSort->isVisible());
    const QString first = "M02|Col77|N|Closing Bal |Right|12.5|3|Desc|None|Yes|No|No";
    EXPECT_EQ(selectedRows(w), lines({first, credit, party}));

    click(w.cmdRemove);
    EXPECT_EQ(selectedRows(w), lines({first, party}));
    click(w.cmdRemove);
    click(w.cmdRemove);
    click(w.cmdRemove); // nothing left to remove
    EXPECT_EQ(lines(gridRows(w.VSSelectedFld)), lines(QStringList{SelectedHeader}));
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}

TEST(WizardColumns, TheWidthBoxLeftWithTheMouseStoresItsValueAndStaysOpen)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard("CRF4");
    click(w.cmdNext);
    clickCell(w.VSSelectedFld, 2, 5);
    key(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), w.txtWidth);
    type("25");
    clickCell(w.VSSelectedFld, 3, 3);
    EXPECT_EQ(str(rowText(w.VSSelectedFld, 2)), "T52|Col93|N|Amount|R|25|2|No|Desc|Yes|No|Yes");
    EXPECT_TRUE(w.txtWidth->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld);
}

TEST(WizardColumns, AStoredReportLoadsInColumnOrderWithItsCodesAsWords)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    // Sequence numbers that run against the rows' order in the table.
    root.year().execute("Update CrChild Set ColSeq = 4 - ColSeq Where ColCode='CRF4'");
    root.year().execute(
        "Update CrChild Set ColAlign=NULL, ColDecimal=NULL, ColGroup=NULL, ColTotal='y' Where ColCode='CRF4' "
        "And ColFieldNameDisp='Product'");
    frmRepCust &w = openWizard("CRF4");
    ASSERT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.StrCode, "CRF4");
    EXPECT_EQ(w.txtRepName->text(), "Party Wise Sales");
    EXPECT_EQ(w.txtRepName->property("tag").toString(), "Party Wise Sales");
    EXPECT_EQ(lines(gridRows(w.VSSelectedFld)), lines((QStringList{SelectedHeader,
                                                      "M20|Col98|C|Product||2500|||Asc||No|No",
                                                      "T52|Col93|N|Amount|R|1500|2|No|Desc|Yes|No|Yes",
                                                      "M02|Col98|C|Party Name|L|2000|0|Asc|No|No|Yes|No"})));

    // A loaded "No" grouping opens the combo on "None"; an empty total on "No".
    click(w.cmdNext);
    clickCell(w.VSSelectedFld, 2, 7);
    key(Qt::Key_Return);
    EXPECT_EQ(w.cboGrpSort->currentText(), "None");
    clickCell(w.VSSelectedFld, 1, 9);
    key(Qt::Key_Return);
    EXPECT_EQ(w.cboTot->currentText(), "No");
    key(Qt::Key_Tab);
    settle();
    for (int c : {0, 1, 2, 4, 6}) { // Enter elsewhere opens nothing
        w.VSSelectedFld->setCol(c);
        key(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld) << c;
    }

    // The open window is reused by the next report.
    openWizard("CRF5");
    EXPECT_EQ(w.txtRepName->text(), "Voucher Register");
    EXPECT_EQ(selectedRows(w), lines({"T51|Col98|D|Voucher Date|L|1200|0|No|Asc|No|No|No",
                                            "T51|Col99|C|Voucher No|L|1200|0|No|Asc|No|Yes|No",
                                            "M02|Col98|C|Party Name|L|3000|0|No|No|No|No|No",
                                            "T52|Col95|N|Quantity|R|1200|3|No|No|Yes|No|Yes",
                                            "T52|Col93|N|Amount|R|1500|2|No|No|Yes|No|Yes"}));
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}

TEST(WizardColumns, AReportThatIsGoneOrUnreadableOpensNothing)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = frmRepCust::instance();
    w.showForm("CRF99");
    settle();
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_EQ(FakeMessages::instance().shown[0].prompt, "This report no longer exists.");
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Information);

    FakeMessages::instance().clear();
    root.year().execute("Drop Table CrChild");
    w.showForm("CRF4");
    settle();
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("CRChild")) << FakeMessages::instance().shown[0].prompt.toStdString();
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);

    // A new report still opens.
    FakeMessages::instance().clear();
    openWizard();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.txtRepName->text(), "Report1");
    EXPECT_EQ(w.VSSelectedFld->rows(), 1);
}

TEST(WizardColumns, RetGroupSortTurnsCodesIntoWords)
{
    const std::pair<QString, QString> table[] = {{"N", "No"}, {"A", "Asc"}, {"D", "Desc"}, {"Y", "Yes"},
                                                 {"a", ""},   {"Z", ""},    {"", ""},      {"No", ""}};
    for (const auto &[code, word] : table)
        EXPECT_EQ(RetGroupSort(code), word) << code.toStdString();
}
