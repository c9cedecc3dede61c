#include "ui/crosstab/CrossPivot.h"
#include "app/Convert.h"
#include "data/JetFunctions.h"
#include "data/JetSql.h"
#include <QDate>
#include <QHash>
#include <algorithm>

namespace crosstab {

namespace {

// Where a heading goes: an empty value first, then numbers by value, then dates by date, then
// texts ignoring case. Numbers and dates may come as text, as Format makes them.
struct Place {
    int rank = 0;
    double number = 0;
    QString text;

    bool operator<(const Place &other) const
    {
        if (rank != other.rank)
            return rank < other.rank;
        if (rank != 3)
            return number < other.number;
        const int order = QString::compare(text, other.text, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : text < other.text;
    }
};

Place placeOf(const QVariant &v)
{
    if (v.isNull() || v.toString().isEmpty())
        return {};
    if (const std::optional<double> number = data::numberValue(v))
        return {1, *number, {}};
    const QString t = v.toString().trimmed();
    for (const char *format : {"dd/MM/yyyy", "d/M/yyyy", "yyyy-MM-dd"}) {
        const QDate date = QDate::fromString(t.left(10), QLatin1String(format));
        if (date.isValid())
            return {2, double(date.toJulianDay()), {}};
    }
    return {3, 0, v.toString()};
}

// The distinct values in display order, as texts.
QStringList axis(const QVector<QVariant> &values)
{
    QHash<QString, QVariant> distinct;
    for (const QVariant &v : values)
        distinct.insert(app::textOf(v), v);
    std::vector<std::pair<Place, QString>> sorted;
    for (auto it = distinct.cbegin(); it != distinct.cend(); ++it)
        sorted.emplace_back(placeOf(it.value()), it.key());
    std::sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) {
        return a.first < b.first || (!(b.first < a.first) && a.second < b.second);
    });
    QStringList out;
    for (const auto &entry : sorted)
        out << entry.second;
    return out;
}

} // namespace

QString pivotSql(const CrossDefinition &d, const QString &sourceFrom, data::Engine engine)
{
    const auto jet = [engine](const QString &expression) { return data::translateExpression(expression, engine); };
    const bool grouped = !d.group.isEmpty();
    QString fields = jet(d.row) + QStringLiteral(" AS r, ") + jet(d.col) + QStringLiteral(" AS c, ");
    if (grouped)
        fields += jet(d.group) + QStringLiteral(" AS g, ");
    const QString masterKey = d.reportType == 1   ? QStringLiteral("M20.Col99")
                              : d.reportType == 2 ? QStringLiteral("M02.Col99")
                                                  : QString();
    if (masterKey.isEmpty()) {
        QString keys = jet(d.row) + QStringLiteral(", ") + jet(d.col);
        if (grouped)
            keys += QStringLiteral(", ") + jet(d.group);
        return QStringLiteral("SELECT ") + fields + QStringLiteral("SUM(") + jet(d.disp) + QStringLiteral(") AS v") +
               sourceFrom + QStringLiteral("GROUP BY ") + keys;
    }
    const QString keys = grouped ? QStringLiteral("r, c, g") : QStringLiteral("r, c");
    return QStringLiteral("SELECT ") + keys + QStringLiteral(", SUM(v) AS v FROM (SELECT DISTINCT ") + masterKey +
           QStringLiteral(" AS k, ") + fields + jet(d.disp) + QStringLiteral(" AS v") + sourceFrom +
           QStringLiteral(") AS p WHERE k IS NOT NULL GROUP BY ") + keys;
}

