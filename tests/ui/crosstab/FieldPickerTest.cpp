#include "data/JetSql.h"
#include "tests/ui/Windows.h"
#include "ui/crosstab/Catalogues.h"

namespace {

QString current(Grid *grid, int col) { return grid->textMatrix(grid->row(), col); }
// "preselected row|expression|caption" of an opening, after what went wrong in it.
std::string seen(const Opening &p) { return str(QString("%1|%2|%3").arg(p.preselected).arg(p.expression, p.caption)); }

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
        const char *expected; // "preselected row|expression|caption"
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
        EXPECT_EQ(seen(o), c.expected) << c.slot << c.tag;
    }

    QStringList rows;
    const Opening o = openPicker(picker, "RC0", "M20.Col98A", [&] {
        rows << current(picker.vfg, 0); // Product Alias, the box's field
        type("p");                      // the next row starting with P
        rows << current(picker.vfg, 0);
        type("A");                      // "pA" from there on, ignoring case
        rows << current(picker.vfg, 0);
        type("c");                      // "pac" fits nothing: the row stays
        rows << current(picker.vfg, 0);
        QTest::qWait(1100);             // longer than the pause that starts a new search
        type("c");                      // the next C after Party Type
        rows << current(picker.vfg, 0);
        type("i");                      // "ci" wraps round to the top
        rows << current(picker.vfg, 0);
        down();                         // arrows keep their meaning
        rows << current(picker.vfg, 0);
    });
    EXPECT_EQ(str(rows.join('|')), "Product Alias|Product Group|Party Type|Party Type|Cartons|City Name|Area Name");
    EXPECT_EQ(seen(o), "10|M02.Col86|Area Name");

    // User fields follow the fixed rows, the value catalogue's past 99 rows; a user field repeating a
    // fixed expression leaves the preselection on the fixed row. A failing read of the user fields
    // is reported and the fixed rows stay.
    root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values ('ColNoName', NULL, 'H', 'C'), "
                        "('M02.Col88', 'AAA Town', 'H', 'C')");
    EXPECT_EQ(seen(openPicker(picker, "RC0", "M02.Col88")), "5|M02.Col88|City Name");
    EXPECT_EQ(gridRows(picker.vfg).mid(22),
              QStringList({"|ColNoName", "AAA Town|M02.Col88", "Bags|ColBags", "Batch No|ColBatchNo", "Cartons|ColCartons",
                           "Freight Amount|ColFreight", "Transport|ColTransport", "Vehicle No|ColVehicleNo"}));

    EXPECT_EQ(seen(openPicker(picker, "D0", "T52.ColFreight")), "21|T52.ColFreight|Freight Amount");
    QStringList amounts = gridRows(picker.vfg).mid(19);
    amounts.sort();
    EXPECT_EQ(amounts, QStringList({"Bags|T52.ColBags", "Cartons|T52.ColCartons", "Freight Amount|T52.ColFreight"}));

    data::Transaction tx(root.year());
    for (int i = 0; i < 90; ++i)
        root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values (?, ?, 'M', 'N')",
                            {QString("ColAmt%1").arg(i), QString("Amount %1").arg(i)});
    tx.commit();
    const Opening amount = openPicker(picker, "D0", "T52.ColAmt89"); // its row differs by engine
    EXPECT_EQ(str(amount.expression + "|" + amount.caption), "T52.ColAmt89|Amount 89");
    EXPECT_EQ(picker.vfg->rows(), 1 + 18 + 3 + 90);

    root.year().execute("Drop Table ZoM35");
    EXPECT_EQ(seen(openPicker(picker, "RC0", "M02.ColSMName")), "21|M02.ColSMName|Sales Man");
    EXPECT_EQ(picker.vfg->rows(), 22);
    EXPECT_EQ(takeMessages(), str("!" + noSuchTable("ZoM35")));
}
