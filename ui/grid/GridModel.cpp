#include "ui/grid/GridModel.h"

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_;
}

const QString &GridModel::cell(int row, int col) const
{
    if (!pending_.isEmpty())
        fetchRow(row);
    return cells_[row * cols_ + col];
}

void GridModel::fetchRow(int row) const
{
    const qint64 key = pending_[row];
    if (key == Fetched)
        return;
    pending_[row] = Fetched;
    const QStringList values = fetch_(key);
    for (int c = 0; c < cols_; ++c)
        cells_[row * cols_ + c] = values.value(c);
}

void GridModel::fetchAll()
{
    for (int r = 0; r < pending_.size(); ++r)
        fetchRow(r);
    pending_.clear();
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments_.value(index.column(), Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return headers_.value(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments_.value(section, Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

void GridModel::setDataRows(int rows)
{
    rows = qMax(0, rows);
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        cells_.resize(rows * cols_);
        if (!pending_.isEmpty())
            pending_.resize(rows, Fetched);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        cells_.resize(rows * cols_);
        if (!pending_.isEmpty())
            pending_.resize(rows);
        rows_ = rows;
        endRemoveRows();
    }
}

void GridModel::setColumns(int cols)
{
    cols = qMax(0, cols);
    if (cols == cols_)
        return;
    fetchAll();
    beginResetModel();
    QVector<QString> cells(rows_ * cols);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < qMin(cols, cols_); ++c)
            cells[r * cols + c] = cells_[r * cols_ + c];
    cells_ = std::move(cells);
    cols_ = cols;
    while (headers_.size() < cols)
        headers_ << QString();
    headers_ = headers_.mid(0, cols);
    alignments_.resize(cols);
    endResetModel();
}

void GridModel::setCell(int row, int col, const QString &text)
{
    if (!pending_.isEmpty())
        fetchRow(row);
    cells_[row * cols_ + col] = text;
    if (!redraw_) {
        changedUnseen_ = true;
        return;
    }
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void GridModel::setRedraw(bool redraw)
{
    redraw_ = redraw;
    if (!redraw || !changedUnseen_)
        return;
    changedUnseen_ = false;
    if (rows_ > 0 && cols_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1), {Qt::DisplayRole});
}

void GridModel::setHeader(int col, const QString &text)
{
    headers_[col] = text;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::setAlignment(int col, Qt::Alignment alignment)
{
    alignments_[col] = alignment;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (rows_ > 0)
        emit dataChanged(index(0, col), index(rows_ - 1, col), {Qt::TextAlignmentRole});
}

void GridModel::insertDataRow(int row)
{
    beginInsertRows({}, row, row);
    cells_.insert(row * cols_, cols_, QString());
    if (!pending_.isEmpty())
        pending_.insert(row, Fetched);
    ++rows_;
    endInsertRows();
}

void GridModel::removeDataRow(int row)
{
    beginRemoveRows({}, row, row);
    cells_.remove(row * cols_, cols_);
    if (!pending_.isEmpty())
        pending_.remove(row);
    --rows_;
    endRemoveRows();
}

void GridModel::resetKeys(const QStringList &headers, const QVector<qint64> &keys, RowFetch fetch)
{
    beginResetModel();
    headers_ = headers;
    cols_ = headers.size();
    rows_ = keys.size();
    cells_ = QVector<QString>(rows_ * cols_);
    pending_ = keys;
    fetch_ = std::move(fetch);
    alignments_ = QVector<Qt::Alignment>(cols_, Qt::AlignLeft);
    endResetModel();
}
