#include "data/JetSql.h"
#include "tests/ui/Windows.h"
#include "ui/wizard/Preview.h"
#include <QLocale>

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
    return QTest::qWaitFor([&] { return w.cmdPreview->text() == "Pre&view"; }, ms);
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

// Lines as a sink receives them, as the preview grid shows them, and which of them a preview of
// the first `cap` rows shows: those rows and the subtotals of the groups they start.
class Collect : public report::Sink {
public:
    explicit Collect(int cap = 0) : cap_(cap) {}
    void begin(const QVector<report::Column> &columns) override { columns_ = columns; }
    void line(const report::Line &line) override
    {
        const QString text = lineTexts(line, columns_).join('|');
        lines << text;
        if (line.kind == report::Line::Subtotal) {
            subtotals << text;
            if (start_.value(line.level, 0) < cap_)
                firstRows << text;
            for (int level = line.level; level < 8; ++level)
                start_[level] = data_;
        } else {
            if (line.kind == report::Line::GrandTotal || data_ < cap_)
                firstRows << text;
            data_ += line.kind == report::Line::Data;
        }
    }
    void end() override { ended = true; }
    QStringList lines, subtotals, firstRows;
    bool ended = false;

private:
    QVector<report::Column> columns_;
    int cap_, data_ = 0;
    QVector<int> start_ = QVector<int>(8, 0);
};

// Figures the engine computes, asked for in the stored dialect so that they read the same on
// either engine; the values themselves come from SQL both engines run, in a subquery.
QStringList figures(TestRoot &root, const QString &jet)
{
    return root.rows(data::translateStatement(jet, root.year().engine()));
}

QStringList rowsOf(const PreviewResult &p)
{
    QStringList out;
    for (const QStringList &row : p.rows)
        out << row.join('|');
    return out;
}

} // namespace

// The window shows what the preview routine computes (its figures are checked below), off its
// thread, and says how many rows it read; pressed again it cancels, and a failure is reported.
TEST(WizardPreview, ListsTheFirstThousandLinesWithSubtotalsTotalsThemAllAndCanBeCancelled)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    while (root.value("SELECT count(*)" + Sales).toInt() < 2500)
        root.copyRows("ZoT52");
    Wizard w("CRF4"); // party (grouped, counted), amount (total, grand total), product
    w.SSTab1->setTab(2);
    ASSERT_TRUE(preview(w));
    const ReportQuery crf4 = reportQuery(cells({"M02|Col98|C|Party Name|L|2000|0|A|N|N|Y|N",
                                                   "T52|Col93|N|Amount|R|1500|2|N|D|Y|N|Y",
                                                   "M20|Col98|C|Product|L|2500|0|N|A|N|N|N"}),
                                         app::settings().SourceFrom, root.year().engine());
    EXPECT_EQ(lines(gridRows(w.VSFPreview)),
              lines(QStringList{"Cod|Party Name|Amount|Product"} + rowsOf(runPreview(root.year(), crf4, 1000))));
    EXPECT_EQ(str(w.lblPreviewInfo->text().remove(QRegularExpression(" in .*"))),
              str("1,000 of " + QLocale(QLocale::English).toString(root.value("SELECT count(*)" + Sales).toInt()) +
                  " rows"));
    EXPECT_EQ(w.VSFPreview->colWidth(3), 2500); // the report's own widths
    EXPECT_FALSE(w.prgPreview->isVisible());
    EXPECT_EQ(takeMessages(), "");

    // A running query can be cancelled and a failing one is reported.
    // Counting every four-fold combination of voucher lines takes hours.
    for (const QString row : {"CF-90|Slow|(Select Count(*) From ZoT52 AS a, ZoT52 AS b, ZoT52 AS c, ZoT52 AS d)|N",
                              "CF-91|Broken|T52.Col93 +* 2|N", "CF-92|Unknown|T52.Col93 * M20.NoSuchField|N"})
        addCustomColumn(root, row);
    w.open();
    onlyColumn(w, "CF-90");
    click(w.cmdPreview);
    EXPECT_EQ(str(w.cmdPreview->text() + "|" + w.lblPreviewInfo->text()), "Cancel|Running...");
    EXPECT_TRUE(w.prgPreview->isVisible());
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
        {"CF-91", "Preview failed.|1|!Column \"Broken\": Syntax error at position 12: expected a value but found '*'"},
        {"CF-92", "Preview failed.|1|!" + noSuchColumn("M20.NoSuchField")}};
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

    // Closing the window stops a running preview at once.
    onlyColumn(w, "CF-90");
    click(w.cmdPreview);
    clock.restart();
    click(w.cmdCancel);
    EXPECT_LT(clock.elapsed(), 3000);
}

