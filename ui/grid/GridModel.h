#pragma once
#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>
#include <functional>
#include <limits>

// The cells of a grid as plain strings, row after row. Grid row 0 is the header; model row r
// is grid row r + 1. Rows may instead be given as keys: a row's cells are then read through the
// fetch the first time they are needed, and kept.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using RowFetch = std::function<QStringList(qint64 key)>;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int dataRows() const { return rows_; }
    int columns() const { return cols_; }
    void setDataRows(int rows);
    void setColumns(int cols);

    const QString &cell(int row, int col) const;
    void setCell(int row, int col, const QString &text);
    QString header(int col) const { return headers_.value(col); }
    void setHeader(int col, const QString &text);
    void setAlignment(int col, Qt::Alignment alignment);
    // Off: changed cells are announced once, when it is turned on again.
    void setRedraw(bool redraw);

    void insertDataRow(int row);
    void removeDataRow(int row);
    // Replaces everything with one row per key, read through fetch when first needed.
    void resetKeys(const QStringList &headers, const QVector<qint64> &keys, RowFetch fetch);

private:
    static constexpr qint64 Fetched = std::numeric_limits<qint64>::min();
    void fetchRow(int row) const;
    void fetchAll();

    int rows_ = 0;
    int cols_ = 0;
    mutable QVector<QString> cells_;
    // Per row, the key still to read, or Fetched; empty when every row holds its cells.
    mutable QVector<qint64> pending_;
    RowFetch fetch_;
    QStringList headers_;
    QVector<Qt::Alignment> alignments_;
    bool redraw_ = true;
    bool changedUnseen_ = false;
};
