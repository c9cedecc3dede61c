#include "ui/crosstab/CrossPivot.h"
#include "data/JetSql.h"
#include <QHash>
#include <algorithm>

namespace crosstab {

namespace {

QString jet(const QString &expression) { return data::translateExpression(expression); }

QString text(const QVariant &v) { return v.isNull() ? QString() : v.toString(); }

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool before(const QVariant &a, const QVariant &b)
{
    const auto rank = [](const QVariant &v) { return v.isNull() ? 0 : isNumber(v) ? 1 : 2; };
    if (rank(a) != rank(b))
        return rank(a) < rank(b);
    if (isNumber(a))
        return a.toDouble() < b.toDouble();
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
}

// The distinct values in display order, as texts.
QStringList axis(const QVector<QVariant> &values)
{
    QHash<QString, QVariant> distinct;
    for (const QVariant &v : values)
        distinct.insert(text(v), v);
    QVector<QVariant> sorted(distinct.begin(), distinct.end());
    std::sort(sorted.begin(), sorted.end(), before);
    QStringList out;
    for (const QVariant &v : sorted)
        out << text(v);
    return out;
}

} // namespace

QString pivotSql(const CrossDefinition &d, const QString &sourceFrom)
{
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
           QStringLiteral(") WHERE k IS NOT NULL GROUP BY ") + keys;
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
        rowValues[text(group)] << row.value(0);
    }
    Pivot pivot;
    pivot.columns = axis(colValues);
    QHash<QString, int> colIndex;
    for (int c = 0; c < pivot.columns.size(); ++c)
        colIndex.insert(pivot.columns[c], c);

    const auto lineKey = [](const QString &group, const QString &row) { return group + QChar(0x1f) + row; };
    QHash<QString, QVector<std::optional<double>>> cells;
    for (const auto &row : rows.rows) {
        const QString group = grouped ? text(row.value(2)) : QString();
        auto &line = cells[lineKey(group, text(row.value(0)))];
        line.resize(pivot.columns.size());
        std::optional<double> &cell = line[colIndex.value(text(row.value(1)))];
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
