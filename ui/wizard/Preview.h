#pragma once
#include "data/Connection.h"
#include "ui/wizard/ReportText.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <atomic>
#include <mutex>

// Where each preview column comes from and what its totals are. Preview column 0 is the leading
// Space(0) column ("Cod"); column i is selected column i in grid order, whereas the select text
// lists the grouped columns first.
struct PreviewLayout {
    int groupCount = 0;
    QVector<int> source;     // per preview column: its index in a result row
    QVector<int> decimals;   // per preview column: decimal places of its sums
    QVector<bool> total, count, grandTotal;
};

PreviewLayout previewLayout(const QVector<SelectedColumn> &rows, const ReportText &text);

struct PreviewResult {
    QVector<QStringList> rows; // data, "Sub Total" and "Grand Total" rows, one cell per column
    qint64 dataRows = 0;       // rows of the whole result
    int shownRows = 0;         // data rows among `rows`
    double seconds = 0;
    bool cancelled = false;
    QString error;
};

// The first `cap` data rows of the statement in report order, a subtotal row after each group
// shown, and a grand-total row. Sums and counts cover the whole result, not only what is shown:
// the subtotal of the last group shown counts its rows past the cap too.
PreviewResult runPreview(data::Connection &db, const QString &sql, const PreviewLayout &layout, int cap);

// One preview on a connection of its own: run() works on a worker thread, cancel() is called
// from the window's.
class PreviewJob {
public:
    PreviewResult run(const QString &connectionString, const QString &sql, const PreviewLayout &layout, int cap);
    void cancel();

private:
    std::mutex lock_;
    data::Connection *db_ = nullptr; // while run() has it open
    std::atomic<bool> cancelled_{false};
};
