#include "app/Convert.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "data/DbError.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/wizard/FormulaCheck.h"
#include "ui/wizard/Preview.h"
#include "ui/wizard/frmRepCust.h"
#include <QLabel>
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
                       static_cast<QWidget *>(VSFPreview)}) {
        w->setVisible(shown);
        w->raise();
    }
    if (shown)
        cmdPreview->setFocus();
}

// Runs what Save would store on a connection of its own, on a worker thread, so that a long query
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
    QString sql;
    try {
        sql = runnableStatement(text);
    } catch (const data::DbError &e) {
        lblPreviewInfo->setText(QStringLiteral("Preview failed."));
        app::ErrorBox(e.text());
        return;
    }
    const PreviewLayout layout = previewLayout(rows, text);
    const QString connection = app::yearConnectionString(s.DataRoot, s.FirmNo, s.YearNo);
    auto job = std::make_shared<PreviewJob>();
    previewJob_ = job;
    cmdPreview->setText(QStringLiteral("Cancel"));
    lblPreviewInfo->setText(QStringLiteral("Running..."));
    previewThread_ = std::thread([this, job, connection, sql, layout] {
        const PreviewResult result = job->run(connection, sql, layout, PreviewRows);
        QMetaObject::invokeMethod(
            this, [this, job, result] { previewFinished(job, result); }, Qt::QueuedConnection);
    });
}

void frmRepCust::previewFinished(const std::shared_ptr<PreviewJob> &job, const PreviewResult &result)
{
    if (job != previewJob_)
        return; // the window was unloaded meanwhile and waited for this run already
    previewThread_.join();
    previewJob_.reset();
    cmdPreview->setText(QStringLiteral("Preview"));
    if (result.cancelled) {
        lblPreviewInfo->setText(QStringLiteral("Preview cancelled."));
        return;
    }
    if (!result.error.isEmpty()) {
        lblPreviewInfo->setText(QStringLiteral("Preview failed."));
        app::ErrorBox(result.error);
        return;
    }
    VSFPreview->setRedraw(false);
    VSFPreview->setRows(result.rows.size() + 1);
    for (int r = 0; r < result.rows.size(); ++r)
        for (int c = 0; c < result.rows[r].size(); ++c)
            VSFPreview->setTextMatrix(r + 1, c, result.rows[r][c]);
    VSFPreview->setRedraw(true);
    const QLocale english(QLocale::English);
    lblPreviewInfo->setText(QStringLiteral("%1 of %2 rows in %3 s")
                                .arg(english.toString(result.shownRows), english.toString(result.dataRows),
                                     QString::number(result.seconds, 'f', 2)));
}

// Leaves no worker behind an unloaded window; interrupted, the worker ends at once.
void frmRepCust::stopPreview()
{
    if (previewJob_)
        previewJob_->cancel();
    if (previewThread_.joinable())
        previewThread_.join();
    previewJob_.reset();
}
