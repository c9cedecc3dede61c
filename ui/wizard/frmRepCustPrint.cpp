#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Paths.h"
#include "ui/print/Export.h"
#include "ui/wizard/Preview.h"
#include "ui/wizard/frmRepCust.h"
#include <QLabel>
#include <QLineEdit>
#include <mutex>

namespace {

// The connection a report's query runs on, so that a cancel from the window's thread stops it at
// once, also before its first row.
class Interrupter {
public:
    void interrupt()
    {
        std::lock_guard<std::mutex> hold(lock_);
        interrupted_ = true;
        if (db_)
            db_->interrupt();
    }

    // While it lives, a cancel interrupts db.
    class Running {
    public:
        Running(Interrupter &owner, data::Connection &db) : owner_(owner) { owner_.set(&db); }
        ~Running() { owner_.set(nullptr); }

    private:
        Interrupter &owner_;
    };

private:
    void set(data::Connection *db)
    {
        std::lock_guard<std::mutex> hold(lock_);
        db_ = db;
        if (db_ && interrupted_)
            db_->interrupt();
    }

    std::mutex lock_;
    data::Connection *db_ = nullptr;
    bool interrupted_ = false;
};

} // namespace

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
    if (!app::withErrorBox([&] { query = reportQuery(rows, s.SourceFrom); }))
        return false;
    const QString connection = app::yearConnectionString(s.DataRoot, s.FirmNo, s.YearNo);
    auto interrupter = std::make_shared<Interrupter>();
    whole.heading = report::headingFor(txtRepName->text().trimmed());
    whole.produce = [query, connection, interrupter](report::Sink &sink) {
        const std::unique_ptr<data::Connection> db = data::Connection::open(connection, data::Access::ReadOnly);
        const Interrupter::Running running(*interrupter, *db);
        streamReport(*db, query, sink);
    };
    whole.interrupt = [interrupter] { interrupter->interrupt(); };
    return true;
}
