#include "app/Module1.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "tests/ui/crosstab/DesignerScript.h"
#include "ui/crosstab/CrossPivot.h"
#include "ui/crosstab/TextBox.h"
#include "ui/crosstab/frmCrossPreview.h"
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Shown {
    QString fields;
    QString header;
    // "group|row|column|value"; "*" stands for a total over that part, "Total" for the row total.
    QStringList values;
};

// Reads the preview as a user sees it: group headers, indented rows, subtotal and total lines.
Shown read(frmCrossPreview *p)
{
    Grid *g = p->vfgPreview;
    Shown out;
    out.fields = p->lblFields->text();
    QStringList header;
    for (int c = 0; c < g->cols(); ++c)
        header << g->textMatrix(0, c);
    out.header = header.join('|');
    const bool grouped = g->textMatrix(g->rows() - 1, 0) == "Grand Total";
    QString group;
    for (int r = 1; r < g->rows(); ++r) {
        const QString label = g->textMatrix(r, 0);
        QString groupKey = group, rowKey;
        if (r == g->rows() - 1) {
            groupKey = rowKey = "*";
        } else if (grouped && !label.startsWith("    ")) {
            group = label;
            continue;
        } else if (grouped && label.startsWith("    Total ")) {
            rowKey = "*";
        } else {
            rowKey = grouped ? label.mid(4) : label;
        }
        for (int c = 1; c < g->cols(); ++c)
            if (!g->textMatrix(r, c).isEmpty())
                out.values << groupKey + '|' + rowKey + '|' + g->textMatrix(0, c) + '|' + g->textMatrix(r, c);
    }
    out.values.sort();
    return out;
}

// Opens a stored definition, presses Alt+V and reads the preview it shows.
Shown previewOf(const QString &recNo)
{
    Shown shown;
    DesignerScript d;
    d.entry(1, recNo, [&](SelectionScreen &s) {
        bool ran = false;
        d.script.expect<frmCrossPreview>([&](frmCrossPreview *p) {
            EXPECT_TRUE(p->isModal());
            EXPECT_EQ(p->parentWidget(), &s);
            shown = read(p);
            key(Qt::Key_Escape);
            ran = true;
        });
        key(Qt::Key_V, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ran && !frmCrossPreview::instance().isVisible(); }, 5000));
        settle(30);
        EXPECT_EQ(QApplication::focusWidget(), s.txtReportName);
        s.cmdCancel_Click();
    });
    return shown;
}

// What the preview should show, summed by plain SQL over base, a select of g, r, c and v.
QStringList expectedValues(TestRoot &root, const QString &base, bool grouped)
{
    const auto sums = [&](const QString &keys) {
        return root.year().select("SELECT " + keys + ", SUM(v) FROM (" + base + ") GROUP BY " + keys).rows;
    };
    const auto cells = sums("g, r, c");
    const bool whole = std::all_of(cells.begin(), cells.end(), [](const QVector<QVariant> &row) {
        return std::abs(row[3].toDouble() - std::round(row[3].toDouble())) < 1e-9;
    });
    const auto amount = [&](const QVariant &v) {
        const double d = std::abs(v.toDouble()) < 0.005 ? 0 : v.toDouble();
        return QString::number(d, 'f', whole ? 0 : 2);
    };
    const auto line = [&](const QVariant &g, const QVariant &r, const QVariant &c, const QVariant &v) {
        return g.toString() + '|' + r.toString() + '|' + c.toString() + '|' + amount(v);
    };
    QStringList out;
    for (const auto &row : cells)
        out << line(row[0], row[1], row[2], row[3]);
    for (const auto &row : sums("g, r"))
        out << line(row[0], row[1], "Total", row[2]);
    if (grouped) {
        for (const auto &row : sums("g, c"))
            out << line(row[0], "*", row[1], row[2]);
        for (const auto &row : sums("g"))
            out << line(row[0], "*", "Total", row[1]);
    }
    for (const auto &row : sums("c"))
        out << line("*", "*", row[0], row[1]);
    out << line("*", "*", "Total", root.value("SELECT SUM(v) FROM (" + base + ")"));
    out.sort();
    return out;
}

std::string lines(const QStringList &rows) { return rows.join('\n').toStdString(); }

} // namespace

