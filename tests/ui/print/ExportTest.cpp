#include "app/SaveAs.h"
#include "tests/ui/Windows.h"
#include "ui/print/Export.h"
#include <QDate>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Expects the print preview; its page count is read into `pages` before it is closed.
void expectPrintPreview(ModalScript &script, int &pages)
{
    script.expect<QPrintPreviewDialog>([&pages](QPrintPreviewDialog *preview) {
        pages = preview->findChild<QPrintPreviewWidget *>()->pageCount();
        preview->reject();
    });
}

// Opens a stored definition's preview, saves it with each accelerator in turn and prints it.
void exportPreview(const QString &recNo, const QList<Qt::Key> &saves, int &previewPages)
{
    previewPages = -1;
    inPreview(recNo, [&](frmCrossPreview &p, ModalScript &script) {
        for (const Qt::Key save : saves) {
            key(save, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return p.lblExportInfo->text().contains(" to "); }, 10000))
                << p.lblExportInfo->text().toStdString();
            p.lblExportInfo->clear();
        }
        expectPrintPreview(script, previewPages);
        key(Qt::Key_P, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return previewPages >= 0; }, 10000));
        settle(30);
    });
}

QString fileText(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

QString pdfText(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(pdftotext.waitForFinished(20000));
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// Every page holds the heading, the captions and the row headings, and its number.
void expectPages(const QString &text, const QStringList &onEach, int atLeast)
{
    const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
    EXPECT_GE(pages.size(), atLeast);
    const QString printed = "Firm 1, year 1, printed "
                            + QLocale(QLocale::English).toString(QDate::currentDate(), "d MMMM yyyy");
    for (int n = 1; n <= pages.size(); ++n)
        for (const QString &text : onEach + QStringList{printed, QString("Page %1 of %2").arg(n).arg(pages.size())})
            EXPECT_TRUE(pages[n - 1].contains(text)) << str(text) << " on page " << n << ":\n" << str(pages[n - 1]);
}

} // namespace

// The demo's "Party Wise Sales" from the wizard: every line, not only those the preview shows,
// to a CSV file compared whole and to numbered PDF pages with the subtotals and the grand total.
TEST(Export, WritesTheWholeWizardReportAndThePreviewToCsvWorkbookAndPdfAndACancelledOrFailedOneLeavesNoFile)
{
    TestRoot root(TestRoot::Demo);
    QTemporaryDir dir;
    const QString sales = " FROM ZoT51 T51 LEFT JOIN ZoT52 T52 ON T51.Col99 = T52.Col99 LEFT JOIN ZoM02 M02 ON "
                          "T51.Col83 = M02.Col99 LEFT JOIN ZoM20 M20 ON T52.Col96 = M20.Col99 WHERE T52.Col99 <> '' ";
    while (root.value("SELECT count(*)" + sales).toInt() < 1200)
        root.copyRows("ZoT52");
    addCustomColumn(root, "CF-90|Slow|(Select Count(*) From ZoT52 AS a, ZoT52 AS b, ZoT52 AS c, ZoT52 AS d)|N");
    // Files are saved under these names in turn, an empty one standing for the name offered.
    QStringList names{"sales.csv", "sales.pdf", "slow.csv", "", "", "sales.csv", "sales.xlsx", "sales.pdf"}, offered;
    app::setSaveAs([&](const QString &, const QString &name, const QStringList &) {
        offered << name;
        const QString given = names.takeFirst();
        return dir.filePath(given.isEmpty() ? name : given);
    });
    Wizard w("CRF4");
    w.SSTab1->setTab(2);
    for (QPushButton *button : {w.cmdExport, w.cmdPdf}) {
        const QString caption = button->text();
        click(button);
        EXPECT_TRUE(QTest::qWaitFor([&] { return button->text() == caption; }, 30000));
        EXPECT_TRUE(w.lblExportInfo->text().contains(" to ")) << str(w.lblExportInfo->text());
    }
    // Print counts the pages, then previews them from the same report.
    int previewPages = -1;
    {
        ModalScript script; // ends before the windows opened below
        expectPrintPreview(script, previewPages);
        click(w.cmdPrint);
        EXPECT_TRUE(script.finish(30000)) << str(script.failure());
    }
    EXPECT_GE(previewPages, 2);

    // A query that would run for hours stops at Cancel before its first row, and leaves no file.
    w.unload();
    w.open();
    clickCell(w.VSAval, w.VSAval->findRow("CF-90", 0), 3);
    click(w.cmdAdd);
    w.SSTab1->setTab(2);
    click(w.cmdExport);
    settle(300);
    EXPECT_EQ(str(w.cmdExport->text() + "|" + w.lblExportInfo->text()), "Cancel|Writing...");
    click(w.cmdExport);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.cmdExport->text() == "&Export..."; }, 5000));
    EXPECT_EQ(str(w.lblExportInfo->text()), "Export cancelled; no file was written.");
    EXPECT_EQ(lines(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)), lines({"sales.csv", "sales.pdf"}));

    // The file's lines: the sales by party, largest amount first, then product (case ignored, so
    // the keys are in lower case and the amount negated), each party closed by its subtotal.
    QVector<std::tuple<QString, double, QString, QString, QString>> sold;
    for (const auto &row : root.year().select("SELECT M02.Col98, T52.Col93, M20.Col98" + sales).rows)
        sold.push_back({row[0].toString().toLower(), -row[1].toDouble(), row[2].toString().toLower(),
                        row[0].toString(), row[2].toString()});
    std::sort(sold.begin(), sold.end());
    const auto money = [](double value) { return QString::number(value, 'f', 2); };
    QStringList expected{"\xEF\xBB\xBFLine,Cod,Party Name,Amount,Product"};
    double subtotal = 0, sum = 0;
    for (int i = 0, count = 1; i < sold.size(); ++i, ++count) {
        const auto &[key, minus, productKey, party, product] = sold[i];
        expected << ",," + party + "," + money(-minus) + "," + product;
        subtotal -= minus;
        sum -= minus;
        if (i + 1 == sold.size() || std::get<0>(sold[i + 1]) != key) {
            expected << QString("Subtotal 1,Sub Total %1,%2,%3,").arg(party).arg(count).arg(money(subtotal));
            subtotal = count = 0;
        }
    }
    const QString party = std::get<3>(sold.last()), total = money(sum);
    expected << "Grand Total,Grand Total,," + total + "," << "";
    EXPECT_EQ(lines(fileText(dir.filePath("sales.csv")).split("\r\n")), lines(expected));
    const QString pdf = pdfText(dir.filePath("sales.pdf"));
    expectPages(pdf, {"Party Wise Sales", "Party Name", "Amount", "Product"}, 2);
    EXPECT_TRUE(pdf.contains(QRegularExpression("Sub Total " + QRegularExpression::escape(party) + " +\\d+ +\\d+\\.\\d\\d\n"))) << str(pdf);
    EXPECT_TRUE(pdf.contains(QRegularExpression("Grand Total +" + total + "\n"))) << str(pdf);
    w.unload();

    // What the preview shows goes to a CSV file whole and to PDF pages that repeat the heading, the
    // captions and the row headings, set the totals apart and are numbered; a workbook is written too.
    // Over 24 parties, each alone in its city with one sale of i (a credit note for every third): the
    // cities across are wider than a page, the parties grouped by city longer than a page.
    for (const char *table : {"ZoT52", "ZoT51", "ZoM02"})
        root.year().execute(QStringLiteral("Delete From ") + table);
    for (int i = 10; i < 34; ++i) {
        const QString n = QString::number(i);
        root.year().execute("Insert Into ZoM02 (Col99, Col98, Col88, Col95, Col77) Values (?, ?, ?, ?, ?)",
                            {"P" + n, "Party, \"" + n + "\"", "City" + n, i % 2 ? "Creditors" : "Debtors", i + 0.25});
        root.year().execute("Insert Into ZoT51 (Col99, Col98, Col83) Values (?, '2023-06-01', ?)",
                            {"SDC" + n, "P" + n});
        root.year().execute("Insert Into ZoT52 (Col99, ColLineNo, Col96, Col93, Col90) Values (?, 1, 'G1', ?, ?)",
                            {"SDC" + n, i, i % 3 ? QVariant() : QVariant("R")});
    }
    exportPreview("CTR3", {Qt::Key_E, Qt::Key_D}, previewPages);
    EXPECT_EQ(lines(offered.mid(3)), lines({"Party Balances By City.csv", "Party Balances By City.pdf"}));
    EXPECT_EQ(previewPages, 2);
    QString header = "\xEF\xBB\xBFLine,Group Name", creditors = ",Creditors", debtors = ",Debtors",
            totals = "Grand Total,Total";
    for (int i = 10; i < 34; ++i) {
        const QString amount = QString::number(i + 0.25, 'f', 2);
        header += ",City" + QString::number(i);
        creditors += "," + QString(i % 2 ? amount : "");
        debtors += "," + QString(i % 2 ? "" : amount);
        totals += "," + amount;
    }
    EXPECT_EQ(str(fileText(dir.filePath("Party Balances By City.csv"))),
              str(header + ",Total\r\n" + creditors + ",267.00\r\n" + debtors + ",255.00\r\n" + totals + ",522.00\r\n"));
    expectPages(pdfText(dir.filePath("Party Balances By City.pdf")),
                {"Party Balances By City", "Group Name", "Creditors", "Debtors", "Total"}, 2);

    // Grouped: groups, subtotals and texts quoted; a page run split across pages.
    exportPreview("CTR1", {Qt::Key_E, Qt::Key_E, Qt::Key_D}, previewPages);
    app::setSaveAs(nullptr);
    const QStringList csv = fileText(dir.filePath("sales.csv")).split("\r\n");
    EXPECT_EQ(lines(csv.mid(0, 5) + csv.mid(csv.size() - 5)),
              lines({"\xEF\xBB\xBFLine,City Name / Party Name,6,Total", "Group 1,City10,,", ",\"Party, \"\"10\"\"\",10,10",
                     "Subtotal 1,Total City10,10,10", "Group 1,City11,,", "Group 1,City33,,",
                     ",\"Party, \"\"33\"\"\",-33,-33", "Subtotal 1,Total City33,-33,-33",
                     "Grand Total,Grand Total,156,156", ""}));
    EXPECT_TRUE(fileText(dir.filePath("sales.xlsx")).startsWith("PK\x03\x04"));
    expectPages(pdfText(dir.filePath("sales.pdf")), {"Party Sales By Month", "City Name / Party Name"}, 2);
    EXPECT_EQ(takeMessages(), "");

    // A cancelled or failed export leaves no file of its own, and a file it was to replace as it was.
    QTemporaryDir other;
    const QString path = other.filePath("report.csv");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3 && old.flush());
    for (const report::Target target : {report::Target::Csv, report::Target::Xlsx}) {
        report::Progress progress;
        const report::Report lines{{}, [&](report::Sink &sink) {
                                       sink.begin({{"Amount", 1440, Qt::AlignRight, 2}});
                                       for (int i = 0; i < 20000; ++i) {
                                           sink.line({report::Line::Data, 0, {i * 1.5}});
                                           progress.cancelled = i == 10000;
                                       }
                                       sink.end();
                                   }, {}};
        EXPECT_TRUE(report::writeReport(target, path, nullptr, lines, progress).cancelled);
    }
    report::Progress progress;
    const report::Outcome failed = report::writeReport(report::Target::Csv, other.filePath("none/report.csv"), nullptr,
                                                       {{}, [](report::Sink &) {}, {}}, progress);
    EXPECT_EQ(str(failed.error), str("Cannot write in " + other.filePath("none") + ": No such file or directory"));
    EXPECT_EQ(lines(QDir(other.path()).entryList(QDir::Files | QDir::Hidden)), "report.csv");
    EXPECT_EQ(fileText(path), "old");
}
