#include "ui/wizard/Preview.h"
#include "app/Convert.h"
#include "app/Module1.h"
#include "data/DbError.h"
#include "data/JetFunctions.h"
#include "data/JetSql.h"
#include "ui/wizard/ReportText.h"
#include <QElapsedTimer>
#include <utility>

namespace {

constexpr int ProgressEvery = 4096;

QString keyText(const QVariant &v)
{
    return data::formatValue(v, {});
}

} // namespace

ReportQuery reportQuery(const QVector<SelectedColumn> &rows, const QString &sourceFrom)
{
    ReportQuery q;
    QString select = QStringLiteral("Select Space(0) AS c0");
    QString groupOrder, sort;
    q.columns << report::Column{QStringLiteral("Cod"), 0, Qt::AlignLeft, -1};
    q.numeric = q.total = q.count = q.grandTotal = {false};
    for (int r = 0; r < rows.size(); ++r) {
        const SelectedColumn &c = rows[r];
        const int col = r + 1;
        const QString field = columnField(c, ColumnNames::Runnable);
        select += QStringLiteral(" , %1 AS c%2").arg(field).arg(col);
        q.columns << report::Column{c[SelectedColumn::Caption], int(app::leadingNumber(c[SelectedColumn::Width])),
                                    c.numeric() ? Qt::AlignRight : Qt::AlignLeft,
                                    c.numeric() ? qBound(0, int(app::leadingNumber(c[SelectedColumn::Decimal])), 15)
                                                : -1};
        if (c.grouped()) {
            q.groups << col;
            groupOrder += QStringLiteral(", ") + field + (c.is(SelectedColumn::Grouping, 'D') ? QStringLiteral(" Desc") : QString());
        } else if (!c.is(SelectedColumn::Sorting, 'N')) {
            sort += QStringLiteral(", ") + field + (c.is(SelectedColumn::Sorting, 'D') ? QStringLiteral(" Desc") : QString());
        }
        q.numeric << c.numeric();
        q.total << c.is(SelectedColumn::Total, 'Y');
        q.count << c.is(SelectedColumn::Count, 'Y');
        q.grandTotal << c.is(SelectedColumn::GrandTotal, 'Y');
    }
    const QString values = select + QLatin1Char(' ') + sourceFrom;
    q.values = data::translateStatement(values);
    const QString orderBy = (groupOrder + sort).mid(2);
    q.sql = orderBy.isEmpty() ? q.values : data::translateStatement(values + QStringLiteral(" ORDER BY ") + orderBy);
    return q;
}

ReportLines::ReportLines(const ReportQuery &query, std::function<void(const report::Line &)> onLine)
    : query_(query), emit_(std::move(onLine)),
      subtotals_(!query.groups.isEmpty() && (query.total.contains(true) || query.count.contains(true))),
      grandTotal_(query.grandTotal.contains(true)), open_(query.groups.size(), empty()), all_(empty())
{
}

Figures ReportLines::empty() const
{
    return Figures{QVector<double>(query_.columns.size()), 0};
}

void ReportLines::addTo(Figures &figures, const QVector<std::optional<double>> &numbers) const
{
    for (int c = 0; c < numbers.size(); ++c)
        figures.sums[c] += numbers[c].value_or(0);
    ++figures.rows;
}

void ReportLines::add(const QVector<QVariant> &row)
{
    const int columns = query_.columns.size();
    int changed = query_.groups.size();
    for (int level = 0; level < query_.groups.size(); ++level) {
        if (!started_ || row.value(query_.groups[level]) != key_[level]) {
            changed = level;
            break;
        }
    }
    if (started_ && changed < query_.groups.size())
        closeGroups(changed, open_);
    key_.resize(query_.groups.size());
    for (int level = changed; level < query_.groups.size(); ++level)
        key_[level] = row.value(query_.groups[level]);
    started_ = true;

    report::Line line;
    line.values.resize(columns);
    line.values[0] = QString();
    QVector<std::optional<double>> numbers(columns);
    for (int c = 1; c < columns; ++c) {
        const QVariant &v = row.value(c);
        if (query_.numeric[c])
            numbers[c] = data::numberValue(v);
        line.values[c] = numbers[c] ? QVariant(*numbers[c]) : v.isNull() ? QVariant() : QVariant(keyText(v));
    }
    for (Figures &f : open_)
        addTo(f, numbers);
    addTo(all_, numbers);
    emit_(line);
}

// Ends the groups from `from` inwards, the innermost first, with the figures given for them.
void ReportLines::closeGroups(int from, const QVector<Figures> &figures)
{
    for (int level = query_.groups.size() - 1; level >= from; --level) {
        if (subtotals_)
            emit_(totalLine(report::Line::Subtotal, level, QStringLiteral("Sub Total ") + keyText(key_[level]),
                            figures[level], query_.total, query_.count));
        open_[level] = empty();
    }
}

report::Line ReportLines::totalLine(report::Line::Kind kind, int level, const QString &label, const Figures &figures,
                                    const QVector<bool> &summed, const QVector<bool> &counted) const
{
    report::Line line{kind, level, QVector<QVariant>(query_.columns.size())};
    line.values[0] = label;
    for (int c = 1; c < query_.columns.size(); ++c) {
        if (summed[c] && query_.numeric[c])
            line.values[c] = figures.sums[c];
        else if (summed[c] || counted[c])
            line.values[c] = qlonglong(figures.rows);
    }
    return line;
}

