#include "data/Recordset.h"
#include "app/Convert.h"
#include "data/DbError.h"

namespace data {

Recordset Recordset::open(Connection &db, const QString &sql, const Params &params)
{
    Recordset rs;
    rs.rows_ = db.select(sql, params);
    rs.open_ = true;
    return rs;
}

void Recordset::close()
{
    rows_ = {};
    open_ = false;
}

int Recordset::fieldIndex(const QString &field) const
{
    for (int i = 0; i < rows_.columns.size(); ++i)
        if (rows_.columns[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    throw DbError(QStringLiteral("Item cannot be found in the collection: ") + field, DbCode::Missing);
}

QVariant Recordset::value(const QString &field) const
{
    const int i = fieldIndex(field);
    if (eof())
        throw DbError(QStringLiteral("No current record."), DbCode::Missing);
    return rows_.rows[current_][i];
}

QString Recordset::text(const QString &field) const
{
    return app::textOf(value(field));
}

double Recordset::number(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    return v.toDouble();
}

} // namespace data
