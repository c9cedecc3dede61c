#include "ui/wizard/Preview.h"
#include "app/Convert.h"
#include "data/DbError.h"
#include <QElapsedTimer>
#include <QSet>

namespace {

QSet<int> rowNumbers(const QString &list)
{
    QSet<int> numbers;
    for (const QString &n : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        numbers.insert(n.toInt());
    return numbers;
}

// Sums of the preview columns over a run of rows, and how many rows there were.
struct Sums {
    QVector<double> values;
    qint64 rows = 0;

    void add(const QVector<QVariant> &row, const PreviewLayout &layout)
    {
        for (int c = 1; c < layout.source.size(); ++c)
            values[c] += row.value(layout.source[c]).toDouble(); // a null or a text counts 0
        ++rows;
    }
};

QStringList totalRow(const QString &label, const Sums &sums, const PreviewLayout &layout,
                     const QVector<bool> &summed, const QVector<bool> &counted)
{
    QStringList cells{label};
    for (int c = 1; c < layout.source.size(); ++c)
        cells << (summed[c] ? QString::number(sums.values[c], 'f', layout.decimals[c])
                  : counted[c] ? QString::number(sums.rows)
                               : QString());
    return cells;
}

} // namespace

PreviewLayout previewLayout(const QVector<SelectedColumn> &rows, const ReportText &text)
{
    PreviewLayout layout;
    layout.groupCount = text.groupCount;
    const QSet<int> totals = rowNumbers(text.totalStr), counts = rowNumbers(text.countStr),
                    grandTotals = rowNumbers(text.grandTotalStr);
    layout.source = {0};
    layout.decimals = {0};
    layout.total = layout.count = layout.grandTotal = {false};
    int groupedSeen = 0, otherSeen = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const int row = r + 1;
        layout.source << (rows[r].grouped() ? 1 + groupedSeen++ : 1 + text.groupCount + otherSeen++);
        layout.decimals << qMax(0, int(app::leadingNumber(rows[r][SelectedColumn::Decimal])));
        layout.total << totals.contains(row);
        layout.count << counts.contains(row);
        layout.grandTotal << grandTotals.contains(row);
    }
    return layout;
}

PreviewResult runPreview(data::Connection &db, const QString &sql, const PreviewLayout &layout, int cap)
{
    PreviewResult result;
    const int columns = layout.source.size();
    const bool subtotals = layout.groupCount > 0
        && (layout.total.contains(true) || layout.count.contains(true));
    const QVector<bool> none(columns, false);
    Sums group{QVector<double>(columns)}, all{QVector<double>(columns)};
    QVector<QVariant> key;
    bool inGroup = false, trackGroups = subtotals;
    db.forEachRow(sql, {}, [&](const QVector<QVariant> &row) {
        if (trackGroups) {
            const QVector<QVariant> rowKey = row.mid(1, layout.groupCount);
            if (inGroup && rowKey != key) {
                result.rows << totalRow(QStringLiteral("Sub Total"), group, layout, layout.total, layout.count);
                group = Sums{QVector<double>(columns)};
                // Past the cap only the last group shown still needs its sums.
                trackGroups = result.shownRows < cap;
            }
            if (trackGroups) {
                key = rowKey;
                inGroup = true;
                group.add(row, layout);
            }
        }
        all.add(row, layout);
        ++result.dataRows;
        if (result.shownRows < cap) {
            QStringList cells;
            for (int c = 0; c < columns; ++c) {
                const QVariant v = row.value(layout.source[c]);
                cells << (v.isNull() ? QString() : v.toString());
            }
            result.rows << cells;
            ++result.shownRows;
        }
    });
    if (trackGroups && inGroup)
        result.rows << totalRow(QStringLiteral("Sub Total"), group, layout, layout.total, layout.count);
    if (layout.grandTotal.contains(true))
        result.rows << totalRow(QStringLiteral("Grand Total"), all, layout, layout.grandTotal, none);
    return result;
}

PreviewResult PreviewJob::run(const QString &connectionString, const QString &sql, const PreviewLayout &layout,
                              int cap)
{
    QElapsedTimer clock;
    clock.start();
    PreviewResult result;
    try {
        const std::unique_ptr<data::Connection> db = data::Connection::open(connectionString);
        {
            std::lock_guard<std::mutex> hold(lock_);
            db_ = db.get();
            if (cancelled_)
                db_->interrupt();
        }
        try {
            result = runPreview(*db, sql, layout, cap);
        } catch (const data::DbError &e) {
            result.error = e.text();
        }
        std::lock_guard<std::mutex> hold(lock_);
        db_ = nullptr;
    } catch (const data::DbError &e) {
        result.error = e.text();
    }
    if (cancelled_)
        result = PreviewResult{{}, 0, 0, 0, true, {}};
    result.seconds = clock.elapsed() / 1000.0;
    return result;
}

void PreviewJob::cancel()
{
    std::lock_guard<std::mutex> hold(lock_);
    cancelled_ = true;
    if (db_)
        db_->interrupt();
}
