#include "ui/wizard/ReportText.h"
#include "app/Convert.h"
#include "app/Module1.h"
#include <algorithm>

namespace {

constexpr int MaxDecimals = 15;

QString firstChar(const SelectedColumn &column, SelectedColumn::Cell cell)
{
    return column[cell].left(1);
}

// Decimals that are no number count as none, as they are stored; a stored count beyond what a
// double can show is cut to that, as it would build a format of any size.
const QString &decimalFormat(const QString &decimals)
{
    static const QVector<QString> formats = [] {
        QVector<QString> f;
        for (int places = 0; places <= MaxDecimals; ++places)
            f << app::MakeDecFormat(places);
        return f;
    }();
    return formats[int(std::clamp(app::roundHalfEven(app::leadingNumber(decimals)), 0.0, double(MaxDecimals)))];
}

// Every list is built with a comma in front of each entry; the stored text drops the first one.
QString withoutFirst(const QString &list)
{
    return list.mid(1);
}

} // namespace

QString columnField(const SelectedColumn &column, ColumnNames names)
{
    using C = SelectedColumn;
    if (names == ColumnNames::Runnable && column.custom())
        return QLatin1Char('(') + column[C::ColumnName] + QLatin1Char(')');
    return column[C::TabName] + QLatin1Char('.') + column[C::ColumnName];
}

ReportText buildReportText(const QVector<SelectedColumn> &rows, const QString &extraSelect, const QString &sourceFrom,
                           ColumnNames names)
{
    using C = SelectedColumn;
    ReportText t;
    QString select, sort, widths, groupSelect, groupOrder, totals, decimals, counts, grandTotals;
    // Appended to in place: a long report would otherwise copy its growing texts once per column.
    select.reserve(rows.size() * 48);
    t.formatStr = QStringLiteral("Cod");
    t.formatStr.reserve(rows.size() * 24);
    for (int r = 0; r < rows.size(); ++r) {
        const SelectedColumn &c = rows[r];
        const QString row = QString::number(r + 1);
        const QString field = columnField(c, names);
        const bool numeric = c.numeric();
        t.formatStr += QLatin1Char('|');
        t.formatStr += QLatin1Char(numeric ? '>' : '<');
        t.formatStr += c[C::Caption];
        if (!c.grouped()) {
            select += QLatin1Char(',');
            if (numeric) {
                select += QLatin1String(" format( ");
                select += field;
                select += QLatin1String(" , '");
                select += decimalFormat(c[C::Decimal]);
                select += QLatin1String("')");
            } else {
                select += field;
            }
            if (!c.is(C::Sorting, 'N')) {
                sort += QLatin1Char(',');
                sort += field;
                sort += QLatin1String(c.is(C::Sorting, 'D') ? " Desc " : " ");
            }
            widths += QLatin1Char(',');
            widths += c[C::Width];
        } else {
            ++t.groupCount;
            groupSelect += QLatin1Char(',');
            groupSelect += field;
            groupOrder += QLatin1Char(',');
            groupOrder += field;
            groupOrder += QLatin1String(c.is(C::Grouping, 'D') ? " Desc " : " ");
        }
        if (c.is(C::Total, 'Y')) {
            totals += QLatin1Char(',');
            totals += row;
            decimals += QLatin1Char(',');
            decimals += c[C::Decimal];
        }
        if (c.is(C::Count, 'Y')) {
            counts += QLatin1Char(',');
            counts += row;
        }
        if (c.is(C::GrandTotal, 'Y')) {
            grandTotals += QLatin1Char(',');
            grandTotals += row;
        }
    }
    const QString tail = extraSelect + QLatin1Char(' ') + sourceFrom;
    if (groupSelect.isEmpty()) {
        t.sql = QStringLiteral("Select  Space(0) , ") + withoutFirst(select) + tail;
        t.orderBy = withoutFirst(sort);
    } else {
        t.sql = QStringLiteral("Select Space(0) , ") + withoutFirst(groupSelect) + select + tail;
        t.orderBy = withoutFirst(groupOrder) + QLatin1Char(' ') + sort;
    }
    t.totalStr = withoutFirst(totals);
    t.countStr = withoutFirst(counts);
    t.grandTotalStr = withoutFirst(grandTotals);
    t.totDecimalStr = withoutFirst(decimals);
    t.widthStr = withoutFirst(widths);
    return t;
}

data::Params childRow(const QString &code, const SelectedColumn &column, int seq)
{
    using C = SelectedColumn;
    return {code,
            column[C::TabName],
            column[C::ColumnName],
            column[C::Caption],
            column[C::DataType],
            firstChar(column, C::Alignment),
            column[C::Width],
            app::leadingNumber(column[C::Decimal]),
            firstChar(column, C::Grouping),
            firstChar(column, C::Sorting),
            firstChar(column, C::Total),
            firstChar(column, C::Count),
            firstChar(column, C::GrandTotal),
            QStringLiteral("F"),
            seq};
}
