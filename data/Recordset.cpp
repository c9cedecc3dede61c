#include "data/Recordset.h"
#include "app/Convert.h"
#include "data/DbError.h"

namespace data {

Recordset Recordset::open(Connection &db, const QString &sql, const Params &params)
{
    Recordset rs;
    rs.db_ = &db;
    rs.rows_ = db.select(sql, params);
    rs.open_ = true;
    return rs;
}

Recordset Recordset::openTable(Connection &db, const QString &table, const QString &where,
                               const Params &params)
{
    QString sql = QStringLiteral("SELECT rowid AS \"$rowid\", * FROM ") + table;
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    Recordset rs;
    rs.db_ = &db;
    rs.table_ = table;
    RowSet all = db.select(sql, params);
    all.columns.removeFirst();
    rs.rowIds_.reserve(all.rows.size());
    for (auto &row : all.rows) {
        rs.rowIds_.push_back(row.takeFirst().toLongLong());
    }
    rs.rows_ = std::move(all);
    rs.open_ = true;
    return rs;
}

Recordset Recordset::forInsert(Connection &db, const QString &table)
{
    Recordset rs;
    rs.db_ = &db;
    rs.table_ = table;
    rs.open_ = true;
    return rs;
}

void Recordset::close()
{
    rows_ = {};
    rowIds_.clear();
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

void Recordset::addNew()
{
    if (table_.isEmpty())
        throw DbError(QStringLiteral("The recordset cannot be changed."));
    adding_ = true;
    pendingFields_.clear();
    pendingValues_.clear();
}

void Recordset::setValue(const QString &field, const QVariant &value)
{
    if (table_.isEmpty())
        throw DbError(QStringLiteral("The recordset cannot be changed."));
    const int at = pendingFields_.indexOf(field);
    if (at >= 0) {
        pendingValues_[at] = value;
        return;
    }
    pendingFields_ << field;
    pendingValues_ << value;
}

void Recordset::update()
{
    if (pendingFields_.isEmpty() && !adding_)
        return;
    if (adding_) {
        QStringList marks;
        for (int i = 0; i < pendingFields_.size(); ++i)
            marks << QStringLiteral("?");
        db_->execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(table_, pendingFields_.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                     pendingValues_);
    } else {
        if (eof())
            throw DbError(QStringLiteral("No current record."), DbCode::Missing);
        QStringList sets;
        for (const QString &f : pendingFields_)
            sets << f + QStringLiteral("=?");
        Params params = pendingValues_;
        params << rowIds_[current_];
        db_->execute(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table_, sets.join(QLatin1Char(','))),
                     params);
        for (int i = 0; i < pendingFields_.size(); ++i) {
            const int col = rows_.columns.indexOf(pendingFields_[i]);
            if (col >= 0)
                rows_.rows[current_][col] = pendingValues_[i];
        }
    }
    adding_ = false;
    pendingFields_.clear();
    pendingValues_.clear();
}

} // namespace data
