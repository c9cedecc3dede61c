#pragma once
#include "data/Connection.h"

namespace data {

// A keyset recordset: the rows of a select, fixed when it is opened, with a current row.
// Opened on a table it also carries each row's id, so the current row can be changed and
// stored back; a new row is added with addNew, setValue and update.
class Recordset {
public:
    Recordset() = default;

    // Read-only rows of any select.
    static Recordset open(Connection &db, const QString &sql, const Params &params = {});
    // Rows of one table matching a condition ("" means every row), ready to be changed.
    static Recordset openTable(Connection &db, const QString &table, const QString &where = {},
                               const Params &params = {});
    // A table opened only to add rows: nothing is read.
    static Recordset forInsert(Connection &db, const QString &table);

    bool isOpen() const { return open_; }
    void close();

    int recordCount() const { return rows_.rows.size(); }
    bool eof() const { return current_ >= rows_.rows.size(); }
    void moveNext() { ++current_; }
    void moveFirst() { current_ = 0; }

    const QStringList &fieldNames() const { return rows_.columns; }
    const RowSet &rows() const { return rows_; }

    QVariant value(const QString &field) const;
    bool isNull(const QString &field) const { return value(field).isNull(); }
    // A null reads as empty text.
    QString text(const QString &field) const;
    // A null, or text that is no number, reads as 0.
    double number(const QString &field) const;

    void addNew();
    void setValue(const QString &field, const QVariant &value);
    void update();

private:
    int fieldIndex(const QString &field) const;

    Connection *db_ = nullptr;
    QString table_;
    RowSet rows_;
    QVector<qint64> rowIds_;
    int current_ = 0;
    bool open_ = false;
    bool adding_ = false;
    QStringList pendingFields_;
    Params pendingValues_;
};

} // namespace data
