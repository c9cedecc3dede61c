#include "ui/wizard/WizardUi.h"
#include <QElapsedTimer>
#include <QLocale>
#include <QMap>
#include <QRegularExpression>

namespace {

// The tables of the sales reports joined plainly; the companion tables hold one row per key.
const QString Sales = QStringLiteral(
    " FROM ZoT51 T51 LEFT JOIN ZoT52 T52 ON T51.Col99 = T52.Col99 LEFT JOIN ZoM02 M02 ON T51.Col83 = M02.Col99 "
    "LEFT JOIN ZoM20 M20 ON T52.Col96 = M20.Col99 WHERE T52.Col99 <> '' ");

// Presses Preview, or Cancel while it runs, and waits until it is Preview again.
bool preview(frmRepCust &w, int ms = 30000, bool press = true)
{
    if (press)
        click(w.cmdPreview);
    return QTest::qWaitFor([&] { return w.cmdPreview->text() == "Preview"; }, ms);
}

// The rows and time of the last preview, the time blanked.
std::string info(frmRepCust &w)
{
    return str(w.lblPreviewInfo->text().replace(QRegularExpression("in \\d+\\.\\d\\d s$"), "in t s"));
}

// Selects the one column and turns to the preview page.
void onlyColumn(frmRepCust &w, const QString &code)
{
    w.SSTab1->setTab(0);
    click(w.cmdRemove);
    clickCell(w.VSAval, w.VSAval->findRow(code, C::TabName), C::Caption);
    click(w.cmdAdd);
    w.SSTab1->setTab(2);
}

// "Party Wise Sales" (CRF4) computed from the tables: lines by party, amount descending, product;
// a subtotal (count of lines, sum of amounts) after each party shown; the grand total of amounts.
// Only the first `cap` lines are listed, but every figure covers all of them.
QStringList partyWiseSales(TestRoot &root, int cap)
{
    const QStringList sold = root.rows("SELECT '', M02.Col98, printf('%.2f', T52.Col93), M20.Col98" + Sales
                                       + "ORDER BY M02.Col98, T52.Col93 DESC, M20.Col98");
    QMap<QString, QString> subtotal;
    for (const QString &row : root.rows("SELECT M02.Col98, count(*), printf('%.2f', sum(T52.Col93))" + Sales
                                        + "GROUP BY M02.Col98")) {
        const QStringList cells = row.split('|');
        subtotal[cells[0]] = "Sub Total|" + cells[1] + "|" + cells[2] + "|";
    }
    QStringList expected{"Cod|Party Name|Amount|Product"};
    for (int i = 0; i < sold.size() && i < cap; ++i) {
        expected << sold[i];
        const QString party = sold[i].section('|', 1, 1);
        if (i + 1 == sold.size() || i + 1 == cap || sold[i + 1].section('|', 1, 1) != party)
            expected << subtotal.value(party);
    }
    return expected << "Grand Total||" + root.value("SELECT printf('%.2f', sum(T52.Col93))" + Sales).toString() + "|";
}

} // namespace

TEST(WizardPreview, ListsTheFirstThousandLinesWithSubtotalsAndTotalsThemAll)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const QLocale english(QLocale::English);
    frmRepCust &w = openWizard("CRF4");
    click(w.cmdNext);
    for (const int atLeast : {0, 2500}) {
        SCOPED_TRACE(atLeast);
        while (root.value("SELECT count(*)" + Sales).toInt() < atLeast)
            root.year().execute("INSERT INTO ZoT52 SELECT * FROM ZoT52");
        const int count = root.value("SELECT count(*)" + Sales).toInt();
        click(w.cmdNext);
        ASSERT_TRUE(preview(w));
        EXPECT_EQ(lines(gridRows(w.VSFPreview)), lines(partyWiseSales(root, 1000)));
        EXPECT_EQ(info(w),
                  str(english.toString(qMin(count, 1000)) + " of " + english.toString(count) + " rows in t s"));
        EXPECT_EQ(w.VSFPreview->colWidth(3), 2500); // the report's own widths
        click(w.cmdBack);
    }
    EXPECT_EQ(takeMessages(), "");
}

TEST(WizardPreview, ARunningQueryCanBeCancelledAndAFailingOneIsReported)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    // Counting every four-fold combination of voucher lines takes hours.
    for (const QString row : {"CF-90|Slow|(Select Count(*) From ZoT52 AS a, ZoT52 AS b, ZoT52 AS c, ZoT52 AS d)|N",
                              "CF-91|Broken|T52.Col93 +* 2|N", "CF-92|Unknown|T52.Col93 * M20.NoSuchField|N"})
        addCustomColumn(root, row);
    frmRepCust &w = openWizard();
    onlyColumn(w, "CF-90");
    click(w.cmdPreview);
    EXPECT_EQ(str(w.cmdPreview->text() + "|" + w.lblPreviewInfo->text()), "Cancel|Running...");
    QElapsedTimer clock;
    clock.start();
    settle(300);
    EXPECT_LT(clock.elapsed(), 2000) << "the window handles events while the query runs";
    EXPECT_TRUE(preview(w, 5000)); // pressed again, it cancels
    EXPECT_EQ(str(w.lblPreviewInfo->text()), "Preview cancelled.");
    EXPECT_EQ(lines(gridRows(w.VSFPreview)), "Cod|Slow");

    // The state, the rows left and the messages after each preview.
    const std::pair<QString, QString> cases[] = {
        {"CF-1", "Preview cancelled.|1|"}, // cancelled as soon as it starts
        {"CF-91", "Preview failed.|1|!Syntax error at position 41: expected a value but found '*'"},
        {"CF-92", "Preview failed.|1|!no such column: M20.NoSuchField"}};
    for (const auto &[code, outcome] : cases) {
        SCOPED_TRACE(str(code));
        onlyColumn(w, code);
        w.cmdPreview->click();
        if (code == "CF-1")
            w.cmdPreview->click();
        ASSERT_TRUE(preview(w, 5000, false));
        EXPECT_EQ(str(w.lblPreviewInfo->text() + "|" + QString::number(w.VSFPreview->rows()) + "|") + takeMessages(),
                  str(outcome));
    }

    // Closing the window stops a running preview.
    onlyColumn(w, "CF-90");
    click(w.cmdPreview);
    clock.restart();
    click(w.cmdCancel);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(w.isVisible());
    openWizard();
    onlyColumn(w, "CF-1");
    click(w.cmdPreview);
    EXPECT_EQ(str(w.lblPreviewInfo->text()), "Running...") << "no earlier preview is left to cancel";
    EXPECT_TRUE(preview(w, 5000, false));
}
