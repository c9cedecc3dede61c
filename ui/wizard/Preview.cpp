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

Figures emptyFigures(const ReportQuery &q)
{
    return Figures{QVector<double>(q.columns.size()), 0};
}

// The numeric columns whose sums a total line shows.
QVector<int> summedColumns(const ReportQuery &q)
{
    QVector<int> summed;
    for (int c = 1; c < q.columns.size(); ++c)
        if (q.numeric[c] && (q.total[c] || q.grandTotal[c]))
            summed << c;
    return summed;
}

// A row's group keys one after the other; ends[level] is where the key of that level, which
// begins with those outside it, ends.
void groupKeys(const ReportQuery &q, const data::Row &row, QByteArray &key, QVector<qsizetype> &ends)
{
    key.resize(0);
    ends.resize(q.groups.size());
    for (int level = 0; level < q.groups.size(); ++level) {
        data::appendKey(key, row, q.groups[level], q.engine, q.groupIgnoresCase[level]);
        ends[level] = key.size();
    }
}

void numbersOf(const data::Row &row, const QVector<int> &summed, QVector<double> &numbers)
{
    numbers.resize(summed.size());
    for (int i = 0; i < summed.size(); ++i)
        numbers[i] = row.number(summed[i]).value_or(0);
}

void tally(Figures &f, const QVector<int> &summed, const QVector<double> &numbers)
{
    for (int i = 0; i < summed.size(); ++i)
        f.sums[summed[i]] += numbers[i];
    ++f.rows;
}

} // namespace

ReportQuery reportQuery(const QVector<SelectedColumn> &rows, const QString &sourceFrom, data::Engine engine)
{
    ReportQuery q;
    q.engine = engine;
    QString select = QStringLiteral("Select Space(0)");
    QString eachRow = QStringLiteral("each_row(Null");
    QString groupOrder, sort, rest;
    QStringList groupPlaces, sortPlaces, restPlaces; // the same order by the columns' places
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
        const auto ordered = [&](SelectedColumn::Cell setting, QStringList &places) {
            const QString direction = c.is(setting, 'D') ? QStringLiteral(" Desc") : QString();
            places << QString::number(col + 1) + direction;
            return QStringLiteral(", ") + field + direction;
        };
        if (c.grouped()) {
            q.groups << col;
            q.groupIgnoresCase << data::sortsIgnoringCase(field);
            groupOrder += ordered(SelectedColumn::Grouping, groupPlaces);
        } else if (!c.is(SelectedColumn::Sorting, 'N')) {
            sort += ordered(SelectedColumn::Sorting, sortPlaces);
        } else {
            rest += ordered(SelectedColumn::Sorting, restPlaces);
        }
        q.numeric << c.numeric();
        q.total << c.is(SelectedColumn::Total, 'Y');
        q.count << c.is(SelectedColumn::Count, 'Y');
        q.grandTotal << c.is(SelectedColumn::GrandTotal, 'Y');
        const bool figured = c.grouped() || (c.numeric() && (q.total.last() || q.grandTotal.last()));
        eachRow += QStringLiteral(", ") + (figured ? field : QStringLiteral("Null"));
    }
    // A sorted report's rows are ordered by its other columns too, so that rows equal in the
    // sorted ones come in one order wherever they are read: the preview's first rows, kept as
    // the engine sorts, are then those that printing and export list first.
    const bool sorted = !(groupOrder + sort).isEmpty();
    const QString orderBy = sorted ? (groupOrder + sort + rest).mid(2) : QString();
    const QString from = QLatin1Char(' ') + sourceFrom;
    q.sql = data::translateStatement(
        select + from + (orderBy.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + orderBy), engine);
    // The engine keeps only the first rows as it sorts, instead of sorting the year.
    if (!sorted)
        return q;
    const QString byPlaces = QStringLiteral(" ORDER BY ") + (groupPlaces + sortPlaces + restPlaces).join(QStringLiteral(", "));
    if (engine == data::Engine::File) {
        // Inside, every row goes to each_row: the inner LIMIT keeps the engine from merging the
        // two selects, which would let it stop reading once it has the first rows in an index's
        // order.
        q.firstRowsSql =
            QStringLiteral("SELECT * FROM (") +
            data::translateStatement(select + QStringLiteral(" , ") + eachRow + QLatin1Char(')') + from, engine) +
            QStringLiteral(" LIMIT -1)") + byPlaces + QStringLiteral(" LIMIT ?");
    } else {
        // The joined rows are made once and read twice; the server hands over the branches of
        // a UNION ALL one after the other, so the figures are whole before a row is listed.
        QStringList names;
        for (int c = 0; c < q.columns.size(); ++c)
            names << QStringLiteral("c%1").arg(c);
        q.firstRowsSql = QStringLiteral("WITH r(%1) AS MATERIALIZED (").arg(names.join(QStringLiteral(", "))) +
                         data::translateStatement(select + from, engine) +
                         QStringLiteral(") SELECT *, 0 FROM r UNION ALL (") +
                         data::translateStatement(QStringLiteral("SELECT *, 1 FROM r") + byPlaces, engine) +
                         QStringLiteral(" LIMIT ?)");
    }
    return q;
}

ReportTallies::ReportTallies(const ReportQuery &query)
    : query_(query), summed_(summedColumns(query)), groups_(query.groups.size()), all_(emptyFigures(query)),
      last_(query.groups.size())
{
}

