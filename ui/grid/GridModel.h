#pragma once
#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// The cells of a grid as plain strings, row after row. Grid row 0 is the header; model row r
// is grid row r + 1.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int dataRows() const { return rows_; }
    int columns() const { return cols_; }
    void setDataRows(int rows);
    void setColumns(int cols);

    const QString &cell(int row, int col) const { return cells_[row * cols_ + col]; }
    void setCell(int row, int col, const QString &text);
    QString header(int col) const { return headers_.value(col); }
    void setHeader(int col, const QString &text);
    void setAlignment(int col, Qt::Alignment alignment);
    // Off: changed cells are announced once, when it is turned on again.
    void setRedraw(bool redraw);

    void insertDataRow(int row);
    void removeDataRow(int row);
    // Replaces everything at once: headers and rows of cells, row after row.
    void reset(const QStringList &headers, QVector<QString> &&cells, int rows);

private:
    int rows_ = 0;
    int cols_ = 0;
    QVector<QString> cells_;
    QStringList headers_;
    QVector<Qt::Alignment> alignments_;
    bool redraw_ = true;
    bool changedUnseen_ = false;
};
