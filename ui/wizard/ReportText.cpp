#include "ui/wizard/ReportText.h"
#include "app/Convert.h"
#include "app/Module1.h"
#include <algorithm>

namespace {

constexpr int MaxDecimals = 15;

const QString ChildColumns = QStringLiteral(
    "ColCode, ColTableName, ColFieldNameOrig, ColFieldNameDisp, ColFieldDataType, ColAlign, ColWidth, "
    "ColDecimal, ColGroup, ColSort, ColTotal, ColCount, ColGrandTotal, ColType, ColSeq");

QString firstChar(const QStringList &cells, int col)
{
    return cells.value(col).left(1);
}

// Every list is built with a comma in front of each entry; the stored text drops the first one.
QString withoutFirst(const QString &list)
{
    return list.mid(1);
}

QString marks(int count)
{
    QStringList m;
    for (int i = 0; i < count; ++i)
        m << QStringLiteral("?");
    return m.join(QLatin1Char(','));
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
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
    t.formatStr = QStringLiteral("Cod");
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &c = rows[r];
        const QString row = QString::number(r + 1);
        const QString field = columnField(c, names);
        const bool numeric = c.value(2) == QLatin1String("N");
        t.formatStr += QLatin1Char('|') + QLatin1String(numeric ? ">" : "<") + c.value(3);
        if (firstChar(c, 7) == QLatin1String("N")) {
            // Decimals that are no number count as none, as they are stored; a stored count
            // beyond what a double can show is cut to that, as it would build a format of any size.
            const int places =
                int(std::clamp(app::roundHalfEven(app::leadingNumber(c.value(6))), 0.0, double(MaxDecimals)));
            select += QLatin1Char(',')
                + (numeric ? QStringLiteral(" format( ") + field + QStringLiteral(" , '") + app::MakeDecFormat(places)
                          + QStringLiteral("')")
                           : field);
            const QString sortCode = firstChar(c, 8);
            if (sortCode != QLatin1String("N"))
                sort += QLatin1Char(',') + field + QLatin1String(sortCode == QLatin1String("D") ? " Desc " : " ");
            widths += QLatin1Char(',') + c.value(5);
        } else {
            ++t.groupCount;
            groupSelect += QLatin1Char(',') + field;
            groupOrder += QLatin1Char(',') + field + QLatin1String(firstChar(c, 7) == QLatin1String("D") ? " Desc " : " ");
        }
        if (firstChar(c, 9) == QLatin1String("Y")) {
            totals += QLatin1Char(',') + row;
            decimals += QLatin1Char(',') + c.value(6);
        }
        if (firstChar(c, 10) == QLatin1String("Y"))
            counts += QLatin1Char(',') + row;
        if (firstChar(c, 11) == QLatin1String("Y"))
            grandTotals += QLatin1Char(',') + row;
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

void storeReport(data::Connection &db, const QString &code, bool replaceExisting, const QString &reportName,
                 const QString &family, const QVector<QStringList> &rows, const ReportText &text)
{
    data::Transaction tx(db);
    if (replaceExisting) {
        db.execute(QStringLiteral("Delete From CrMain Where ColCode =?"), {code});
        db.execute(QStringLiteral("Delete From CrChild Where ColCode =?"), {code});
    }
    const QString insertChild = QStringLiteral("Insert Into CrChild (") + ChildColumns + QStringLiteral(") Values (")
        + marks(15) + QLatin1Char(')');
    for (int r = 0; r < rows.size(); ++r)
        db.execute(insertChild, childRow(code, rows[r], r + 1));
    db.execute(QStringLiteral("Insert Into CrMain (ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, "
                              "ColTotGroupingCol, ColTotalStr, ColCountStr, ColGrandTotalStr, ColTotStrDecimal, "
                              "ColFormatStr, ColWidthStrCol) Values (")
                   + marks(12) + QLatin1Char(')'),
               {code, family, reportName.trimmed(), text.sql, text.orderBy, text.groupCount, text.totalStr,
                text.countStr, text.grandTotalStr, textOrNull(text.totDecimalStr), text.formatStr,
                textOrNull(text.widthStr)});
    tx.commit();
}
