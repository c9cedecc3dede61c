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
        const Opening o = c.confirm ? open(c.slot, c.tag, c.keys, c.confirm) : open(c.slot, c.tag, c.keys);
        EXPECT_EQ(o.failure, "");
        EXPECT_EQ(QString::number(o.preselected) + "|" + o.expression + "|" + o.caption, c.expected) << c.slot << c.tag;
    }
}

TEST(FieldPicker, WithoutUserFieldsShowsTheFixedRowsAndAnUnknownCodeKeepsTheLastCatalogue)
{
    TestRoot root(TestRoot::Empty);
    open("RC0", "");
    EXPECT_EQ(frmRowSelect::instance().vfg->rows(), 22);
    open("D0", "");
    EXPECT_EQ(frmRowSelect::instance().vfg->rows(), 19);
    open("RC1", "");
    const QStringList product = gridRows();
    Opening o = open("RC9", "M20.Col84");
    EXPECT_EQ(gridRows(), product);
    EXPECT_EQ(o.caption, "Product Type");
}

// User fields follow the fixed rows; a user field repeating a fixed expression leaves the
// preselection on the fixed row.
TEST(FieldPicker, AppendsUserFieldsBehindTheFixedRows)
{
    TestRoot root(TestRoot::Demo);
    root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values ('ColNoName', NULL, 'H', 'C'), "
                        "('M02.Col88', 'AAA Town', 'H', 'C')");
    Opening o = open("RC0", "M02.Col88");
    EXPECT_EQ(o.preselected, 5);
    EXPECT_EQ(o.caption, "City Name");
    EXPECT_EQ(gridRows(22), QStringList({"|ColNoName", "AAA Town|M02.Col88", "Bags|ColBags", "Batch No|ColBatchNo",
                                         "Cartons|ColCartons", "Freight Amount|ColFreight", "Transport|ColTransport",
                                         "Vehicle No|ColVehicleNo"}));

    o = open("D0", "T52.ColFreight");
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
