#include "data/JetSql.h"
#include "tests/ui/Windows.h"
#include "ui/crosstab/Catalogues.h"

namespace {

QString current(Grid *grid, int col) { return grid->textMatrix(grid->row(), col); }

} // namespace

// Every fixed entry runs over the family's source. The picker preselects the box's field in
// whichever catalogue it shows (an unknown slot keeps the last one), finds captions as typed, and
// Enter, Esc, the close box and OK all confirm the current row.
TEST(FieldPicker, OffersTheCataloguePreselectsTheBoxsFieldFindsCaptionsAsTypedAndAppendsUserFields)
{
    TestRoot root(TestRoot::Demo);
    for (const char *slot : {"RC0", "RC1", "RC2", "D0", "D1", "D2"})
        for (const crosstab::CatalogueEntry &e : crosstab::fixedEntries(QLatin1String(slot)))
            EXPECT_NO_THROW(root.year().select(data::translateStatement(
                "SELECT " + e.expression + app::settings().SourceFrom, root.year().engine())))
                << slot << " " << e.caption.toStdString();
    frmRowSelect picker(nullptr);
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
        {"RC2", "M02.Col95", [] { down(); }, {}, "7|M02.Col61|Party Type"},
        {"D1", "", [] { down(); }, esc, "1|M20.RecQty|Receipt Quantity"},
        {"D1", "M20.ClQty", {}, [](frmRowSelect *p) { p->close(); }, "4|M20.ClQty|Closing Quantity"},
        {"D1", "M20.IssQty", {}, [](frmRowSelect *p) { QTest::mouseClick(p->cmdOK, Qt::LeftButton); },
         "3|M20.IssQty|Issue Quantity"},
        {"RC9", "M20.ClQty", {}, {}, "4|M20.ClQty|Closing Quantity"}, // the last catalogue stays
    };
    for (const auto &c : cases) {
        const Opening o = c.confirm ? openPicker(picker, c.slot, c.tag, c.keys, c.confirm)
                                    : openPicker(picker, c.slot, c.tag, c.keys);
        EXPECT_EQ(o.failure, "");
        EXPECT_EQ(QString::number(o.preselected) + "|" + o.expression + "|" + o.caption, c.expected) << c.slot << c.tag;
    }

    QStringList seen;
    const Opening o = openPicker(picker, "RC0", "M20.Col98A", [&] {
        seen << current(picker.vfg, 0); // Product Alias, the box's field
        type("p");                      // the next row starting with P
        seen << current(picker.vfg, 0);
        type("A");                      // "pA" from there on, ignoring case
        seen << current(picker.vfg, 0);
        type("c");                      // "pac" fits nothing: the row stays
        seen << current(picker.vfg, 0);
        QTest::qWait(1100);             // longer than the pause that starts a new search
        type("c");                      // the next C after Party Type
        seen << current(picker.vfg, 0);
        type("i");                      // "ci" wraps round to the top
        seen << current(picker.vfg, 0);
        down();                         // arrows keep their meaning
        seen << current(picker.vfg, 0);
    });
    EXPECT_EQ(o.failure, "");
    EXPECT_EQ(str(seen.join('|')), "Product Alias|Product Group|Party Type|Party Type|Cartons|City Name|Area Name");
    EXPECT_EQ(o.caption + "=" + o.expression, "Area Name=M02.Col86");

    // User fields follow the fixed rows, the value catalogue's past 99 rows; a user field repeating a
    // fixed expression leaves the preselection on the fixed row. A failing read of the user fields
    // is reported and the fixed rows stay.
    root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values ('ColNoName', NULL, 'H', 'C'), "
                        "('M02.Col88', 'AAA Town', 'H', 'C')");
    Opening user = openPicker(picker, "RC0", "M02.Col88");
    EXPECT_EQ(user.preselected, 5);
    EXPECT_EQ(user.caption, "City Name");
    EXPECT_EQ(gridRows(picker.vfg).mid(22),
              QStringList({"|ColNoName", "AAA Town|M02.Col88", "Bags|ColBags", "Batch No|ColBatchNo", "Cartons|ColCartons",
                           "Freight Amount|ColFreight", "Transport|ColTransport", "Vehicle No|ColVehicleNo"}));

    user = openPicker(picker, "D0", "T52.ColFreight");
    EXPECT_EQ(user.preselected, 21);
    EXPECT_EQ(user.caption, "Freight Amount");
    QStringList amounts = gridRows(picker.vfg).mid(19);
    amounts.sort();
    EXPECT_EQ(amounts, QStringList({"Bags|T52.ColBags", "Cartons|T52.ColCartons", "Freight Amount|T52.ColFreight"}));

    data::Transaction tx(root.year());
    for (int i = 0; i < 90; ++i)
        root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values (?, ?, 'M', 'N')",
                            {QString("ColAmt%1").arg(i), QString("Amount %1").arg(i)});
    tx.commit();
    user = openPicker(picker, "D0", "T52.ColAmt89");
    EXPECT_EQ(picker.vfg->rows(), 1 + 18 + 3 + 90);
    EXPECT_EQ(user.caption, "Amount 89");

    root.year().execute("Drop Table ZoM35");
    user = openPicker(picker, "RC0", "M02.ColSMName");
    EXPECT_EQ(user.caption, "Sales Man");
    EXPECT_EQ(picker.vfg->rows(), 22);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("ZoM35", Qt::CaseInsensitive));
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
}
