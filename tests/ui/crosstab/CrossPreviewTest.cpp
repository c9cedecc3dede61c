#include "tests/ui/Windows.h"

namespace {

// A small year in place of the demo's vouchers and masters, so each preview is known whole.
// Party P3 has no voucher; tea (G1) has three voucher lines; PDD1 is a purchase.
void smallYear(data::Connection &year)
{
    for (const char *table : {"ZoT52", "ZoT51", "ZoM20", "ZoM02"})
        year.execute(QStringLiteral("Delete From ") + table);
    year.execute("Insert Into ZoM02 (Col99, Col98, Col88, Col95, Col77) Values ('P1', 'Anand', 'Pune', 'Debtors', "
                 "100.5), ('P2', 'Bharat', 'Nagpur', 'Debtors', -40), ('P3', 'Chetan', 'Pune', 'Creditors', 7)");
    year.execute("Insert Into ZoM20 (Col99, ColExcPNameNew, Col88, ClQty) Values ('G1', 'TEA', 'Beverages', 20), "
                 "('S1', 'SUGAR', 'Grocery', 40)");
    year.execute("Insert Into ZoT51 (Col99, Col98, Col83) Values ('SDC1', '2023-04-05', 'P1'), "
                 "('SCD1', '2023-05-20', 'P1'), ('SDC2', '2023-05-01', 'P2'), ('PDD1', '2023-04-10', 'P2')");
    year.execute("Insert Into ZoT52 (Col99, ColLineNo, Col96, Col93, Col90) Values ('SDC1', 1, 'G1', 100, NULL), "
                 "('SDC1', 2, 'S1', 50, NULL), ('SCD1', 1, 'G1', 30, 'R'), ('SDC2', 1, 'G1', 25.5, NULL), "
                 "('PDD1', 1, 'S1', 999, NULL)");
}

// Opens a stored definition, presses Alt+V and reads the preview: its fields line, then its rows.
QStringList previewOf(const QString &recNo)
{
    QStringList shown;
    inPreview(recNo, [&](frmCrossPreview &p, ModalScript &) {
        shown = QStringList{p.lblFields->text()} + gridRows(p.vfgPreview);
    });
    return shown;
}

} // namespace

// The demo's stored definitions over the small year. The ledgers count each master row once,
// however many voucher lines it has, and only masters that have voucher lines.
TEST(CrossPreview, ShowsTheSumsOfEachReportType)
{
    TestRoot root(TestRoot::Demo);
    smallYear(root.year());
    EXPECT_EQ(lines(previewOf("CTR1")),
              lines({"Rows: Party Name    Columns: Month Name    Sum of: Net Sale Amount    Grouped by: City Name",
                     "City Name / Party Name|4|5|Total", "Nagpur|||", "    Bharat|0.00|25.50|25.50",
                     "    Total Nagpur|0.00|25.50|25.50", "Pune|||", "    Anand|150.00|-30.00|120.00",
                     "    Total Pune|150.00|-30.00|120.00", "Grand Total|150.00|-4.50|145.50"}));
    EXPECT_EQ(lines(previewOf("CTR2")),
              lines({"Rows: Product Name (Print)    Columns: Product Group    Sum of: Closing Quantity",
                     "Product Name (Print)|Beverages|Grocery|Total", "SUGAR||40|40", "TEA|20||20", "Total|20|40|60"}));
    EXPECT_EQ(lines(previewOf("CTR3")),
              lines({"Rows: Group Name    Columns: City Name    Sum of: Closing Amount", "Group Name|Nagpur|Pune|Total",
                     "Debtors|-40.00|100.50|60.50", "Total|-40.00|100.50|60.50"}));
}

// Headings in the order of their values' type. An incomplete definition gets a message instead
// of a preview; a preview leaves the focus where it was, and closed while it reads, stops its query.
TEST(CrossPreview, OrdersHeadingsChecksTheFieldsKeepsTheFocusAndStopsWhenClosed)
{
    data::RowSet rows;
    for (const QVariant &v : {QVariant("01/02/2024"), QVariant("01/04/2023"), QVariant(10), QVariant("9"),
                              QVariant("beta"), QVariant("Gamma"), QVariant("alpha"), QVariant()})
        rows.rows.push_back({"r", v, 1});
    EXPECT_EQ(crosstab::makePivot(rows, false).columns.join('|'), "|9|10|01/04/2023|01/02/2024|alpha|beta|Gamma");

    TestRoot root(TestRoot::Demo);
    DesignerScript d;
    d.entry(0, "", [&](SelectionScreen &s) {
        key(Qt::Key_V, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([] { return !FakeMessages::instance().shown.isEmpty(); }, 2000));
        s.chkGrouping->setChecked(true);
        s.txtRowData->tag = "M02.Col98";
        QTest::mouseClick(s.cmdPreview, Qt::LeftButton);
        s.cmdCancel_Click();
    });
    QStringList shown;
    for (const app::Message &m : FakeMessages::instance().shown) {
        EXPECT_EQ(m.icon, app::Icon::Exclamation);
        EXPECT_EQ(m.title, "Preview");
        shown << m.prompt;
    }
    EXPECT_EQ(lines(shown), lines({"Pick a field for Row Data, Col Data, Disp Data before the preview.",
                                   "Pick a field for Col Data, Disp Data, Group Field before the preview."}));
    EXPECT_FALSE(d.window.preview->isVisible());

    // The button stays out of the focus walk and the focus stays put.
    d.entry(1, "CTR2", [&](SelectionScreen &s) {
        s.cmdCancel->setFocus();
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), s.txtReportName);
        d.pick([&] { QTest::mouseClick(s.txtRowData, Qt::LeftButton); });
        ASSERT_EQ(QApplication::focusWidget(), s.txtRowData);

        // Clicked with the mouse, the preview opens and closes without the box asking for
        // the picker again (the script fails on a picker it does not expect).
        bool ran = false;
        d.script.expect<frmCrossPreview>([&](frmCrossPreview *p) {
            EXPECT_EQ(p->vfgPreview->textMatrix(0, 0), "Product Name (Print)");
            QTest::mouseClick(p->cmdClose, Qt::LeftButton);
            ran = true;
        });
        QTest::mouseClick(s.cmdPreview, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ran && !s.preview->isVisible(); }, 5000));
        settle(50);
        EXPECT_EQ(QApplication::focusWidget(), s.txtRowData);
        EXPECT_FALSE(s.picker->isVisible());
        s.cmdCancel_Click();
    });

    FakeMessages::instance().clear();
    d.entry(0, "", [&](SelectionScreen &s) {
        s.txtRowData->tag = "M02.Col98";
        s.txtColData->tag = "M02.Col88";
        // Counting every four-fold combination of voucher lines takes hours.
        s.txtDispData->tag = "(Select Count(*) From ZoT52 AS a, ZoT52 AS b, ZoT52 AS c, ZoT52 AS d)";
        QElapsedTimer clock;
        d.script.expect<frmCrossPreview>([&](frmCrossPreview *p) {
            EXPECT_TRUE(p->prgPivot->isVisible());
            clock.start();
            settle(300);
            EXPECT_LT(clock.elapsed(), 2000) << "the window handles events while the query runs";
            clock.restart();
            QTest::mouseClick(p->cmdClose, Qt::LeftButton);
        });
        QTest::mouseClick(s.cmdPreview, Qt::LeftButton);
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_FALSE(d.window.preview->isVisible());
        s.cmdCancel_Click();
    });
    EXPECT_EQ(FakeMessages::instance().shown.size(), 0);
}
