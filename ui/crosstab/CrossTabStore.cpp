#include "ui/crosstab/CrossTabStore.h"
#include "app/Convert.h"
#include "app/Module1.h"

namespace crosstab {

namespace {

// The columns after the key, in the order of CrossTabDefinition.
const QString Columns = QStringLiteral(
    "ColRepName, ColRepDesc, ColRowData, ColColData, ColDispData, ColGroupField, ColIsGrouping, ColRowDataName, "
    "ColColDataName, ColDispDataName, ColGroupFieldName, ColRepType");

using app::textOf;

// The definition's row as stored now; empty when no definition has the key.
QVector<QVariant> storedRow(data::Connection &year, const QString &recNo)
{
    const data::RowSet found =
        year.select(QStringLiteral("Select ") + Columns + QStringLiteral(" From ZoCTR Where Col99= ?"), {recNo});
    return found.rows.isEmpty() ? QVector<QVariant>() : found.rows.first();
}

// A stored code the window can show as it is, or the one a save stores instead, said in `problems`.
int code(const QVariant &v, int last, const QString &what, QStringList &problems)
{
    const std::optional<qint64> n = app::wholeNumber(v);
    if (v.isNull() || (n && *n >= 0 && *n <= last))
        return int(n.value_or(0));
    problems << QStringLiteral("The stored %1 \"%2\" is not one of 0 to %3; a save stores 0.")
                    .arg(what, textOf(v))
                    .arg(last);
    return 0;
}

data::Params rowOf(const QString &recNo, const CrossTabDefinition &d)
{
    return {recNo,      d.name.trimmed(), d.desc.trimmed(), d.rowData, d.colData, d.dispData, d.groupField,
            d.isGrouping, d.rowName,      d.colName,        d.dispName, d.groupName, d.repType};
}

} // namespace

std::optional<LoadedCrossTab> loadCrossTab(data::Connection &year, const QString &recNo)
{
    LoadedCrossTab loaded;
    loaded.stored = storedRow(year, recNo);
    if (loaded.stored.isEmpty())
        return std::nullopt;
    const auto &r = loaded.stored;
    QStringList &problems = loaded.problems;
    loaded.definition = {textOf(r[0]),  textOf(r[1]),
                         textOf(r[2]),  textOf(r[3]),
                         textOf(r[4]),  textOf(r[5]),
                         code(r[6], 1, QStringLiteral("grouping flag"), problems),
                         textOf(r[7]),  textOf(r[8]),
                         textOf(r[9]),  textOf(r[10]),
                         code(r[11], 2, QStringLiteral("report type"), problems)};
    return loaded;
}

bool crossTabNameTaken(data::Connection &year, const QString &name)
{
    return year.select(QStringLiteral("Select COUNT(ColRepName)  From ZoCTR  Where ColRepName=?"), {name})
               .rows.first()
               .first()
               .toInt()
        != 0;
}

app::SaveResult saveCrossTab(data::Connection &year, QString &recNo, const CrossTabDefinition &definition,
                        const LoadedCrossTab *loaded, bool overwrite)
{
    data::Transaction tx(year);
    if (loaded && !overwrite)
        if (const auto changed = app::changedElsewhere(storedRow(year, recNo), loaded->stored))
            return *changed;
    const QString name = definition.name.trimmed();
    const QString loadedName = loaded ? loaded->definition.name.trimmed() : QString();
    if (name.toUpper() != loadedName.toUpper() && crossTabNameTaken(year, name))
        return app::SaveResult::DuplicateName;
    if (loaded)
        year.execute(QStringLiteral("DELETE From ZoCTR WHERE Col99= ?"), {recNo});
    else
        recNo = app::NewOthKey(year, QStringLiteral("CTR"), recNo);
    year.execute(QStringLiteral("Insert Into ZoCTR (Col99, ") + Columns
                     + QStringLiteral(") Values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 rowOf(recNo, definition));
    tx.commit();
    return app::SaveResult::Saved;
}

void deleteCrossTab(data::Connection &year, const QString &recNo)
{
    year.execute(QStringLiteral("DELETE From ZoCTR WHERE Col99= ?"), {recNo});
}

} // namespace crosstab
