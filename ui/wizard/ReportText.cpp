#include "ui/wizard/ReportText.h"
#include "app/Convert.h"
#include "app/Module1.h"
#include <algorithm>

namespace {

constexpr int MaxDecimals = 15;

const QString ChildColumns = QStringLiteral(
    "ColCode, ColTableName, ColFieldNameOrig, ColFieldNameDisp, ColFieldDataType, ColAlign, ColWidth, "
    "ColDecimal, ColGroup, ColSort, ColTotal, ColCount, ColGrandTotal, ColType, ColSeq");

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

namespace {

struct StoredChild {
    qint64 rowId;
    data::Params values;
};

// Whether a stored row holds what binding the values would store. Qt compares text with numbers
// by converting one into the other; the engine keeps them apart, so a change of kind is a change.
bool storedAs(const data::Params &stored, const data::Params &bound)
{
    const auto isText = [](const QVariant &v) { return v.typeId() == QMetaType::QString; };
    for (int i = 0; i < bound.size(); ++i) {
        const QVariant &a = stored.value(i), &b = bound[i];
        if (isText(a) != isText(b) || a.isValid() != b.isValid() || a != b)
            return false;
    }
    return true;
}

// The stored column rows of a report in their order, under any spelling of its code.
QVector<StoredChild> storedChildren(data::Connection &db, const QString &code)
{
    QVector<StoredChild> stored;
    db.forEachRow(QStringLiteral("Select rowid, ") + ChildColumns
                      + QStringLiteral(" From CrChild Where ColCode =? Order By ColSeq, rowid"),
                  {code}, [&](const QVector<QVariant> &row) {
                      stored.push_back({row[0].toLongLong(), row.mid(1)});
                  });
    return stored;
}

// Writes the report's CrMain row and one CrChild row per column, inside the caller's
// transaction; a replace first removes the stored rows of the code.
void storeReport(data::Connection &db, const QString &code, bool replaceExisting, const QString &reportName,
                 const QString &family, const QVector<SelectedColumn> &rows, const ReportText &text)
{
    // A replace leaves the report's rows as a fresh insert would, but writes only the column rows
    // that differ: an edit of one column of a long report touches one row.
    QVector<StoredChild> stored;
    if (replaceExisting) {
        db.execute(QStringLiteral("Delete From CrMain Where ColCode =?"), {code});
        stored = storedChildren(db, code);
    }
    const QString insertChild = QStringLiteral("Insert Into CrChild (") + ChildColumns + QStringLiteral(") Values (")
        + marks(15) + QLatin1Char(')');
    const QString updateChild = QStringLiteral("Update CrChild Set (") + ChildColumns + QStringLiteral(") = (")
        + marks(15) + QStringLiteral(") Where rowid =?");
    for (int r = 0; r < rows.size(); ++r) {
        data::Params values = childRow(code, rows[r], r + 1);
        if (r >= stored.size()) {
            db.execute(insertChild, values);
        } else if (!storedAs(stored[r].values, values)) {
            values << stored[r].rowId;
            db.execute(updateChild, values);
        }
    }
    for (int r = rows.size(); r < stored.size(); ++r)
        db.execute(QStringLiteral("Delete From CrChild Where rowid =?"), {stored[r].rowId});
    db.execute(QStringLiteral("Insert Into CrMain (ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, "
                              "ColTotGroupingCol, ColTotalStr, ColCountStr, ColGrandTotalStr, ColTotStrDecimal, "
                              "ColFormatStr, ColWidthStrCol) Values (")
                   + marks(12) + QLatin1Char(')'),
               {code, family, reportName.trimmed(), text.sql, text.orderBy, text.groupCount, text.totalStr,
                text.countStr, text.grandTotalStr, textOrNull(text.totDecimalStr), text.formatStr,
                textOrNull(text.widthStr)});
}

} // namespace

void saveReport(QString &code, const QString &reportName, const QVector<SelectedColumn> &rows)
{
    const app::Settings &s = app::settings();
    const bool replacing = !code.isEmpty();
    // A new report's number is taken before its transaction and stays the report's own.
    if (!replacing)
        code = QStringLiteral("CRF%1").arg(app::GetRecNo(QStringLiteral("OTH")));
    data::Transaction tx(app::YearDb());
    storeReport(app::YearDb(), code, replacing, reportName, s.ReportFamily, rows,
                buildReportText(rows, s.ExtraSelect, s.SourceFrom));
    tx.commit();
}
