#pragma once
#include "data/CancellableRun.h"
#include "ui/print/ReportSink.h"
#include "ui/wizard/SelectedColumn.h"
#include <QHash>
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
    // Where the report is sorted: one read of the year for its first rows, as many as the one
    // parameter says, and for the values of every row that the figures need, each at its
    // column's place. On the files the first rows are the result and every row goes to each_row
    // (see data::Connection::withEachRow); on a server the result is every row, marked 0, and
    // then the first rows, marked 1, in a last column.
    QString firstRowsSql;
    data::Engine engine = data::Engine::File;
    QVector<report::Column> columns;
    QVector<int> groups;            // per group level, the outermost first: its column
    QVector<bool> groupIgnoresCase; // per group level: whether its text compares ignoring case
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

// The figures of every row of a report by group, the rows coming in any order: a preview that
// lists only the first rows shows subtotals over rows it never lists.
class ReportTallies {
public:
    explicit ReportTallies(const ReportQuery &query);
    void add(const data::Row &row);
    // A group by its key (as ReportLines keys it), and all rows.
    Figures group(int level, const QByteArray &key) const;
    const Figures &all() const { return all_; }

private:
    const ReportQuery &query_;
    QVector<int> summed_;
    QVector<QHash<QByteArray, Figures>> groups_; // per level
    Figures all_;
    struct Last {
        QByteArray key;
        Figures *figures = nullptr;
    };
    QVector<Last> last_; // per level
    QByteArray key_;
    QVector<qsizetype> ends_;
    QVector<double> numbers_;
};

// Turns result rows, in report order, into report lines: a Data line per row, values of numeric
// columns as numbers; when groups end, a Subtotal line per level, the inner first, labelled with
// the group's value; at the end a Grand Total line. In total lines a sum is a double and a count
// (also the "total" of a text column) a qlonglong. The figures are those of the rows added or,
// given tallies, theirs.
class ReportLines {
public:
    ReportLines(const ReportQuery &query, std::function<void(const report::Line &)> onLine,
                const ReportTallies *tallies = nullptr);

    void add(const data::Row &row);
    // The subtotals of the groups still open and the grand total.
    void finish();

private:
    void closeGroups(int from);
    report::Line totalLine(report::Line::Kind kind, int level, const QString &label, const Figures &figures,
                           const QVector<bool> &summed, const QVector<bool> &counted) const;

    const ReportQuery &query_;
    std::function<void(const report::Line &)> emit_;
    const ReportTallies *tallies_;
    bool subtotals_, grandTotal_;
    QVector<int> summed_;
    QVector<Figures> open_; // per level, without tallies
    Figures all_;
    QVector<QByteArray> keys_; // per level: the open group's key, which begins with those outside it
    QVector<QVariant> labels_; // per level: the open group's value
    QByteArray key_;
    QVector<qsizetype> ends_;
    QVector<double> numbers_;
    bool started_ = false;
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
