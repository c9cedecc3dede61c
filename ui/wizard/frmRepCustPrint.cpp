#include "app/Messages.h"
#include "app/Module1.h"
#include "data/CancellableRun.h"
#include "ui/print/Export.h"
#include "ui/wizard/Preview.h"
#include "ui/wizard/frmRepCust.h"
#include <QLabel>
#include "ui/grid/TextBox.h"

void frmRepCust::cmdPrint_Click()
{
    report::Report whole;
    if (export_->running() || wholeReport(whole))
        export_->print(cmdPrint, whole);
}

void frmRepCust::cmdPdf_Click()
{
    report::Report whole;
    if (export_->running() || wholeReport(whole))
        export_->savePdf(cmdPdf, whole);
}

void frmRepCust::cmdExport_Click()
{
    report::Report whole;
    if (export_->running() || wholeReport(whole))
        export_->exportFile(cmdExport, whole);
}

// Every row of what Save would store, with its subtotals and grand total, on a connection of
// its own that no write waits for.
bool frmRepCust::wholeReport(report::Report &whole)
{
    const app::Settings &s = app::settings();
    const QVector<SelectedColumn> rows = selectedRows();
    if (rows.isEmpty()) {
        lblExportInfo->setText(QStringLiteral("No column is selected."));
        return false;
    }
    ReportQuery query;
    if (!app::withErrorBox([&] { query = reportQuery(rows, s.SourceFrom, app::YearDb().engine()); }))
        return false;
    const QString connection = app::yearConnection(s);
    // A cancel stops the query at once, also before its first row.
    auto run = std::make_shared<data::CancellableRun>();
    whole.heading = report::headingFor(txtRepName->text().trimmed());
    whole.produce = [query, connection, run](report::Sink &sink) {
        run->run(connection, [&](data::Connection &db) { streamReport(db, query, sink); });
    };
    whole.interrupt = [run] { run->cancel(); };
    return true;
}
