#include "app/Twips.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/crosstab/frmRowSelect.h"
#include "ui/grid/Grid.h"
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct Opening {
    QString expression; // returned
    QString caption;    // written into the box
    int preselected = 0;
    QString failure;
};

// Opens the picker as a field box would, runs keys in it, and confirms with `confirm`.
Opening open(const QString &slot, const QString &tag, std::function<void()> keys = {},
             std::function<void(frmRowSelect *)> confirm = [](frmRowSelect *) { key(Qt::Key_Return); })
{
    frmRowSelect &picker = frmRowSelect::instance();
    Opening result;
    // The active window the picker is opened from, as the definition window would be.
    QWidget owner;
    owner.show();
    owner.activateWindow();
    settle();
    QLineEdit box(&owner);
    box.setText(QStringLiteral("typed over"));
    ModalScript script;
    script.expect<frmRowSelect>([&](frmRowSelect *p) {
        result.preselected = p->vfg->row();
        EXPECT_EQ(QApplication::focusWidget(), p->vfg);
        EXPECT_TRUE(p->vfg->isColumnHidden(1));
        EXPECT_EQ(p->pos(), QPoint(app::twipsToPixels(5300), app::twipsToPixels(450)));
        if (keys)
            keys();
        confirm(p);
    });
    result.expression = picker.RowSelectData(slot, &box, tag);
    result.caption = box.text();
    if (!script.finish())
        result.failure = script.failure();
    EXPECT_FALSE(picker.isVisible());
    return result;
}

QStringList gridRows(int from = 1)
{
    Grid *g = frmRowSelect::instance().vfg;
    QStringList rows;
    for (int r = from; r < g->rows(); ++r)
        rows << g->textMatrix(r, 0) + '|' + g->textMatrix(r, 1);
    return rows;
}

} // namespace

TEST(FieldPicker, PreselectsTheBoxsExpressionInWhicheverCatalogueIsShown)
{
    TestRoot root(TestRoot::Demo);
    frmRowSelect &picker = frmRowSelect::instance();
    EXPECT_EQ(picker.windowTitle(), "Select Data");
    EXPECT_EQ(picker.vfg->textMatrix(0, 0), "Name" + QString(57, ' '));
    EXPECT_EQ(picker.vfg->textMatrix(0, 1), "Field ");

    Opening o = open("RC0", "");
    EXPECT_EQ(o.failure, "");
    EXPECT_EQ(o.preselected, 1);
    EXPECT_EQ(o.expression, "M02.Col98");
    EXPECT_EQ(o.caption, "Party Name");

    o = open("RC0", "M20.Col98");
    EXPECT_EQ(o.preselected, 9);
    EXPECT_EQ(o.caption, "Product Name (Original) ");
    o = open("RC1", "M20.Col98");
    EXPECT_EQ(o.preselected, 2);
    EXPECT_EQ(o.caption, "Product Name (Original)");
    o = open("D2", "M20.Col98"); // not in this catalogue: the first row
    EXPECT_EQ(o.preselected, 1);
    EXPECT_EQ(o.expression, "M02.Col80");

    o = open("RC2", "M02.Col95", [] { key(Qt::Key_Down); });
    EXPECT_EQ(o.preselected, 7);
    EXPECT_EQ(o.caption, "Party Type");
    EXPECT_EQ(o.expression, "M02.Col61");
}

TEST(FieldPicker, EscAndTheCloseBoxConfirmLikeOk)
{
    TestRoot root(TestRoot::Demo);
    Opening o = open("D1", "", [] { key(Qt::Key_Down); }, [](frmRowSelect *) { key(Qt::Key_Escape); });
    EXPECT_EQ(o.failure, "");
    EXPECT_EQ(o.expression, "M20.RecQty");
    o = open("D1", "M20.ClQty", {}, [](frmRowSelect *p) { p->close(); });
    EXPECT_EQ(o.caption, "Closing Quantity");
    o = open("D1", "M20.IssQty", {}, [](frmRowSelect *p) { QTest::mouseClick(p->cmdOK, Qt::LeftButton); });
    EXPECT_EQ(o.caption, "Issue Quantity");
}

TEST(FieldPicker, WithoutUserFieldsThePartyCataloguesHoldOnlyTheirFixedRows)
{
    TestRoot root(TestRoot::Empty);
    open("RC0", "");
    EXPECT_EQ(frmRowSelect::instance().vfg->rows(), 22);
    open("D0", "");
    EXPECT_EQ(frmRowSelect::instance().vfg->rows(), 19);
}

TEST(FieldPicker, AppendsUserFieldsBehindTheFixedRows)
{
    TestRoot root(TestRoot::Demo);
    root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values ('ColNoName', NULL, 'H', 'C')");
    open("RC0", "");
    EXPECT_EQ(gridRows(22), QStringList({"|ColNoName", "Bags|ColBags", "Batch No|ColBatchNo", "Cartons|ColCartons",
                                         "Freight Amount|ColFreight", "Transport|ColTransport",
                                         "Vehicle No|ColVehicleNo"}));

    Opening o = open("D0", "T52.ColFreight");
    EXPECT_EQ(o.preselected, 21);
    EXPECT_EQ(o.caption, "Freight Amount");
    QStringList user = gridRows(19);
    user.sort();
    EXPECT_EQ(user, QStringList({"Bags|T52.ColBags", "Cartons|T52.ColCartons", "Freight Amount|T52.ColFreight"}));
}

TEST(FieldPicker, TheValueCatalogueGrowsForEveryUserAmountField)
{
    TestRoot root(TestRoot::Demo);
    data::Transaction tx(root.year());
    for (int i = 0; i < 90; ++i)
        root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values (?, ?, 'M', 'N')",
                            {QString("ColAmt%1").arg(i), QString("Amount %1").arg(i)});
    tx.commit();
    Opening o = open("D0", "T52.ColAmt89");
    EXPECT_EQ(frmRowSelect::instance().vfg->rows(), 1 + 18 + 3 + 90);
    EXPECT_EQ(o.caption, "Amount 89");
}

TEST(FieldPicker, ADuplicateExpressionPreselectsItsFirstRow)
{
    TestRoot root(TestRoot::Demo);
    root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values ('M02.Col88', 'AAA Town', 'H', 'C')");
    Opening o = open("RC0", "M02.Col88");
    EXPECT_EQ(o.preselected, 5);
    EXPECT_EQ(o.caption, "City Name");
    EXPECT_EQ(frmRowSelect::instance().vfg->textMatrix(22, 0), "AAA Town");
}

TEST(FieldPicker, AnUnknownSlotCodeKeepsTheCatalogueShownLast)
{
    TestRoot root(TestRoot::Demo);
    open("RC1", "");
    const QStringList product = gridRows();
    Opening o = open("RC9", "M20.Col84");
    EXPECT_EQ(gridRows(), product);
    EXPECT_EQ(o.caption, "Product Type");
}

TEST(FieldPicker, AFailingUserFieldReadIsReportedAndTheFixedRowsStay)
{
    TestRoot root(TestRoot::Demo);
    root.year().execute("Drop Table ZoM35");
    Opening o = open("RC0", "M02.ColSMName");
    EXPECT_EQ(o.caption, "Sales Man");
    EXPECT_EQ(frmRowSelect::instance().vfg->rows(), 22);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("ZoM35"));
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
}
