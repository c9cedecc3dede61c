#pragma once
#include "data/Connection.h"

namespace data {

// A keyset recordset: the rows of a select, fixed when it is opened, with a current row.
class Recordset {
public:
    Recordset() = default;

    // Read-only rows of any select.
    static Recordset open(Connection &db, const QString &sql, const Params &params = {});

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

private:
    int fieldIndex(const QString &field) const;

    RowSet rows_;
    int current_ = 0;
    bool open_ = false;
};

} // namespace data
