#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmRepCust.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The tables of the sales reports joined plainly; the companion tables hold one row per key.
const QString Sales = QStringLiteral(
    " FROM ZoT51 T51 LEFT JOIN ZoT52 T52 ON T51.Col99 = T52.Col99 LEFT JOIN ZoM02 M02 ON T51.Col83 = M02.Col99 "
    "LEFT JOIN ZoM20 M20 ON T52.Col96 = M20.Col99 WHERE T52.Col99 <> '' ");

bool finished(frmRepCust &w, int ms = 30000)
{
    return QTest::qWaitFor([&] { return w.cmdPreview->text() == "Preview"; }, ms);
}

bool preview(frmRepCust &w, int ms = 30000)
{
    click(w.cmdPreview);
    return finished(w, ms);
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
    clickCell(w.VSAval, w.VSAval->findRow(code, 0), 3);
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
    const auto lineCount = [&] { return root.value("SELECT count(*)" + Sales).toInt(); };
    const QLocale english(QLocale::English);
    frmRepCust &w = openWizard("CRF4");
    click(w.cmdNext);
    click(w.cmdNext);
    ASSERT_TRUE(preview(w));
    ASSERT_LT(lineCount(), 1000);
    EXPECT_EQ(lines(gridRows(w.VSFPreview)), lines(partyWiseSales(root, 1000)));
    EXPECT_EQ(info(w), str(english.toString(lineCount()) + " of " + english.toString(lineCount()) + " rows in t s"));
    EXPECT_EQ(w.VSFPreview->colWidth(3), 2500); // the report's own widths
    click(w.cmdBack);
    EXPECT_FALSE(w.VSFPreview->isVisible());

    while (lineCount() <= 2500)
        root.year().execute("INSERT INTO ZoT52 SELECT * FROM ZoT52");
    click(w.cmdNext);
    ASSERT_TRUE(preview(w));
    EXPECT_EQ(lines(gridRows(w.VSFPreview)), lines(partyWiseSales(root, 1000)));
    EXPECT_EQ(info(w), str("1,000 of " + english.toString(lineCount()) + " rows in t s"));
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}

TEST(WizardPreview, ALongQueryIsCancelledWithoutHoldingTheWindow)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    // Counting every four-fold combination of voucher lines takes hours.
    root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) Values "
                        "('CF-90', 'Slow', '(Select Count(*) From ZoT52 AS a, ZoT52 AS b, ZoT52 AS c, ZoT52 AS d)', "
                        "'N', 'PWR')");
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

    // Cancelled as soon as it starts, a quick query shows nothing either.
    onlyColumn(w, "CF-1");
    w.cmdPreview->click();
    w.cmdPreview->click();
    ASSERT_TRUE(finished(w, 5000));
    EXPECT_EQ(str(w.lblPreviewInfo->text()), "Preview cancelled.");
    EXPECT_EQ(w.VSFPreview->rows(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());

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
    EXPECT_TRUE(finished(w, 5000));
}

TEST(WizardPreview, AColumnThatDoesNotRunIsReported)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) Values "
                        "('CF-91', 'Broken', 'T52.Col93 +* 2', 'N', 'PWR'), "
                        "('CF-92', 'Unknown', 'T52.Col93 * M20.NoSuchField', 'N', 'PWR')");
    frmRepCust &w = openWizard();
    const std::pair<QString, QString> cases[] = {
        {"CF-91", "Syntax error at position 41: expected a value but found '*'"},
        {"CF-92", "no such column: M20.NoSuchField"}};
    for (const auto &[code, error] : cases) {
        SCOPED_TRACE(str(code));
        onlyColumn(w, code);
        ASSERT_TRUE(preview(w));
        EXPECT_EQ(str(w.lblPreviewInfo->text()), "Preview failed.");
        EXPECT_EQ(lines(FakeMessages::instance().prompts()), str(error));
        ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
        EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
        EXPECT_EQ(w.VSFPreview->rows(), 1);
        FakeMessages::instance().clear();
    }
}
