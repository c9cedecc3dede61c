#include "app/Convert.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/wizard/FormulaCheck.h"
#include "ui/wizard/Preview.h"
#include "ui/wizard/frmRepCust.h"
#include <QLabel>
#include <QProgressBar>
#include <QLocale>
#include <QPushButton>

namespace {

constexpr int PreviewRows = 1000;

} // namespace

bool frmRepCust::reportRunsOrUserAgrees(const QVector<SelectedColumn> &rows)
{
    const app::Settings &s = app::settings();
    const ReportError error = reportError(app::YearDb(), rows, s.ExtraSelect, s.SourceFrom);
    if (error.message.isEmpty())
        return true;
    const QString what = error.caption.isEmpty() ? QStringLiteral("The report")
                                                 : QStringLiteral("Column \"") + error.caption + QLatin1Char('"');
    return storeDespite(what + QStringLiteral(" cannot run on this year's data:\n") + error.message,
                        QStringLiteral("Save the report anyway?"));
}

void frmRepCust::showPreviewControls()
{
    const bool shown = SSTab1->tab() == 2;
    for (QWidget *w : {static_cast<QWidget *>(cmdPreview), static_cast<QWidget *>(lblPreviewInfo),
                       static_cast<QWidget *>(VSFPreview), static_cast<QWidget *>(cmdPrint),
                       static_cast<QWidget *>(cmdPdf), static_cast<QWidget *>(cmdExport),
                       static_cast<QWidget *>(lblExportInfo)}) {
        w->setVisible(shown);
        w->raise();
    }
    prgPreview->setVisible(shown && previewJob_);
    prgPreview->raise();
    if (shown) {
        // However the user came, the focus frame shows him that Enter or Space runs the preview.
        setAttribute(Qt::WA_KeyboardFocusChange);
        cmdPreview->setFocus();
    }
}

// Runs the report on a read-only connection of its own, on a worker thread, so that a long query
// neither freezes the window nor holds the year connection; pressed again, it cancels.
void frmRepCust::cmdPreview_Click()
{
    if (previewJob_) {
        previewJob_->cancel();
        lblPreviewInfo->setText(QStringLiteral("Cancelling..."));
        return;
    }
    const app::Settings &s = app::settings();
    const QVector<SelectedColumn> rows = selectedRows();
    const ReportText text = buildReportText(rows, s.ExtraSelect, s.SourceFrom, ColumnNames::Runnable);
    VSFPreview->setRows(1);
    VSFPreview->setFormatString(text.formatStr);
    for (int r = 0; r < rows.size(); ++r) {
        const int width = int(app::leadingNumber(rows[r][SelectedColumn::Width]));
        if (width > 0)
            VSFPreview->setColWidth(r + 1, width);
    }
    if (rows.isEmpty()) {
        lblPreviewInfo->setText(QStringLiteral("No column is selected."));
        return;
    }
    ReportQuery query;
    if (!app::withErrorBox([&] { query = reportQuery(rows, s.SourceFrom, app::YearDb().engine()); })) {
        lblPreviewInfo->setText(QStringLiteral("Preview failed."));
        return;
    }
    const QString connection = app::yearConnection(s);
    auto job = std::make_shared<PreviewJob>();
    previewJob_ = job;
    cmdPreview->setText(QStringLiteral("Cancel"));
    lblPreviewInfo->setText(QStringLiteral("Running..."));
    prgPreview->show();
    previewThread_ = std::thread([this, job, connection, query] {
        // Each step is shown only while its run is still the window's.
        const auto post = [this, job](std::function<void()> step) {
            QMetaObject::invokeMethod(
                this, [this, job, step] {
                    if (job == previewJob_)
                        step();
                },
                Qt::QueuedConnection);
        };
        const PreviewResult result = job->run(
            connection, query, PreviewRows,
            [&](const PreviewResult &first) { post([this, first] { showPreviewRows(first); }); },
            [&](qint64 rows) { post([this, rows] { showPreviewProgress(rows); }); });
        QMetaObject::invokeMethod(
            this, [this, job, result] { previewFinished(job, result); }, Qt::QueuedConnection);
    });
}

// Rows read so far, the first of them shown already.
void frmRepCust::showPreviewProgress(qint64 rows)
{
    lblPreviewInfo->setText(QStringLiteral("%1 rows read...").arg(QLocale(QLocale::English).toString(rows)));
}

void frmRepCust::showPreviewRows(const PreviewResult &result)
{
    VSFPreview->setRedraw(false);
    VSFPreview->setRows(result.rows.size() + 1);
    for (int r = 0; r < result.rows.size(); ++r)
        for (int c = 0; c < result.rows[r].size(); ++c)
            VSFPreview->setTextMatrix(r + 1, c, result.rows[r][c]);
    VSFPreview->setRedraw(true);
    const QLocale english(QLocale::English);
    const QString shown = english.toString(result.shownRows);
    lblPreviewInfo->setText(result.dataRows < 0
                                ? QStringLiteral("%1 rows shown; reading the rest...").arg(shown)
                                : QStringLiteral("%1 of %2 rows in %3 s")
                                      .arg(shown, english.toString(result.dataRows),
                                           QString::number(result.seconds, 'f', 2)));
}

void frmRepCust::previewFinished(const std::shared_ptr<PreviewJob> &job, const PreviewResult &result)
{
    if (job != previewJob_)
        return; // the window was unloaded meanwhile and waited for this run already
    previewThread_.join();
    previewJob_.reset();
    prgPreview->hide();
    cmdPreview->setText(PreviewCaption);
    if (result.cancelled) {
        lblPreviewInfo->setText(QStringLiteral("Preview cancelled."));
        return;
    }
    if (!result.error.isEmpty()) {
        lblPreviewInfo->setText(QStringLiteral("Preview failed."));
        app::ErrorBox(result.error);
        return;
    }
    showPreviewRows(result);
    // A user still at the button reads the rows next, with the arrow keys.
    if (focusWidget() == cmdPreview && VSFPreview->rows() > 1)
        VSFPreview->setFocus();
}

// Leaves no worker behind an unloaded window; interrupted, the worker ends at once.
void frmRepCust::stopPreview()
{
    if (previewJob_)
        previewJob_->cancel();
    if (previewThread_.joinable())
        previewThread_.join();
    previewJob_.reset();
    prgPreview->hide();
}
