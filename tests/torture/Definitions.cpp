#include "tests/torture/Definitions.h"
#include "app/Module1.h"
#include "ui/wizard/ReportText.h"
#include <QRegularExpression>

namespace torture {

namespace {

QString tag(const char *what, int key, int version)
{
    return QStringLiteral("%1.K%2V%3").arg(QLatin1String(what)).arg(key).arg(version);
}

QString compare(const QString &what, const QStringList &stored, const QStringList &expected)
{
    if (stored == expected)
        return {};
    return QStringLiteral("%1 differs: stored %2 rows, expected %3; first stored \"%4\", expected \"%5\"")
        .arg(what)
        .arg(stored.size())
        .arg(expected.size())
        .arg(stored.value(0).left(200), expected.value(0).left(200));
}

} // namespace

QString rowText(const QVector<QVariant> &row)
{
    QStringList cells;
    for (const QVariant &v : row)
        cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
    return cells.join(QLatin1Char('|'));
}

CrossTab crossTab(int key, int version)
{
    CrossTab c;
    c.name = QStringLiteral("Torture cross-tab %1 v%2").arg(key).arg(version);
    c.desc = QStringLiteral("Description of %1 at %2").arg(key).arg(version);
    c.rowTag = tag("ROW", key, version);
    c.rowText = QStringLiteral("Row %1/%2").arg(key).arg(version);
    c.colTag = tag("COL", key, version);
    c.colText = QStringLiteral("Column %1/%2").arg(key).arg(version);
    c.dispTag = tag("SUM", key, version);
    c.dispText = QStringLiteral("Shown %1/%2").arg(key).arg(version);
    c.groupTag = tag("GRP", key, version);
    c.groupText = QStringLiteral("Group %1/%2").arg(key).arg(version);
    c.grouping = version % 2 == 1;
    c.repType = (key + version) % 3;
    return c;
}

QString tabularName(int key, int version)
{
    return QStringLiteral("Torture tabular %1 v%2").arg(key).arg(version);
}

QVector<QStringList> tabularRows(int key, int version)
{
    static const char *const aliases[] = {"T51", "T52", "M02", "M20"};
    static const char *const types[] = {"N", "C", "D"};
    static const char *const orders[] = {"None", "Asc", "Desc"};
    const int count = 1 + (key * 53 + version * 29) % 200;
    QVector<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        const bool numeric = i % 3 == 0;
        const auto yes = [&](int salt) { return (i + version + salt) % 4 == 0 ? QStringLiteral("Yes") : QStringLiteral("No"); };
        rows << QStringList{QLatin1String(aliases[i % 4]),
                            QStringLiteral("Col%1").arg(90 + i % 10),
                            QLatin1String(types[i % 3]),
                            QStringLiteral("K%1 V%2 C%3").arg(key).arg(version).arg(i),
                            numeric ? QStringLiteral("Right") : QStringLiteral("Left"),
                            QString::number(1000 + 10 * i),
                            numeric ? QString::number((version + i) % 4) : QString(),
                            i < 2 && version % 2 ? QLatin1String(orders[1 + i]) : QStringLiteral("None"),
                            QLatin1String(orders[(i + version) % 3]),
                            yes(0),
                            yes(1),
                            yes(2)};
    }
    return rows;
}

QVector<Stored> storedDefinitions(data::Connection &year, Kind kind)
{
    const bool cross = kind == Kind::CrossTab;
    static const QRegularExpression crossName(QStringLiteral("^Torture cross-tab (\\d+) v(\\d+)$"));
    static const QRegularExpression tabName(QStringLiteral("^Torture tabular (\\d+) v(\\d+)$"));
    QVector<Stored> result;
    const auto rows = year.select(cross ? QStringLiteral("Select Col99, ColRepName From ZoCTR Order By Col99")
                                        : QStringLiteral("Select ColCode, ColReportName From CrMain Order By ColCode"));
    for (const auto &row : rows.rows) {
        Stored s;
        s.code = row[0].toString();
        const auto m = (cross ? crossName : tabName).match(row[1].toString());
        s.key = m.hasMatch() ? m.captured(1).toInt() : -1;
        s.version = m.hasMatch() ? m.captured(2).toInt() : -1;
        result << s;
    }
    return result;
}

QString checkStored(data::Connection &year, Kind kind, const Stored &s)
{
    QStringList stored, expected;
    if (kind == Kind::CrossTab) {
        const CrossTab c = crossTab(s.key, s.version);
        for (const auto &row :
             year.select(QStringLiteral("Select Col99, ColRepName, ColRepDesc, ColRowData, ColColData, ColDispData, "
                                        "ColGroupField, ColIsGrouping, ColRowDataName, ColColDataName, "
                                        "ColDispDataName, ColGroupFieldName, ColRepType From ZoCTR Where Col99=?"),
                         {s.code})
                 .rows)
            stored << rowText(row);
        expected << rowText({s.code, c.name, c.desc, c.rowTag, c.colTag, c.dispTag, c.groupTag, c.grouping ? 1 : 0,
                          c.rowText, c.colText, c.dispText, c.groupText, c.repType});
        return compare(s.code, stored, expected);
    }
    const QVector<QStringList> rows = tabularRows(s.key, s.version);
    const app::Family family = app::reportFamily(QStringLiteral("PWR"));
    const ReportText t = buildReportText(rows, family.ExtraSelect, family.SourceFrom);
    const auto orNull = [](const QString &text) { return text.isEmpty() ? QVariant() : QVariant(text); };
    for (const auto &row :
         year.select(QStringLiteral("Select ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, ColTotGroupingCol, "
                                    "ColTotalStr, ColCountStr, ColGrandTotalStr, ColTotStrDecimal, ColFormatStr, "
                                    "ColWidthStrCol From CrMain Where ColCode=?"),
                     {s.code})
             .rows)
        stored << rowText(row);
    for (const auto &row :
         year.select(QStringLiteral("Select ColCode, ColTableName, ColFieldNameOrig, ColFieldNameDisp, "
                                    "ColFieldDataType, ColAlign, ColWidth, ColDecimal, ColGroup, ColSort, ColTotal, "
                                    "ColCount, ColGrandTotal, ColType, ColSeq From CrChild Where ColCode=? "
                                    "Order By ColSeq"),
                     {s.code})
             .rows)
        stored << rowText(row);
    expected << rowText({s.code, QStringLiteral("PWR"), tabularName(s.key, s.version), t.sql, t.orderBy, t.groupCount,
                      t.totalStr, t.countStr, t.grandTotalStr, orNull(t.totDecimalStr), t.formatStr,
                      orNull(t.widthStr)});
    for (int i = 0; i < rows.size(); ++i)
        expected << rowText(childRow(s.code, rows[i], i + 1));
    return compare(s.code, stored, expected);
}

} // namespace torture
