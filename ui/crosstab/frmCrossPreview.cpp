#include "ui/crosstab/frmCrossPreview.h"
#include "app/Messages.h"
#include "app/Twips.h"
#include "data/DbError.h"
#include "ui/grid/Grid.h"
#include "ui/print/Export.h"
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
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

QString labelOf(const crosstab::PivotLine &line, bool grouped);

void writePivot(const crosstab::Pivot &pivot, const QVector<report::Column> &columns, bool grouped,
                report::Sink &sink)
{
    static const report::Line::Kind kinds[] = {report::Line::Group, report::Line::Data, report::Line::Subtotal,
                                               report::Line::GrandTotal};
    sink.begin(columns);
    report::Line out;
    for (const crosstab::PivotLine &line : pivot.lines) {
        out.kind = kinds[line.kind];
        out.values = {labelOf(line, grouped).trimmed()};
        if (line.kind != crosstab::PivotLine::Group) {
            for (const auto &cell : line.cells)
                out.values << (cell ? QVariant(*cell) : QVariant());
            out.values << line.total;
        }
        sink.line(out);
    }
    sink.end();
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

frmCrossPreview::frmCrossPreview(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmCrossPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    setFont(QFont(QStringLiteral("Arial")));
    setModal(true);
    setFixedSize(app::twipsToPixels(11760), app::twipsToPixels(6525));

    lblFields = app::place(new QLabel(this), "lblFields", 120, 120, 8760, 255);
    prgPivot = app::place(new QProgressBar(this), "prgPivot", 9000, 120, 2640, 255);
    prgPivot->setRange(0, 0); // busy: the engine gives no count while it groups
    prgPivot->setTextVisible(false);
    prgPivot->hide();
    vfgPreview = app::place(new Grid(this), "vfgPreview", 120, 480, 11520, 5400);
    vfgPreview->setListOption(1);
    cmdPrint = app::place(new QPushButton(QStringLiteral("&Print..."), this), "cmdPrint", 120, 6030, 1095, 375);
    cmdPdf = app::place(new QPushButton(QStringLiteral("P&DF..."), this), "cmdPdf", 1320, 6030, 1095, 375);
    cmdExport = app::place(new QPushButton(QStringLiteral("&Export..."), this), "cmdExport", 2520, 6030, 1095, 375);
    lblExportInfo = app::place(new QLabel(this), "lblExportInfo", 3720, 6090, 6705, 255);
    cmdClose = app::place(new QPushButton(QStringLiteral("&Close"), this), "cmdClose", 10545, 6030, 1095, 375);
    setTabOrder(vfgPreview, cmdPrint);
    setTabOrder(cmdPrint, cmdPdf);
    setTabOrder(cmdPdf, cmdExport);
    setTabOrder(cmdExport, cmdClose);
    export_ = new report::ExportRunner(lblExportInfo, {cmdPrint, cmdPdf, cmdExport});
    connect(cmdPrint, &QPushButton::clicked, this, &frmCrossPreview::cmdPrint_Click);
    connect(cmdPdf, &QPushButton::clicked, this, &frmCrossPreview::cmdPdf_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmCrossPreview::cmdExport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmCrossPreview::cmdClose_Click);
}

void frmCrossPreview::cmdPrint_Click()
{
    export_->print(cmdPrint, report());
}

void frmCrossPreview::cmdPdf_Click()
{
    export_->savePdf(cmdPdf, report());
}

void frmCrossPreview::cmdExport_Click()
{
    export_->exportFile(cmdExport, report());
}

void frmCrossPreview::cmdClose_Click()
{
    hide();
}

// The pivot is read on a read-only connection of its own on a worker thread: the window stays
// responsive, shows that it is busy, and closing it cancels the query.
void frmCrossPreview::RunPivot(const QString &reportName, const QString &rowCaption, const QString &colCaption,
                               const QString &dispCaption, const QString &groupCaption, const crosstab::CrossDefinition &definition,
                               const QString &connectionString, const QString &sourceFrom)
{
    QString fields = QStringLiteral("Rows: %1    Columns: %2    Sum of: %3").arg(rowCaption, colCaption, dispCaption);
    if (!groupCaption.isEmpty())
        fields += QStringLiteral("    Grouped by: ") + groupCaption;
    lblFields->setText(fields);
    reportName_ = reportName;
    rowCaption_ = rowCaption;
    groupCaption_ = groupCaption;
    pivot_ = {};
    vfgPreview->setRows(1);
    vfgPreview->setFormatString(QStringLiteral("<") + header(rowCaption));
    lblExportInfo->clear();
    showReading(true);
    cmdClose->setFocus();

    auto job = std::make_shared<data::CancellableRun>();
    pivotJob_ = job;
    pivotThread_ = std::thread([this, job, definition, connectionString, sourceFrom] {
        crosstab::Pivot pivot;
        QString error;
        try {
            job->run(connectionString, [&](data::Connection &db) {
                pivot = crosstab::loadPivot(db, definition, sourceFrom, [&](qint64 rows) {
                    QMetaObject::invokeMethod(
                        this, [this, job, rows] { showRowsRead(job, rows); }, Qt::QueuedConnection);
                });
            });
        } catch (const data::DbError &e) {
            error = e.text();
        }
        QMetaObject::invokeMethod(
            this, [this, job, pivot, error] { pivotFinished(job, pivot, error); }, Qt::QueuedConnection);
    });
    exec();
    stopPivot();
    export_->stop();
}

void frmCrossPreview::pivotFinished(const std::shared_ptr<data::CancellableRun> &job, const crosstab::Pivot &pivot,
                                    const QString &error)
{
    if (job != pivotJob_)
        return; // closed meanwhile: the run was cancelled and waited for
    endPivot();
    if (!error.isEmpty()) {
        app::ErrorBox(error);
        hide();
        return;
    }
    showPivot(pivot);
}

void frmCrossPreview::showRowsRead(const std::shared_ptr<data::CancellableRun> &job, qint64 rows)
{
    if (job == pivotJob_)
        lblExportInfo->setText(QStringLiteral("%1 rows read...").arg(QLocale(QLocale::English).toString(rows)));
}

void frmCrossPreview::stopPivot()
{
    if (pivotJob_)
        pivotJob_->cancel();
    endPivot();
}

void frmCrossPreview::endPivot()
{
    if (pivotThread_.joinable())
        pivotThread_.join();
    pivotJob_.reset();
    showReading(false);
}

// While the pivot is read the window shows that it is busy and has nothing to print.
void frmCrossPreview::showReading(bool reading)
{
    lblExportInfo->clear();
    prgPivot->setVisible(reading);
    for (QPushButton *b : {cmdPrint, cmdPdf, cmdExport})
        b->setEnabled(!reading);
}

void frmCrossPreview::showPivot(const crosstab::Pivot &pivot)
{
    const bool grouped = !groupCaption_.isEmpty();
    QStringList format{QStringLiteral("<") + header(grouped ? groupCaption_ + QStringLiteral(" / ") + rowCaption_
                                                            : rowCaption_)};
    for (const QString &column : pivot.columns)
        format << QStringLiteral(">") + header(column);
    format << QStringLiteral(">Total");
    vfgPreview->setRedraw(false);
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
    vfgPreview->setRedraw(true);
    fitColumns();
    vfgPreview->setRow(1);
    vfgPreview->setFocus();
    pivot_ = pivot;
}

report::Report frmCrossPreview::report() const
{
    QVector<report::Column> columns;
    const int decimals = decimalsOf(pivot_);
    for (int c = 0; c < vfgPreview->cols(); ++c)
        columns << report::Column{vfgPreview->textMatrix(0, c), vfgPreview->colWidth(c),
                                  c == 0 ? Qt::AlignLeft : Qt::AlignRight, c == 0 ? -1 : decimals};
    return {report::headingFor(reportName_, {lblFields->text()}),
            [pivot = pivot_, columns, grouped = !groupCaption_.isEmpty()](report::Sink &sink) {
                writePivot(pivot, columns, grouped, sink);
            },
            {}};
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
