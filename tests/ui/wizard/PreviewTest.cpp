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

void click(QPushButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
}

frmRepCust &onPreviewPage(const QString &code = {})
{
    frmRepCust &w = openWizard(code);
    click(w.cmdNext);
    click(w.cmdNext);
    return w;
}

bool previewDone(frmRepCust &w, int ms = 30000)
{
    return QTest::qWaitFor([&] { return w.cmdPreview->text() == "Preview"; }, ms);
}

QString english(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
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
    const QString grand = root.value("SELECT printf('%.2f', sum(T52.Col93))" + Sales).toString();
    QStringList expected{"Cod|Party Name|Amount|Product"};
    for (int i = 0; i < sold.size() && i < cap; ++i) {
        expected << sold[i];
        const QString party = sold[i].section('|', 1, 1);
        const bool last = i + 1 == sold.size() || i + 1 == cap;
        if (last || sold[i + 1].section('|', 1, 1) != party)
            expected << subtotal.value(party);
    }
    expected << "Grand Total||" + grand + "|";
    return expected;
}

} // namespace

TEST(WizardPreview, ShowsTheSavedReportsRowsWithSubtotalsAndGrandTotal)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = onPreviewPage("CRF4");
    ASSERT_EQ(w.SSTab1->tab(), 2);
    EXPECT_TRUE(w.VSFPreview->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.cmdPreview);

    click(w.cmdPreview);
    ASSERT_TRUE(previewDone(w));
    const QStringList expected = partyWiseSales(root, 1000000);
    const int lineCount = root.value("SELECT count(*)" + Sales).toInt();
    ASSERT_LT(lineCount, 1000); // the whole year is shown
    EXPECT_EQ(lines(gridRows(w.VSFPreview)), lines(expected));
    EXPECT_TRUE(QRegularExpression("^" + english(lineCount) + " of " + english(lineCount) + " rows in \\d+\\.\\d\\d s$")
                    .match(w.lblPreviewInfo->text())
                    .hasMatch())
        << str(w.lblPreviewInfo->text());
    EXPECT_EQ(w.VSFPreview->colWidth(3), 2500); // the report's own widths
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());

    // Leaving the page hides the preview again.
    click(w.cmdBack);
    EXPECT_FALSE(w.VSFPreview->isVisible());
    EXPECT_FALSE(w.cmdPreview->isVisible());
    w.unload();
}

TEST(WizardPreview, ListsTheFirstThousandLinesAndTotalsThemAll)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    while (root.value("SELECT count(*)" + Sales).toInt() <= 2500)
        root.year().execute("INSERT INTO ZoT52 SELECT * FROM ZoT52");
    const int lineCount = root.value("SELECT count(*)" + Sales).toInt();
    frmRepCust &w = onPreviewPage("CRF4");

    click(w.cmdPreview);
    ASSERT_TRUE(previewDone(w));
    const QStringList shown = gridRows(w.VSFPreview);
    EXPECT_EQ(shown.filter(QRegularExpression("^\\|")).size(), 1000);
    EXPECT_EQ(lines(shown), lines(partyWiseSales(root, 1000)));
    EXPECT_TRUE(QRegularExpression("^1,000 of " + english(lineCount) + " rows in \\d+\\.\\d\\d s$")
                    .match(w.lblPreviewInfo->text())
                    .hasMatch())
        << str(w.lblPreviewInfo->text());
    w.unload();
}

TEST(WizardPreview, ALongQueryIsCancelledWithoutHoldingTheWindow)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    // Counting every four-fold combination of voucher lines takes hours.
    root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) Values "
                        "('CF-90', 'Slow', '(Select Count(*) From ZoT52 AS a, ZoT52 AS b, ZoT52 AS c, ZoT52 AS d)', "
                        "'N', 'PWR')");
    frmRepCust &w = openWizard();
    clickCell(w.VSAval, w.VSAval->findRow("CF-90", 0), 3);
    click(w.cmdAdd);
    click(w.cmdNext);
    click(w.cmdNext);

    click(w.cmdPreview);
    EXPECT_EQ(w.cmdPreview->text(), "Cancel");
    EXPECT_EQ(w.lblPreviewInfo->text(), "Running...");
    // The window keeps handling events while the query runs.
    QElapsedTimer clock;
    clock.start();
    settle(300);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(w.cmdPreview->text(), "Cancel");
    click(w.cmdPreview);
    EXPECT_EQ(w.lblPreviewInfo->text(), "Cancelling...");
    ASSERT_TRUE(previewDone(w, 5000));
    EXPECT_EQ(w.lblPreviewInfo->text(), "Preview cancelled.");
    EXPECT_EQ(lines(gridRows(w.VSFPreview)), lines(QStringList{"Cod|Slow"}));
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());

    // Cancelled as soon as it starts, a quick query shows nothing either.
    w.SSTab1->setTab(0);
    clickCell(w.VSSelectedFld, 1, 3);
    click(w.cmdRemove);
    clickCell(w.VSAval, w.VSAval->findRow("CF-1", 0), 3);
    click(w.cmdAdd);
    w.SSTab1->setTab(2);
    w.cmdPreview->click();
    w.cmdPreview->click();
    ASSERT_TRUE(previewDone(w, 5000));
    EXPECT_EQ(w.lblPreviewInfo->text(), "Preview cancelled.");
    EXPECT_EQ(w.VSFPreview->rows(), 1);

    // Closing the window stops a running preview.
    w.SSTab1->setTab(0);
    clickCell(w.VSAval, w.VSAval->findRow("CF-90", 0), 3);
    click(w.cmdAdd);
    w.SSTab1->setTab(2);
    click(w.cmdPreview);
    EXPECT_EQ(w.cmdPreview->text(), "Cancel");
    clock.restart();
    click(w.cmdCancel);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(w.isVisible());
    settle(50);
}

TEST(WizardPreview, AColumnThatDoesNotRunIsReported)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) Values "
                        "('CF-91', 'Broken', 'T52.Col93 +* 2', 'N', 'PWR'), "
                        "('CF-92', 'Unknown', 'T52.Col93 * M20.NoSuchField', 'N', 'PWR')");
    frmRepCust &w = openWizard();
    clickCell(w.VSAval, w.VSAval->findRow("CF-91", 0), 3);
    click(w.cmdAdd);
    click(w.cmdNext);
    click(w.cmdNext);
    click(w.cmdPreview);
    ASSERT_TRUE(previewDone(w));
    EXPECT_EQ(w.lblPreviewInfo->text(), "Preview failed.");
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.startsWith("Syntax error at position "))
        << str(FakeMessages::instance().shown[0].prompt);
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);

    FakeMessages::instance().clear();
    w.SSTab1->setTab(0);
    clickCell(w.VSSelectedFld, 1, 3);
    click(w.cmdRemove);
    clickCell(w.VSAval, w.VSAval->findRow("CF-92", 0), 3);
    click(w.cmdAdd);
    w.SSTab1->setTab(2);
    click(w.cmdPreview);
    ASSERT_TRUE(previewDone(w));
    EXPECT_EQ(w.lblPreviewInfo->text(), "Preview failed.");
    EXPECT_EQ(FakeMessages::instance().prompts(), QStringList{"no such column: M20.NoSuchField"});
    EXPECT_EQ(w.VSFPreview->rows(), 1);
    w.unload();
}
