#include "ui/wizard/ReportText.h"
#include "app/Convert.h"
#include "app/Module1.h"
#include <algorithm>

namespace {

constexpr int MaxDecimals = 15;

QString firstChar(const QStringList &cells, int col)
{
    return cells.value(col).left(1);
}

bool startsWith(const QStringList &cells, int col, char code)
{
    return cells.value(col).startsWith(QLatin1Char(code));
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

QString columnField(const QStringList &cells, ColumnNames names)
{
    if (names == ColumnNames::Runnable && cells.value(0).startsWith(QLatin1String("CF-")))
        return QLatin1Char('(') + cells.value(1) + QLatin1Char(')');
    return cells.value(0) + QLatin1Char('.') + cells.value(1);
}

ReportText buildReportText(const QVector<QStringList> &rows, const QString &extraSelect, const QString &sourceFrom,
                           ColumnNames names)
{
    ReportText t;
    QString select, sort, widths, groupSelect, groupOrder, totals, decimals, counts, grandTotals;
    // Appended to in place: a long report would otherwise copy its growing texts once per column.
    select.reserve(rows.size() * 48);
    t.formatStr = QStringLiteral("Cod");
    t.formatStr.reserve(rows.size() * 24);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &c = rows[r];
        const QString row = QString::number(r + 1);
        const QString field = columnField(c, names);
        const bool numeric = c.value(2) == QLatin1String("N");
        t.formatStr += QLatin1Char('|');
        t.formatStr += QLatin1Char(numeric ? '>' : '<');
        t.formatStr += c.value(3);
        if (startsWith(c, 7, 'N')) {
            select += QLatin1Char(',');
            if (numeric) {
                select += QLatin1String(" format( ");
                select += field;
                select += QLatin1String(" , '");
                select += decimalFormat(c.value(6));
                select += QLatin1String("')");
            } else {
                select += field;
            }
            if (!startsWith(c, 8, 'N')) {
                sort += QLatin1Char(',');
                sort += field;
                sort += QLatin1String(startsWith(c, 8, 'D') ? " Desc " : " ");
            }
            widths += QLatin1Char(',');
            widths += c.value(5);
        } else {
            ++t.groupCount;
            groupSelect += QLatin1Char(',');
            groupSelect += field;
            groupOrder += QLatin1Char(',');
            groupOrder += field;
            groupOrder += QLatin1String(startsWith(c, 7, 'D') ? " Desc " : " ");
        }
        if (startsWith(c, 9, 'Y')) {
            totals += QLatin1Char(',');
            totals += row;
            decimals += QLatin1Char(',');
            decimals += c.value(6);
        }
        if (startsWith(c, 10, 'Y')) {
            counts += QLatin1Char(',');
            counts += row;
        }
        if (startsWith(c, 11, 'Y')) {
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

data::Params childRow(const QString &code, const QStringList &cells, int seq)
{
    return {code,
            cells.value(0),
            cells.value(1),
            cells.value(3),
            cells.value(2),
            firstChar(cells, 4),
            cells.value(5),
            app::leadingNumber(cells.value(6)),
            firstChar(cells, 7),
            firstChar(cells, 8),
            firstChar(cells, 9),
            firstChar(cells, 10),
            firstChar(cells, 11),
            QStringLiteral("F"),
            seq};
}
