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

ReportQuery reportQuery(const QVector<SelectedColumn> &rows, const QString &sourceFrom, data::Engine engine)
{
    ReportQuery q;
    QString select = QStringLiteral("Select Space(0)");
    QString groupOrder, sort;
    q.columns << report::Column{QStringLiteral("Cod"), 0, Qt::AlignLeft, -1};
    q.numeric = q.total = q.count = q.grandTotal = {false};
    for (int r = 0; r < rows.size(); ++r) {
        const SelectedColumn &c = rows[r];
        const int col = r + 1;
        const QString field = columnField(c, ColumnNames::Runnable);
        try { // an error's position points into the column's own text, which the user typed
            data::translateExpression(c.custom() ? c[SelectedColumn::ColumnName] : field);
        } catch (const data::DbError &e) {
            throw data::DbError(QStringLiteral("Column \"%1\": %2").arg(c[SelectedColumn::Caption], e.text()),
                                e.code());
        }
        select += QStringLiteral(" , ") + field;
        q.columns << report::Column{c[SelectedColumn::Caption], int(app::leadingNumber(c[SelectedColumn::Width])),
                                    c.numeric() ? Qt::AlignRight : Qt::AlignLeft,
                                    c.numeric() ? qBound(0, int(app::leadingNumber(c[SelectedColumn::Decimal])), 15)
                                                : -1};
        const auto ordered = [&](SelectedColumn::Cell setting) {
            return QStringLiteral(", ") + field + (c.is(setting, 'D') ? QStringLiteral(" Desc") : QString());
        };
        if (c.grouped()) {
            q.groups << col;
            groupOrder += ordered(SelectedColumn::Grouping);
        } else if (!c.is(SelectedColumn::Sorting, 'N')) {
            sort += ordered(SelectedColumn::Sorting);
        }
        q.numeric << c.numeric();
        q.total << c.is(SelectedColumn::Total, 'Y');
        q.count << c.is(SelectedColumn::Count, 'Y');
        q.grandTotal << c.is(SelectedColumn::GrandTotal, 'Y');
    }
    const QString orderBy = (groupOrder + sort).mid(2);
    q.sql = data::translateStatement(select + QLatin1Char(' ') + sourceFrom +
                                     (orderBy.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + orderBy),
                                 engine);
    return q;
}

ReportLines::ReportLines(const ReportQuery &query, std::function<void(const report::Line &)> onLine)
    : query_(query), emit_(std::move(onLine)),
      subtotals_(!query.groups.isEmpty() && (query.total.contains(true) || query.count.contains(true))),
      grandTotal_(query.grandTotal.contains(true)), key_(query.groups.size()), keyText_(query.groups.size()),
      open_(query.groups.size(), empty()), all_(empty())
{
    for (int c = 1; c < query.columns.size(); ++c)
        if (query.numeric[c] && (query.total[c] || query.grandTotal[c]))
            summed_ << c;
}

Figures ReportLines::empty() const
{
    return Figures{QVector<double>(query_.columns.size()), 0};
}

void ReportLines::add(const QVector<QVariant> &row)
{
    const int columns = query_.columns.size();
    int changed = started_ ? query_.groups.size() : 0;
    for (int level = 0; level < changed; ++level) {
        if (row.value(query_.groups[level]) != key_[level]) {
            changed = level;
            break;
        }
    }
    if (started_)
        closeGroups(changed);
    for (int level = changed; level < query_.groups.size(); ++level) {
        key_[level] = row.value(query_.groups[level]);
        keyText_[level] = key_[level].typeId() == QMetaType::QString ? key_[level].toString().toUtf8() : QByteArray();
    }
    started_ = true;
    listedOpen_ = query_.groups.size();

    report::Line line;
    line.values.resize(columns);
    line.values[0] = QString();
    for (int c = 1; c < columns; ++c) {
        const QVariant &v = row.value(c);
        const std::optional<double> number = query_.numeric[c] ? data::numberValue(v) : std::nullopt;
        line.values[c] = number ? QVariant(*number) : v.isNull() ? QVariant() : QVariant(keyText(v));
    }
    for (int c : std::as_const(summed_))
        tally(c, line.values[c].typeId() == QMetaType::Double ? line.values[c].toDouble() : 0);
    countRow();
    emit_(line);
}

