#pragma once
#include "data/CancellableRun.h"
#include "ui/print/ReportSink.h"
#include "ui/wizard/SelectedColumn.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

// A wizard report as its preview and its printout run it. Column 0 is the leading Space(0) column
// ("Cod"); column i is selected column i in grid order, as the report grid shows them. The
// selects give every column's value as it is, numbers unformatted, so that totals add values
// and not the text a format made of them.
struct ReportQuery {
    QString sql; // the rows in report order: groups first, then the sorted columns
    QVector<report::Column> columns;
    QVector<int> groups; // per group level, the outermost first: its column
    QVector<bool> numeric, total, count, grandTotal;
};

// rows[i] is selected column i + 1; the select is written for the engine it runs on. Throws
// DbError when a column's text does not parse.
ReportQuery reportQuery(const QVector<SelectedColumn> &rows, const QString &sourceFrom,
                        data::Engine engine = data::Engine::File);

// Sums of the totalled columns over a run of rows, and how many rows there were.
struct Figures {
    QVector<double> sums; // per column
    qint64 rows = 0;
};

// Turns result rows into report lines: a Data line per row, values of numeric columns as
// numbers; when groups end, a Subtotal line per level, the inner first, labelled with the group's
// value; at the end a Grand Total line. In total lines a sum is a double and a count (also the
// "total" of a text column) a qlonglong.
class ReportLines {
public:
    ReportLines(const ReportQuery &query, std::function<void(const report::Line &)> onLine);

    void add(const QVector<QVariant> &row);
    // A row past those listed: it only adds to the grand total and to the groups the listed rows
    // left open, so that their subtotals cover them whole.
    void addUnlisted(const data::Row &row);
    // The subtotals of the groups still open and the grand total.
    void finish();

private:
    void closeGroups(int from);
    void tally(int column, double value);
    void countRow();
    bool sameGroup(const data::Row &row, int level) const;
    Figures empty() const;
    report::Line totalLine(report::Line::Kind kind, int level, const QString &label, const Figures &figures,
                           const QVector<bool> &summed, const QVector<bool> &counted) const;

    const ReportQuery &query_;
    std::function<void(const report::Line &)> emit_;
    bool subtotals_, grandTotal_;
    QVector<int> summed_; // the columns whose sums a line shows
    QVector<QVariant> key_;
    QVector<QByteArray> keyText_; // per level: the key's UTF-8 bytes, when it is text
    QVector<Figures> open_;       // per group level
    Figures all_;
    bool started_ = false;
    int listedOpen_ = 0; // past the listed rows: the levels whose listed group goes on
};

// Every line of the report into the sink, between begin and end, stepping the rows without
// keeping them. progress, when given, is called with the number of rows read so far every few
// thousand rows. Returns the number of data rows. Throws DbError, also when db.interrupt()
// cancels it from another thread.
qint64 streamReport(data::Connection &db, const ReportQuery &query, report::Sink &sink,
                    const std::function<void(qint64)> &progress = {});

// A line's cells as the preview grid shows them: numbers with their column's decimals.
QStringList lineTexts(const report::Line &line, const QVector<report::Column> &columns);

struct PreviewResult {
    QVector<QStringList> rows; // data, "Sub Total" and "Grand Total" rows, one cell per column
    qint64 dataRows = 0;       // rows of the whole result; -1 while the rest is still read
    int shownRows = 0;         // data rows among `rows`
    double seconds = 0;
    bool cancelled = false;
    QString error;
};

// The first `cap` data rows in report order with the subtotals of the groups among them, and the
// grand total. Figures cover the whole result: the rows past the cap are stepped for their sums
// without being kept or converted. firstRows, when given, gets the rows listed as soon as they
// are read; progress the number of rows read so far, every few thousand rows.
PreviewResult runPreview(data::Connection &db, const ReportQuery &query, int cap,
                         const std::function<void(const PreviewResult &)> &firstRows = {},
                         const std::function<void(qint64)> &progress = {});

// One preview on a read-only connection of its own: run() works on a worker thread, cancel() is
// called from the window's.
class PreviewJob {
public:
    PreviewResult run(const QString &connectionString, const ReportQuery &query, int cap,
                      const std::function<void(const PreviewResult &)> &firstRows = {},
                      const std::function<void(qint64)> &progress = {});
    void cancel();

private:
    data::CancellableRun run_;
};
