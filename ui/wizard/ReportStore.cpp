#include "ui/wizard/ReportStore.h"
#include "app/Convert.h"
#include "ui/wizard/ReportText.h"
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

const QString ChildColumns = QStringLiteral(
    "ColCode, ColTableName, ColFieldNameOrig, ColFieldNameDisp, ColFieldDataType, ColAlign, ColWidth, "
    "ColDecimal, ColGroup, ColSort, ColTotal, ColCount, ColGrandTotal, ColType, ColSeq");

const QString MainColumns = QStringLiteral(
    "ColCode, ColMenuCode, ColReportName, ColSql, ColOrderBy, ColTotGroupingCol, ColTotalStr, ColCountStr, "
    "ColGrandTotalStr, ColTotStrDecimal, ColFormatStr, ColWidthStrCol");

// The twelve cells of a selected column as CrChild names them, then its place.
const QString CellColumns = QStringLiteral(
    "ColTableName, ColFieldNameOrig, ColFieldDataType, ColFieldNameDisp, ColAlign, ColWidth, ColDecimal, "
    "ColGroup, ColSort, ColTotal, ColCount, ColGrandTotal, ColSeq");
constexpr int MaxDecimals = 15;

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

// The report's CrMain row (its name first), then its CrChild rows (their cells and place first) in
// their order; empty when the report does not exist.
QVector<QVector<QVariant>> storedRows(data::Connection &year, const QString &code)
{
    QVector<QVector<QVariant>> rows =
        year.select(QStringLiteral("Select ColReportName, ") + MainColumns + QStringLiteral(" From CrMain Where ColCode=?"),
                    {code})
            .rows;
    if (rows.isEmpty())
        return rows;
    year.forEachRow(QStringLiteral("Select ") + CellColumns + QStringLiteral(", ") + ChildColumns
                        + QStringLiteral(" From CRChild Where  ColCode=? Order by ColSeq, rowid"),
                    {code}, [&](const QVector<QVariant> &row) { rows << row; });
    return rows;
}

// A width or decimals cell that is empty or a whole number from 0 stays; any other becomes the
// whole number a save would use, and `problems` says so.
void keepWhole(SelectedColumn &column, SelectedColumn::Cell cell, const char *what, double max, QStringList &problems)
{
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    QString &value = column[cell];
    if (value.isEmpty() || digits.match(value).hasMatch())
        return;
    const QString whole = app::numberText(std::clamp(app::roundHalfEven(app::leadingNumber(value)), 0.0, max));
    problems << QStringLiteral("Column \"%1\": the stored %2 \"%3\" is not a whole number; a save stores %4.")
                    .arg(column[SelectedColumn::Caption], QLatin1String(what), value, whole);
    value = whole;
}

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
    db.execute(QStringLiteral("Insert Into CrMain (") + MainColumns + QStringLiteral(") Values (") + marks(12)
                   + QLatin1Char(')'),
               {code, family, reportName.trimmed(), text.sql, text.orderBy, text.groupCount, text.totalStr,
                text.countStr, text.grandTotalStr, textOrNull(text.totDecimalStr), text.formatStr,
                textOrNull(text.widthStr)});
}

} // namespace

std::optional<LoadedReport> loadReport(data::Connection &year, const QString &code)
{
    LoadedReport report;
    report.stored = storedRows(year, code);
    if (report.stored.isEmpty())
        return std::nullopt;
    report.name = app::textOf(report.stored[0][0]);
    QSet<qint64> places;
    bool renumbered = false;
    for (int r = 1; r < report.stored.size(); ++r) {
        const QVector<QVariant> &row = report.stored[r];
        SelectedColumn column;
        for (int c = 0; c < SelectedColumn::Cells; ++c)
            column[SelectedColumn::Cell(c)] = app::textOf(row[c]);
        const std::optional<qint64> place = app::wholeNumber(row[SelectedColumn::Cells]);
        renumbered = renumbered || !place || places.contains(*place);
        if (place)
            places.insert(*place);
        keepWhole(column, SelectedColumn::Width, "width", 1e9, report.problems);
        keepWhole(column, SelectedColumn::Decimal, "decimals", MaxDecimals, report.problems);
        report.rows << column;
    }
    if (renumbered)
        report.problems.prepend(QStringLiteral("The stored column numbers (ColSeq) are missing or repeated; a save "
                                               "numbers the columns 1 to %1 in the order shown.")
                                    .arg(report.rows.size()));
    return report;
}

bool reportNameTaken(data::Connection &year, const QString &name)
{
    return !year.select(QStringLiteral("Select 1 from CrMain where ColReportName =? Limit 1"), {name}).rows.isEmpty();
}

app::SaveResult saveReport(data::Connection &year, QString &code, const QString &reportName,
                           const QVector<SelectedColumn> &rows, const LoadedReport *loaded, bool overwrite)
{
    const app::Settings &s = app::settings();
    data::Transaction tx(year);
    if (loaded && !overwrite)
        if (const auto changed = app::changedElsewhere(storedRows(year, code), loaded->stored))
            return *changed;
    const QString name = reportName.trimmed();
    if (name.toLower() != (loaded ? loaded->name.trimmed().toLower() : QString()) && reportNameTaken(year, name))
        return app::SaveResult::DuplicateName;
    if (!loaded)
        code = app::NewOthKey(year, QStringLiteral("CRF"), code);
    storeReport(year, code, loaded != nullptr, name, s.ReportFamily, rows,
                buildReportText(rows, s.ExtraSelect, s.SourceFrom));
    tx.commit();
    return app::SaveResult::Saved;
}

void deleteReport(data::Connection &year, const QString &code)
{
    data::Transaction tx(year);
    year.execute(QStringLiteral("DELETE From CrMain  WHERE ColCode= ?"), {code});
    year.execute(QStringLiteral("DELETE From CrChild WHERE ColCode= ?"), {code});
    tx.commit();
}