void ReportTallies::add(const data::Row &row)
{
    numbersOf(row, summed_, numbers_);
    tally(all_, summed_, numbers_);
    groupKeys(query_, row, key_, ends_);
    for (int level = 0; level < groups_.size(); ++level) {
        // Rows mostly come in runs of one group, whose figures are then at hand without a lookup.
        Last &last = last_[level];
        const QByteArrayView levelKey(key_.constData(), ends_[level]);
        if (!last.figures || levelKey != last.key) {
            last.key.resize(0);
            last.key.append(levelKey.data(), levelKey.size());
            auto it = groups_[level].find(last.key);
            if (it == groups_[level].end())
                it = groups_[level].insert(last.key, emptyFigures(query_));
            last.figures = &*it; // an insert moves only the figures of its own level
        }
        tally(*last.figures, summed_, numbers_);
    }
}

Figures ReportTallies::group(int level, const QByteArray &key) const
{
    return groups_[level].value(key, emptyFigures(query_));
}

ReportLines::ReportLines(const ReportQuery &query, std::function<void(const report::Line &)> onLine,
                         const ReportTallies *tallies)
    : query_(query), emit_(std::move(onLine)), tallies_(tallies),
      subtotals_(!query.groups.isEmpty() && (query.total.contains(true) || query.count.contains(true))),
      grandTotal_(query.grandTotal.contains(true)), summed_(summedColumns(query)),
      open_(query.groups.size(), emptyFigures(query)), all_(emptyFigures(query)), keys_(query.groups.size()),
      labels_(query.groups.size())
{
}

void ReportLines::add(const data::Row &row)
{
    const int columns = query_.columns.size();
    groupKeys(query_, row, key_, ends_);
    int changed = started_ ? query_.groups.size() : 0;
    for (int level = 0; level < changed; ++level) {
        if (QByteArrayView(key_.constData(), ends_[level]) != keys_[level]) {
            changed = level;
            break;
        }
    }
    if (started_)
        closeGroups(changed);
    for (int level = changed; level < query_.groups.size(); ++level) {
        keys_[level] = key_.left(ends_[level]);
        labels_[level] = row.value(query_.groups[level]);
    }
    started_ = true;

    report::Line line;
    line.values.resize(columns);
    line.values[0] = QString();
    for (int c = 1; c < columns; ++c) {
        if (const std::optional<double> number = query_.numeric[c] ? row.number(c) : std::nullopt) {
            line.values[c] = *number;
            continue;
        }
        const QVariant v = row.value(c);
        line.values[c] = v.isNull() ? QVariant() : QVariant(keyText(v));
    }
    if (!tallies_) {
        numbersOf(row, summed_, numbers_);
        tally(all_, summed_, numbers_);
        for (Figures &group : open_)
            tally(group, summed_, numbers_);
    }
    emit_(line);
}

// Ends the groups from `from` inwards, the innermost first.
void ReportLines::closeGroups(int from)
{
    for (int level = query_.groups.size() - 1; level >= from; --level) {
        if (subtotals_)
            emit_(totalLine(report::Line::Subtotal, level, QStringLiteral("Sub Total ") + keyText(labels_[level]),
                            tallies_ ? tallies_->group(level, keys_[level]) : open_[level], query_.total,
                            query_.count));
        open_[level] = emptyFigures(query_);
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
        emit_(totalLine(report::Line::GrandTotal, 0, QStringLiteral("Grand Total"), tallies_ ? tallies_->all() : all_,
                        query_.grandTotal, QVector<bool>(query_.columns.size(), false)));
}

qint64 streamReport(data::Connection &db, const ReportQuery &query, report::Sink &sink,
                    const std::function<void(qint64)> &progress)
{
    sink.begin(query.columns);
    qint64 rows = 0;
    ReportLines lines(query, [&](const report::Line &line) { sink.line(line); });
    db.walkRows(query.sql, {}, [&](const data::Row &row) {
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
    ReportTallies tallies(query);
    ReportLines lines(
        query,
        [&](const report::Line &line) {
            result.rows << lineTexts(line, query.columns);
            result.shownRows += line.kind == report::Line::Data;
        },
        &tallies);
    const auto count = [&](const data::Row &row) {
        tallies.add(row);
        if (++result.dataRows % ProgressEvery == 0 && progress)
            progress(result.dataRows);
    };
    int listed = 0;
    const auto list = [&](const data::Row &row) {
        if (listed == cap && firstRows)
            firstRows(PreviewResult{result.rows, -1, result.shownRows, 0, false, {}});
        if (listed++ < cap)
            lines.add(row);
    };
    const auto both = [&](const data::Row &row) {
        count(row);
        list(row);
    };
    // The engine sorts only the rows listed, and every row it reads goes to the tallies: one
    // read of the year, no sort of it.
    const int marker = int(query.columns.size());
    if (query.firstRowsSql.isEmpty())
        db.walkRows(query.sql, {}, both);
    else if (query.engine == data::Engine::Server)
        db.walkRows(query.firstRowsSql, {cap}, [&](const data::Row &row) { row.number(marker) == 0 ? count(row) : list(row); });
    else if (!db.withEachRow(count, [&] { db.walkRows(query.firstRowsSql, {cap}, list); }))
        db.walkRows(query.sql, {}, both);
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