bool ReportLines::sameGroup(const data::Row &row, int level) const
{
    const int column = query_.groups[level];
    QByteArrayView bytes;
    if (row.text(column, bytes))
        return key_[level].typeId() == QMetaType::QString && bytes == keyText_[level];
    return row.value(column) == key_[level];
}

void ReportLines::addUnlisted(const data::Row &row)
{
    // The rows come in group order: a group that ends, and every group inside it, never returns.
    for (int level = 0; level < listedOpen_; ++level)
        if (!sameGroup(row, level)) {
            listedOpen_ = level;
            break;
        }
    for (int c : std::as_const(summed_))
        tally(c, data::numberValue(row.value(c)).value_or(0));
    countRow();
}

// Adds a row's value to the open groups and the grand total.
void ReportLines::tally(int column, double value)
{
    for (int level = 0; level < listedOpen_; ++level)
        open_[level].sums[column] += value;
    all_.sums[column] += value;
}

void ReportLines::countRow()
{
    for (int level = 0; level < listedOpen_; ++level)
        ++open_[level].rows;
    ++all_.rows;
}

// Ends the groups from `from` inwards, the innermost first.
void ReportLines::closeGroups(int from)
{
    for (int level = query_.groups.size() - 1; level >= from; --level) {
        if (subtotals_)
            emit_(totalLine(report::Line::Subtotal, level, QStringLiteral("Sub Total ") + keyText(key_[level]),
                            open_[level], query_.total, query_.count));
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
    if (started_)
        closeGroups(0);
    if (grandTotal_)
        emit_(totalLine(report::Line::GrandTotal, 0, QStringLiteral("Grand Total"), all_, query_.grandTotal,
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

PreviewResult runPreview(data::Connection &db, const ReportQuery &query, int cap,
                         const std::function<void(const PreviewResult &)> &firstRows,
                         const std::function<void(qint64)> &progress)
{
    PreviewResult result;
    ReportLines lines(query, [&](const report::Line &line) {
        result.rows << lineTexts(line, query.columns);
        result.shownRows += line.kind == report::Line::Data;
    });
    QVector<QVariant> values;
    db.walkRows(query.sql, {}, [&](const data::Row &row) {
        if (result.dataRows < cap) {
            row.copyTo(values);
            lines.add(values);
        } else {
            if (result.dataRows == cap && firstRows)
                firstRows(PreviewResult{result.rows, -1, result.shownRows, 0, false, {}});
            lines.addUnlisted(row);
        }
        if (++result.dataRows % ProgressEvery == 0 && progress)
            progress(result.dataRows);
    });
    lines.finish();
    return result;
}

PreviewResult PreviewJob::run(const QString &connectionString, const ReportQuery &query, int cap,
                              const std::function<void(const PreviewResult &)> &firstRows,
                              const std::function<void(qint64)> &progress)
{
    QElapsedTimer clock;
    clock.start();
    PreviewResult result;
    try {
        run_.run(connectionString, [&](data::Connection &db) {
            result = runPreview(
                db, query, cap,
                [&](PreviewResult partial) {
                    partial.seconds = clock.elapsed() / 1000.0;
                    if (firstRows && !run_.cancelled())
                        firstRows(partial);
                },
                progress);
        });
    } catch (const data::DbError &e) {
        result.error = e.text();
    }
    if (run_.cancelled())
        result = PreviewResult{{}, 0, 0, 0, true, {}};
    result.seconds = clock.elapsed() / 1000.0;
    return result;
}

void PreviewJob::cancel()
{
    run_.cancel();
}