void ReportLines::finish()
{
    finish(open_, all_);
}

void ReportLines::finish(const QVector<Figures> &open, const Figures &all)
{
    if (started_)
        closeGroups(0, open);
    if (grandTotal_)
        emit_(totalLine(report::Line::GrandTotal, 0, QStringLiteral("Grand Total"), all, query_.grandTotal,
                        QVector<bool>(query_.columns.size(), false)));
}

qint64 streamReport(data::Connection &db, const ReportQuery &query, report::Sink &sink,
                    const std::function<void(qint64)> &progress)
{
    sink.begin(query.columns);
    qint64 rows = 0;
    ReportLines lines(query, [&](const report::Line &line) { sink.line(line); });
    db.forEachRow(query.sql, {}, [&](const QVector<QVariant> &row) {
        lines.add(row);
        if (++rows % ProgressEvery == 0 && progress)
            progress(rows);
    });
    lines.finish();
    if (progress)
        progress(rows);
    sink.end();
    return rows;
}

QStringList lineTexts(const report::Line &line, const QVector<report::Column> &columns)
{
    QStringList cells;
    for (int c = 0; c < line.values.size(); ++c) {
        const QVariant &v = line.values[c];
        cells << (v.typeId() == QMetaType::Double
                      ? data::formatValue(v, app::MakeDecFormat(qMax(0, columns.value(c).decimals)))
                      : v.toString());
    }
    return cells;
}

namespace {

// The figures of the open groups (each level's key up to that level) and of the whole result, in
// one pass of the engine over the unordered rows.
std::pair<QVector<Figures>, Figures> engineFigures(data::Connection &db, const ReportQuery &q,
                                                   const QVector<QVariant> &key)
{
    QVector<int> summed;
    for (int c = 1; c < q.columns.size(); ++c)
        if (q.numeric[c] && (q.total[c] || q.grandTotal[c]))
            summed << c;
    QStringList items{QStringLiteral("COUNT(*)")};
    for (int c : summed)
        items << QStringLiteral("SUM(jet_value(c%1))").arg(c);
    QString condition;
    for (int level = 0; level < key.size(); ++level) {
        condition += (level ? QStringLiteral(" AND ") : QString()) + QStringLiteral("c%1 IS ?%2").arg(q.groups[level]).arg(level + 1);
        items << QStringLiteral("SUM(CASE WHEN %1 THEN 1 ELSE 0 END)").arg(condition);
        for (int c : summed)
            items << QStringLiteral("SUM(CASE WHEN %1 THEN jet_value(c%2) END)").arg(condition).arg(c);
    }
    const data::RowSet result = db.select(
        QStringLiteral("SELECT ") + items.join(QStringLiteral(", ")) + QStringLiteral(" FROM (") + q.values + QLatin1Char(')'),
        key);
    const QVector<QVariant> &row = result.rows.value(0);
    const auto figures = [&](int at) {
        Figures f{QVector<double>(q.columns.size()), row.value(at).toLongLong()};
        for (int i = 0; i < summed.size(); ++i)
            f.sums[summed[i]] = row.value(at + 1 + i).toDouble();
        return f;
    };
    QVector<Figures> open;
    for (int level = 0; level < key.size(); ++level)
        open << figures((level + 1) * (summed.size() + 1));
    return {open, figures(0)};
}

} // namespace

PreviewResult runPreview(data::Connection &db, const ReportQuery &query, int cap,
                         const std::function<void(const PreviewResult &)> &firstRows)
{
    PreviewResult result;
    QVector<QVector<QVariant>> rows;
    db.forEachRow(query.sql + QStringLiteral(" LIMIT %1").arg(cap + 1), {},
                  [&](const QVector<QVariant> &row) { rows << row; });
    const bool whole = rows.size() <= cap;
    if (!whole)
        rows.resize(cap);
    ReportLines lines(query, [&](const report::Line &line) {
        result.rows << lineTexts(line, query.columns);
        result.shownRows += line.kind == report::Line::Data;
    });
    for (const QVector<QVariant> &row : std::as_const(rows))
        lines.add(row);
    if (whole) {
        lines.finish();
        result.dataRows = rows.size();
        return result;
    }
    if (firstRows) {
        result.dataRows = -1;
        firstRows(result);
    }
    const auto [open, all] = engineFigures(db, query, lines.openKey());
    lines.finish(open, all);
    result.dataRows = all.rows;
    return result;
}

PreviewResult PreviewJob::run(const QString &connectionString, const ReportQuery &query, int cap,
                              const std::function<void(const PreviewResult &)> &firstRows)
{
    QElapsedTimer clock;
    clock.start();
    PreviewResult result;
    try {
        const std::unique_ptr<data::Connection> db = data::Connection::open(connectionString, data::Access::ReadOnly);
        {
            std::lock_guard<std::mutex> hold(lock_);
            db_ = db.get();
            if (cancelled_)
                db_->interrupt();
        }
        try {
            result = runPreview(*db, query, cap, [&](PreviewResult partial) {
                partial.seconds = clock.elapsed() / 1000.0;
                if (firstRows && !cancelled_)
                    firstRows(partial);
            });
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