namespace {

// On the files the engine groups by sorting every row; summing into a table keyed as it groups
// reads the year once without that sort. The rows are those pivotSql selects.
data::RowSet summedByKey(data::Connection &db, const CrossDefinition &d, const QString &sourceFrom,
                         const std::function<void(qint64)> &progress)
{
    QStringList keys{d.row, d.col};
    if (!d.group.isEmpty())
        keys << d.group;
    QString select = QStringLiteral("SELECT ");
    QVector<bool> ignoresCase;
    for (const QString &key : std::as_const(keys)) {
        select += data::translateExpression(key) + QStringLiteral(", ");
        ignoresCase << data::sortsIgnoringCase(key);
    }
    select += data::translateExpression(d.disp) + sourceFrom;

    data::RowSet sums;
    QHash<QByteArray, int> lineOf;
    QByteArray key, lastKey;
    int at = -1; // the line of lastKey: rows mostly come in runs of one cell
    const int valueAt = int(keys.size());
    qint64 read = 0;
    db.walkRows(select, {}, [&](const data::Row &row) {
        if (++read % 4096 == 0 && progress)
            progress(read);
        key.resize(0);
        for (int k = 0; k < valueAt; ++k)
            data::appendKey(key, row, k, data::Engine::File, ignoresCase[k]);
        if (at < 0 || key != lastKey) {
            auto found = lineOf.constFind(key);
            if (found == lineOf.cend()) {
                QVector<QVariant> line(valueAt + 1);
                for (int k = 0; k < valueAt; ++k)
                    line[k] = row.value(k);
                found = lineOf.insert(key, int(sums.rows.size()));
                sums.rows.push_back(std::move(line));
            }
            at = *found;
            lastKey.resize(0); // a copy of the bytes, so that key keeps its own storage
            lastKey.append(key.constData(), key.size());
        }
        // As Sum does: nulls are left out, text that is no number counts 0, and a sum of nothing
        // but nulls is null.
        const std::optional<double> number = row.number(valueAt);
        if (number || !row.value(valueAt).isNull()) {
            QVariant &sum = sums.rows[at][valueAt];
            sum = sum.toDouble() + number.value_or(0);
        }
    });
    return sums;
}

} // namespace

Pivot loadPivot(data::Connection &db, const CrossDefinition &definition, const QString &sourceFrom,
                const std::function<void(qint64)> &progress)
{
    const bool grouped = !definition.group.isEmpty();
    if (db.engine() == data::Engine::File && definition.reportType == 0)
        return makePivot(summedByKey(db, definition, sourceFrom, progress), grouped);
    return makePivot(db.select(pivotSql(definition, sourceFrom, db.engine())), grouped);
}

Pivot makePivot(const data::RowSet &rows, bool grouped)
{
    const int valueAt = grouped ? 3 : 2;
    QVector<QVariant> colValues, groupValues;
    QHash<QString, QVector<QVariant>> rowValues; // per group
    for (const auto &row : rows.rows) {
        colValues << row.value(1);
        const QVariant group = grouped ? row.value(2) : QVariant();
        groupValues << group;
        rowValues[app::textOf(group)] << row.value(0);
    }
    Pivot pivot;
    pivot.columns = axis(colValues);
    QHash<QString, int> colIndex;
    for (int c = 0; c < pivot.columns.size(); ++c)
        colIndex.insert(pivot.columns[c], c);

    const auto lineKey = [](const QString &group, const QString &row) { return group + QChar(0x1f) + row; };
    QHash<QString, QVector<std::optional<double>>> cells;
    for (const auto &row : rows.rows) {
        const QString group = grouped ? app::textOf(row.value(2)) : QString();
        auto &line = cells[lineKey(group, app::textOf(row.value(0)))];
        line.resize(pivot.columns.size());
        std::optional<double> &cell = line[colIndex.value(app::textOf(row.value(1)))];
        cell = cell.value_or(0) + row.value(valueAt).toDouble();
    }

    PivotLine total{PivotLine::Total, QString(), QVector<std::optional<double>>(pivot.columns.size()), 0};
    const auto add = [](PivotLine &into, const PivotLine &line) {
        for (int c = 0; c < line.cells.size(); ++c)
            if (line.cells[c])
                into.cells[c] = into.cells[c].value_or(0) + *line.cells[c];
        into.total += line.total;
    };
    for (const QString &group : axis(groupValues)) {
        PivotLine subtotal{PivotLine::Subtotal, group, QVector<std::optional<double>>(pivot.columns.size()), 0};
        if (grouped)
            pivot.lines << PivotLine{PivotLine::Group, group, {}, 0};
        for (const QString &label : axis(rowValues.value(group))) {
            PivotLine line{PivotLine::Data, label, cells.value(lineKey(group, label)), 0};
            for (const auto &cell : line.cells)
                line.total += cell.value_or(0);
            add(subtotal, line);
            pivot.lines << line;
        }
        if (grouped)
            pivot.lines << subtotal;
        add(total, subtotal);
    }
    pivot.lines << total;
    return pivot;
}

} // namespace crosstab
