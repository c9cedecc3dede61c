#include "ui/wizard/CustomColumnStore.h"
#include "app/Convert.h"

namespace {

QVector<QVariant> storedRow(data::Connection &year, const QString &code)
{
    const data::RowSet found = year.select(
        QStringLiteral("Select FldName, CalString, FldDType, MCode From CRCustFld Where ColCode=?"), {code});
    return found.rows.isEmpty() ? QVector<QVariant>() : found.rows.first();
}

} // namespace

std::optional<LoadedCustomColumn> loadCustomColumn(data::Connection &year, const QString &code)
{
    const QVector<QVariant> row = storedRow(year, code);
    if (row.isEmpty())
        return std::nullopt;
    return LoadedCustomColumn{{app::textOf(row[0]), app::textOf(row[1]), app::textOf(row[2])}, row};
}

app::SaveResult storeCustomColumn(data::Connection &year, QString &code, const CustomColumn &column,
                                  const QString &family, const LoadedCustomColumn *loaded, bool overwrite)
{
    data::Transaction tx(year);
    const QVector<QVariant> now = loaded ? storedRow(year, code) : QVector<QVariant>();
    if (loaded && !overwrite)
        if (const auto changed = app::changedElsewhere(now, loaded->stored))
            return *changed;
    QString key = code;
    if (!now.isEmpty()) {
        year.execute(QStringLiteral("Update CRCustFld Set FldName=?, CalString=?, MCode=?, FldDType=? Where ColCode=?"),
                     {column.name, column.formula, family, column.type, key});
    } else {
        if (!loaded)
            key = QStringLiteral("CF-%1").arg(app::GetFreeRecNo(QStringLiteral("MRN"), [&](int n) {
                return !storedRow(year, QStringLiteral("CF-%1").arg(n)).isEmpty();
            }));
        year.execute(QStringLiteral("Insert Into CRCustFld (ColCode, FldName, CalString, MCode, FldDType) "
                                    "Values (?,?,?,?,?)"),
                     {key, column.name, column.formula, family, column.type});
    }
    tx.commit();
    code = key;
    return app::SaveResult::Saved;
}
