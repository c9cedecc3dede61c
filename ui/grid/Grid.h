#pragma once
#include <QStringList>
#include <QVector>
#include <QElapsedTimer>
#include <QTableView>
#include <functional>

class GridModel;

// The grid every list of the program is shown in: a table of text cells whose row 0 is the
// header. Rows and columns count from 0; sizes and positions are in twips.
class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);

    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);

    // The current cell; row 0 when the grid has no data row. It is never in a hidden column.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);

    // Width 0 hides the column; its cells stay readable and writable.
    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    void setColHidden(int col, bool hidden);

    // "|" separates columns; each part is the column's header, a leading "<" aligns it left,
    // ">" right, and its length (trailing blanks included) sets the width.
    void setFormatString(const QString &format);

    // One row per key, the columns as headers, row 1 current. A row's cells are read through
    // fetch when first shown or asked for, and kept: a long list opens at the cost of its keys.
    void bindKeys(const QStringList &columns, const QVector<qint64> &keys,
                  std::function<QStringList(qint64 key)> fetch);

    void addItem(const QString &text, int row);
    void removeItem(int row);
    // The first data row whose cell in the column equals the text, or -1.
    int findRow(const QString &text, int col) const;

    // The current cell's place in the grid, in twips.
    int cellLeft() const;
    int cellTop() const;
    int cellWidth() const;

    // Off while a grid is filled cell by cell: the view hears of the change once, when it is
    // turned on again.
    void setRedraw(bool redraw);

    // 1: the grid is a list in which a whole row is picked.
    void setListOption(int option);

    // Typed letters move to the next row whose cell in this column starts with them, ignoring
    // case; a pause of a second starts a new search. -1 (the default) switches it off.
    void setTypeAheadColumn(int col);
    int typeAheadColumn() const { return typeAheadColumn_; }

signals:
    // A typed character (13 for Enter); a handler that sets it to 0 swallows the key.
    void keyPressed(int &keyAscii);
    void gotFocus();
    // After the current row or column changed.
    void rowColChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    QRect currentCellRect() const;
    int shownColumn(int col) const;
    void keepCurrentCellShown();
    void typeAhead(const QString &text);

    GridModel *model_;
    QVector<int> widths_;
    int typeAheadColumn_ = -1;
    QString typed_;
    QElapsedTimer lastTyped_;
};
