#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "tests/ui/crosstab/DesignerScript.h"
#include "tests/ui/wizard/WizardUi.h"
#include "ui/crosstab/frmRowSelect.h"
#include "ui/grid/Grid.h"
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The picker's rows from `from` on: caption and expression.
QStringList pickerRows(int from = 1) { return gridRows((*SelectionScreen::instance().picker).vfg).mid(from); }

} // namespace

TEST(FieldPicker, PreselectsTheBoxsExpressionInWhicheverCatalogueIsShown)
{
    TestRoot root(TestRoot::Demo);
    const auto down = [] { key(Qt::Key_Down); };
    const auto esc = [](frmRowSelect *) { key(Qt::Key_Escape); };
    const struct {
        const char *slot, *tag;
        std::function<void()> keys;
        std::function<void(frmRowSelect *)> confirm;
        QString expected; // "preselected row|expression|caption"
    } cases[] = {
        {"RC0", "", {}, {}, "1|M02.Col98|Party Name"},
        {"RC0", "M20.Col98", {}, {}, "9|M20.Col98|Product Name (Original) "},
        {"RC1", "M20.Col98", {}, {}, "2|M20.Col98|Product Name (Original)"},
        {"D2", "M20.Col98", {}, {}, "1|M02.Col80|Opening Amount"}, // not in this catalogue: the first row
        {"RC2", "M02.Col95", down, {}, "7|M02.Col61|Party Type"},
        // Esc, the close box and OK confirm alike.
        {"D1", "", down, esc, "1|M20.RecQty|Receipt Quantity"},
        {"D1", "M20.ClQty", {}, [](frmRowSelect *p) { p->close(); }, "4|M20.ClQty|Closing Quantity"},
        {"D1", "M20.IssQty", {}, [](frmRowSelect *p) { QTest::mouseClick(p->cmdOK, Qt::LeftButton); },
         "3|M20.IssQty|Issue Quantity"},
    };
    for (const auto &c : cases) {
        const Opening o = c.confirm ? openPicker(c.slot, c.tag, c.keys, c.confirm) : openPicker(c.slot, c.tag, c.keys);
        EXPECT_EQ(o.failure, "");
        EXPECT_EQ(QString::number(o.preselected) + "|" + o.expression + "|" + o.caption, c.expected) << c.slot << c.tag;
    }
}

TEST(FieldPicker, AnUnknownCodeKeepsTheLastCatalogue)
{
    TestRoot root(TestRoot::Empty);
    openPicker("RC1", "");
    const QStringList product = pickerRows();
    Opening o = openPicker("RC9", "M20.Col84");
    EXPECT_EQ(pickerRows(), product);
    EXPECT_EQ(o.caption, "Product Type");
}

// User fields follow the fixed rows; a user field repeating a fixed expression leaves the
// preselection on the fixed row.
TEST(FieldPicker, AppendsUserFieldsBehindTheFixedRows)
{
    TestRoot root(TestRoot::Demo);
    root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values ('ColNoName', NULL, 'H', 'C'), "
                        "('M02.Col88', 'AAA Town', 'H', 'C')");
    Opening o = openPicker("RC0", "M02.Col88");
    EXPECT_EQ(o.preselected, 5);
    EXPECT_EQ(o.caption, "City Name");
    EXPECT_EQ(pickerRows(22), QStringList({"|ColNoName", "AAA Town|M02.Col88", "Bags|ColBags", "Batch No|ColBatchNo",
                                         "Cartons|ColCartons", "Freight Amount|ColFreight", "Transport|ColTransport",
                                         "Vehicle No|ColVehicleNo"}));

    o = openPicker("D0", "T52.ColFreight");
    EXPECT_EQ(o.preselected, 21);
    EXPECT_EQ(o.caption, "Freight Amount");
    QStringList user = pickerRows(19);
    user.sort();
    EXPECT_EQ(user, QStringList({"Bags|T52.ColBags", "Cartons|T52.ColCartons", "Freight Amount|T52.ColFreight"}));
}

// The value catalogue grows past 99 rows for every user amount field; a failing read of the
// user fields is reported and the fixed rows stay.
TEST(FieldPicker, TheValueCatalogueGrowsForEveryUserAmountFieldAndAFailingReadIsReported)
{
    TestRoot root(TestRoot::Demo);
    data::Transaction tx(root.year());
    for (int i = 0; i < 90; ++i)
        root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values (?, ?, 'M', 'N')",
                            {QString("ColAmt%1").arg(i), QString("Amount %1").arg(i)});
    tx.commit();
    Opening o = openPicker("D0", "T52.ColAmt89");
    EXPECT_EQ((*SelectionScreen::instance().picker).vfg->rows(), 1 + 18 + 3 + 90);
    EXPECT_EQ(o.caption, "Amount 89");

    root.year().execute("Drop Table ZoM35");
    o = openPicker("RC0", "M02.ColSMName");
    EXPECT_EQ(o.caption, "Sales Man");
    EXPECT_EQ((*SelectionScreen::instance().picker).vfg->rows(), 22);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("ZoM35"));
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
}
