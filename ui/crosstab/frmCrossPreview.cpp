#include "ui/crosstab/frmCrossPreview.h"
#include "app/Twips.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/grid/Grid.h"
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <cmath>

namespace {

// A "|" would split a header of the format string.
QString header(const QString &caption) { return QString(caption).replace(QLatin1Char('|'), QLatin1Char('/')); }

QString amount(const std::optional<double> &value, int decimals)
{
    if (!value)
        return QString();
    const double v = std::abs(*value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : *value;
    return QString::number(v, 'f', decimals);
}

// Whole numbers stay whole; anything else shows two decimals.
int decimalsOf(const crosstab::Pivot &pivot)
{
    for (const crosstab::PivotLine &line : pivot.lines)
        for (const auto &cell : line.cells)
            if (cell && std::abs(*cell - std::round(*cell)) > 1e-9)
                return 2;
    return 0;
}

QString labelOf(const crosstab::PivotLine &line, bool grouped)
{
    switch (line.kind) {
    case crosstab::PivotLine::Group:
        return line.label;
    case crosstab::PivotLine::Data:
        return grouped ? QStringLiteral("    ") + line.label : line.label;
    case crosstab::PivotLine::Subtotal:
        return QStringLiteral("    Total ") + line.label;
    case crosstab::PivotLine::Total:
        break;
    }
    return grouped ? QStringLiteral("Grand Total") : QStringLiteral("Total");
}

} // namespace

frmCrossPreview &frmCrossPreview::instance()
{
    static frmCrossPreview *window = new frmCrossPreview;
    return *window;
}

frmCrossPreview::frmCrossPreview() : QDialog(&SelectionScreen::instance())
{
    setObjectName(QStringLiteral("frmCrossPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setFont(QFont(QStringLiteral("Arial")));
    setModal(true);
    setFixedSize(app::twipsToPixels(11760), app::twipsToPixels(6525));

    lblFields = app::place(new QLabel(this), "lblFields", 120, 120, 11520, 255);
    vfgPreview = app::place(new Grid(this), "vfgPreview", 120, 480, 11520, 5400);
    vfgPreview->setListOption(1);
    cmdClose = app::place(new QPushButton(QStringLiteral("&Close"), this), "cmdClose", 10545, 6030, 1095, 375);
    setTabOrder(vfgPreview, cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &frmCrossPreview::cmdClose_Click);
}

void frmCrossPreview::cmdClose_Click()
{
    hide();
}

void frmCrossPreview::ShowPivot(const QString &rowCaption, const QString &colCaption, const QString &dispCaption,
                                const QString &groupCaption, const crosstab::Pivot &pivot)
{
    const bool grouped = !groupCaption.isEmpty();
    QString fields = QStringLiteral("Rows: %1    Columns: %2    Sum of: %3").arg(rowCaption, colCaption, dispCaption);
    if (grouped)
        fields += QStringLiteral("    Grouped by: ") + groupCaption;
    lblFields->setText(fields);

    QStringList format{QStringLiteral("<") + header(grouped ? groupCaption + QStringLiteral(" / ") + rowCaption
                                                            : rowCaption)};
    for (const QString &column : pivot.columns)
        format << QStringLiteral(">") + header(column);
    format << QStringLiteral(">Total");
    vfgPreview->setRows(1);
    vfgPreview->setFormatString(format.join(QLatin1Char('|')));
    vfgPreview->setRows(pivot.lines.size() + 1);
    const int decimals = decimalsOf(pivot);
    const int totalCol = pivot.columns.size() + 1;
    for (int i = 0; i < pivot.lines.size(); ++i) {
        const crosstab::PivotLine &line = pivot.lines[i];
        vfgPreview->setTextMatrix(i + 1, 0, labelOf(line, grouped));
        if (line.kind == crosstab::PivotLine::Group)
            continue;
        for (int c = 0; c < line.cells.size(); ++c)
            vfgPreview->setTextMatrix(i + 1, c + 1, amount(line.cells[c], decimals));
        vfgPreview->setTextMatrix(i + 1, totalCol, amount(line.total, decimals));
    }
    fitColumns();
    vfgPreview->setRow(1);
    vfgPreview->setFocus();
    exec();
}

void frmCrossPreview::fitColumns()
{
    const QFontMetrics metrics = vfgPreview->fontMetrics();
    for (int c = 0; c < vfgPreview->cols(); ++c) {
        int widest = vfgPreview->horizontalHeader()->fontMetrics().horizontalAdvance(vfgPreview->textMatrix(0, c));
        for (int r = 1; r < vfgPreview->rows(); ++r)
            widest = qMax(widest, metrics.horizontalAdvance(vfgPreview->textMatrix(r, c)));
        vfgPreview->setColWidth(c, app::pixelsToTwips(widest + 16));
    }
}
