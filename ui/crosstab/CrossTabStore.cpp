#include "ui/crosstab/CrossTabStore.h"
#include "app/Convert.h"
#include "app/Module1.h"

namespace crosstab {

namespace {

// The columns after the key, in the order of CrossTabDefinition.
const QString Columns = QStringLiteral(
    "ColRepName, ColRepDesc, ColRowData, ColColData, ColDispData, ColGroupField, ColIsGrouping, ColRowDataName, "
    "ColColDataName, ColDispDataName, ColGroupFieldName, ColRepType");

QString text(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

// A stored code the window can show as it is, or the one a save stores instead, said in `problems`.
int code(const QVariant &v, int last, const QString &what, QStringList &problems)
{
    const std::optional<qint64> n = app::wholeNumber(v);
    if (v.isNull() || (n && *n >= 0 && *n <= last))
        return int(n.value_or(0));
    problems << QStringLiteral("The stored %1 \"%2\" is not one of 0 to %3; a save stores 0.")
                    .arg(what, text(v))
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
    const data::RowSet found =
        year.select(QStringLiteral("Select ") + Columns + QStringLiteral(" From ZoCTR Where Col99= ?"), {recNo});
    if (found.rows.isEmpty())
        return std::nullopt;
    LoadedCrossTab loaded;
    const auto &r = found.rows.first();
    loaded.stored = r;
    QStringList &problems = loaded.problems;
    loaded.definition = {text(r[0]),  text(r[1]),
                         text(r[2]),  text(r[3]),
                         text(r[4]),  text(r[5]),
                         code(r[6], 1, QStringLiteral("grouping flag"), problems),
                         text(r[7]),  text(r[8]),
                         text(r[9]),  text(r[10]),
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
    if (loaded && !overwrite) {
        const data::RowSet now =
            year.select(QStringLiteral("Select ") + Columns + QStringLiteral(" From ZoCTR Where Col99= ?"), {recNo});
        if (now.rows.isEmpty())
            return app::SaveResult::DeletedElsewhere;
        if (now.rows.first() != loaded->stored)
            return app::SaveResult::ChangedElsewhere;
    }
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