// Each report's totals against the same figures computed by the engine; the preview of the first
// rows, which leaves the rest to the engine, against the whole report streamed row by row.
TEST(WizardPreview, TotalsAreThoseOfTheValuesAsTheEngineComputesThem)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const QString from = app::settings().SourceFrom;
    // Grid cells: alias, field, type, caption, alignment, width, decimals, grouping, sorting,
    // total, count, grand total. "CF-" columns are formulas.
    struct Case {
        const char *name;
        QStringList columns;
        QString grandTotal; // the engine's figures, after "Grand Total|"
    };
    const QString perLine =
        " FROM (SELECT CAST(round(T52.Col93 * 100) AS INTEGER) AS c, CASE WHEN lower(substr(M02.Col98, 1, 1)) IN "
        "('a', 'b') THEN T52.Col93 ELSE 0 END AS ab, CASE WHEN T51.Col98 >= '2023-05-02' THEN 1 ELSE 0 END AS late, "
        "CASE WHEN T52.Col93 > 1000 THEN NULL ELSE T52.Col93 END AS small" + Sales + ") AS v";
    const Case cases[] = {
        {"weights at 0 decimals and amounts at 2",
         {"T51|Col99|C|Voucher|L|1000|0|N|A|N|N|N", "T52|Col95|N|Weight|R|900|0|N|N|N|N|Y",
          "T52|Col93|N|Amount|R|900|2|N|N|N|N|Y"},
         "SELECT '|' & Format(Sum(T52.Col95), '0.') & '|' & Format(Sum(T52.Col93), '0.00')"},
        {"formatted formulas with thousands separators, rounding to even, a count of text",
         {"CF-1|Format(T52.Col93 * 100, '#,##0.00')|N|Big|R|900|2|N|D|N|N|Y",
          "CF-2|Round(T52.Col93 / 8, 2)|N|Eighth|R|900|3|N|N|N|N|Y", "M20|Col98|C|Product|L|900|0|N|A|N|N|Y"},
         "SELECT Format(Sum(c), '0.00') & '|' & Format(Sum(c \\ 8 + IIf(c Mod 8 > 4, 1, 0) + IIf(c Mod 8 = 4 And "
         "(c \\ 8) Mod 2 = 1, 1, 0)) / 100, '0.000') & '|' & Count(*)" + perLine},
        {"text conditions on computed values, dates and nulls",
         {"CF-3|IIf(Left(M02.Col98, 1) & 'x' In ('AX', 'bx'), T52.Col93, 0)|N|A or B|R|900|2|N|N|N|N|Y",
          "CF-4|IIf(T51.Col98 + 30 >= #6/1/2023#, 1, 0)|N|Late|R|900|0|N|N|N|N|Y",
          "CF-5|IIf(T52.Col93 > 1000, Null, T52.Col93)|N|Small|R|900|2|N|N|N|N|Y"},
         "SELECT Format(Sum(ab), '0.00') & '|' & Sum(late) & '.|' & Format(Sum(small), '0.00')" + perLine},
        {"two grouped columns",
         {"M02|Col98|C|Party|L|900|0|A|N|N|Y|N", "M20|Col98|C|Product|L|900|0|D|N|N|Y|Y",
          "T52|Col93|N|Amount|R|900|2|N|D|Y|N|Y"},
         "SELECT '|' & Count(*) & '|' & Format(Sum(T52.Col93), '0.00')"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportQuery query = reportQuery(cells(c.columns), from, root.year().engine());
        Collect whole(7);
        qint64 progressed = 0;
        const qint64 count = streamReport(root.year(), query, whole, [&](qint64 n) { progressed = n; });
        EXPECT_TRUE(whole.ended);
        EXPECT_EQ(progressed, count);
        EXPECT_EQ(count, root.value("SELECT count(*)" + Sales).toLongLong());
        const QString tables = c.grandTotal.contains(" FROM ") ? QString() : Sales;
        EXPECT_EQ(str(whole.lines.last()), str("Grand Total|" + figures(root, c.grandTotal + tables).join("|")));
        const PreviewResult first = runPreview(root.year(), query, 7);
        EXPECT_EQ(first.dataRows, count);
        EXPECT_EQ(lines(rowsOf(first)), lines(whole.firstRows));
    }

    // Subtotals at both levels, the inner first, each labelled with its group.
    const ReportQuery query = reportQuery(cells(cases[3].columns), from, root.year().engine());
    Collect whole;
    streamReport(root.year(), query, whole);
    const QString counts = ", Count(*), Count(*), Format(Sum(T52.Col93), '0.00')" + Sales + "GROUP BY M02.Col98";
    QHash<QString, QString> partyTotals;
    for (const QString &row : figures(root, "SELECT M02.Col98, 'Sub Total ' & M02.Col98" + counts))
        partyTotals.insert(row.section('|', 0, 0), row.section('|', 1));
    QStringList expected;
    QString party;
    for (const QString &row :
         figures(root, "SELECT M02.Col98, 'Sub Total ' & M20.Col98" + counts + ", M20.Col98 ORDER BY M02.Col98, M20.Col98 DESC")) {
        if (party != row.section('|', 0, 0) && !party.isEmpty())
            expected << partyTotals.value(party);
        party = row.section('|', 0, 0);
        expected << row.section('|', 1);
    }
    EXPECT_EQ(lines(whole.subtotals.mid(0, expected.size())), lines(expected));
}