// Each stored definition's preview holds the sums plain SQL gives. The ledgers count each master
// row once however many voucher lines it has.
TEST(CrossPreview, ShowsTheSumsOfEachReportType)
{
    TestRoot root(TestRoot::Demo);
    const struct {
        const char *recNo;
        QString fields, header, base; // base selects g, r, c and v
    } cases[] = {
        {"CTR1",
         "Rows: Party Name    Columns: Month Name    Sum of: Net Sale Amount    Grouped by: City Name",
         "City Name / Party Name|1|2|3|4|5|6|7|8|9|10|11|12|Total",
         "SELECT M.Col88 AS g, M.Col98 AS r, CAST(strftime('%m', H.Col98) AS INTEGER) AS c, CASE WHEN "
         "substr(L.Col99, 1, 1) = 'S' THEN L.Col93 * CASE WHEN L.Col90 = 'R' THEN -1 ELSE 1 END ELSE 0 END AS v "
         "FROM ZoT51 H JOIN ZoT52 L ON L.Col99 = H.Col99 JOIN ZoM02 M ON M.Col99 = H.Col83"},
        {"CTR2",
         "Rows: Product Name (Print)    Columns: Product Group    Sum of: Closing Quantity",
         "Product Name (Print)|Edible Oil|Pulses|Rice|Spices|Sugar & Jaggery|Total",
         "SELECT '' AS g, ColExcPNameNew AS r, Col88 AS c, ClQty AS v FROM ZoM20 "
         "WHERE Col99 IN (SELECT Col96 FROM ZoT52)"},
        {"CTR3", "Rows: Group Name    Columns: City Name    Sum of: Closing Amount",
         "Group Name|Kolhapur|Nagpur|Nashik|Pune|Total",
         "SELECT '' AS g, Col95 AS r, Col88 AS c, Col77 AS v FROM ZoM02 WHERE Col99 IN "
         "(SELECT H.Col83 FROM ZoT51 H JOIN ZoT52 L ON L.Col99 = H.Col99)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.recNo);
        const Shown shown = previewOf(c.recNo);
        EXPECT_EQ(shown.fields, c.fields);
        EXPECT_EQ(shown.header, c.header);
        EXPECT_EQ(lines(shown.values), lines(expectedValues(root, c.base, c.recNo == QLatin1String("CTR1"))));
    }
}

TEST(CrossPreview, SqlSumsTheDisplayFieldOrEachMasterRowOnce)
{
    const QString from = app::reportFamily("PWR").SourceFrom;
    const QPair<crosstab::CrossDefinition, QString> cases[] = {
        {{0, "M02.Col98", "Month (T51.Col98) ", "IIF( Left(T52.Col99,3) In ('SDC','SCC')  , T52.Col93,0) ", "M02.Col88"},
         "SELECT M02.Col98 AS r, Month(T51.Col98) AS c, M02.Col88 AS g, "
         "SUM(IIF(jet_left(T52.Col99, 3) IN ('SDC', 'SCC'), T52.Col93, 0)) AS v" + from +
             "GROUP BY M02.Col98, Month(T51.Col98), M02.Col88"},
        {{2, "M02.Col95", "M02.Col88", "M02.Col77", ""},
         "SELECT r, c, SUM(v) AS v FROM (SELECT DISTINCT M02.Col99 AS k, M02.Col95 AS r, M02.Col88 AS c, "
         "M02.Col77 AS v" + from + ") WHERE k IS NOT NULL GROUP BY r, c"},
    };
    for (const auto &[definition, sql] : cases)
        EXPECT_EQ(crosstab::pivotSql(definition, from).toStdString(), sql.toStdString());
}

TEST(CrossPreview, AnIncompleteDefinitionGetsAMessageInsteadOfAPreview)
{
    TestRoot root(TestRoot::Demo);
    FakeMessages::instance().clear();
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
    EXPECT_FALSE(frmCrossPreview::instance().isVisible());
}

TEST(CrossPreview, TheButtonStaysOutOfTheEnterWalkAndTheFocusStaysPut)
{
    TestRoot root(TestRoot::Demo);
    DesignerScript d;
    d.entry(1, "CTR2", [&](SelectionScreen &s) {
        EXPECT_EQ(s.cmdPreview->text(), "Pre&view");
        s.cmdCancel->setFocus();
        key(Qt::Key_Return);
        settle(20);
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
        EXPECT_TRUE(QTest::qWaitFor([&] { return ran && !frmCrossPreview::instance().isVisible(); }, 5000));
        settle(50);
        EXPECT_EQ(QApplication::focusWidget(), s.txtRowData);
        EXPECT_FALSE(frmRowSelect::instance().isVisible());
        s.cmdCancel_Click();
    });
}
