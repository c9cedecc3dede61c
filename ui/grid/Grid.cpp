#include "ui/grid/Grid.h"
#include "app/Twips.h"
#include "ui/grid/FormatString.h"
#include "ui/grid/GridModel.h"
#include <QHeaderView>
#include <QKeyEvent>

Grid::Grid(QWidget *parent) : QTableView(parent), model_(new GridModel(this))
{
    setModel(model_);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setFont(QFont(QStringLiteral("Arial")));
}

int Grid::rows() const { return model_->dataRows() + 1; }

void Grid::setRows(int rows)
{
    const int before = row();
    model_->setDataRows(qMax(1, rows) - 1);
    if (before < 1 && model_->dataRows() > 0)
        setRow(1);
}

int Grid::cols() const { return model_->columns(); }

void Grid::setCols(int cols)
{
    model_->setColumns(cols);
    widths_.resize(cols);
}

int Grid::row() const
{
    const QModelIndex at = currentIndex();
    return at.isValid() ? at.row() + 1 : 0;
}

void Grid::setRow(int row)
{
    if (row < 1 || row >= rows()) {
        setCurrentIndex({});
        return;
    }
    setCurrentIndex(model_->index(row - 1, shownColumn(col())));
}

// The arrow keys do not move off a hidden cell, and the user would not see where he is: the
// current cell keeps to a shown column, the nearest one to the right, else to the left.
int Grid::shownColumn(int col) const
{
    for (int c = col; c < cols(); ++c)
        if (!isColumnHidden(c))
            return c;
    for (int c = col - 1; c >= 0; --c)
        if (!isColumnHidden(c))
            return c;
    return qMax(0, col);
}

void Grid::keepCurrentCellShown()
{
    if (row() >= 1 && isColumnHidden(col()))
        setCol(shownColumn(col()));
}

int Grid::col() const
{
    const QModelIndex at = currentIndex();
    return at.isValid() ? at.column() : 0;
}

void Grid::setCol(int col)
{
    if (row() >= 1)
        setCurrentIndex(model_->index(row() - 1, col));
}

QString Grid::textMatrix(int row, int col) const
{
    if (row == 0)
        return model_->header(col);
    return model_->cell(row - 1, col);
}

void Grid::setTextMatrix(int row, int col, const QString &text)
{
    if (row == 0)
        model_->setHeader(col, text);
    else
        model_->setCell(row - 1, col, text);
}

void Grid::setColWidth(int col, int twips)
{
    widths_[col] = twips;
    if (twips <= 0) {
        setColumnHidden(col, true);
        keepCurrentCellShown();
        return;
    }
    setColumnHidden(col, false);
    setColumnWidth(col, app::twipsToPixels(twips));
}

int Grid::colWidth(int col) const
{
    return widths_.value(col);
}

void Grid::setColHidden(int col, bool hidden)
{
    setColumnHidden(col, hidden);
    keepCurrentCellShown();
    if (!hidden && widths_.value(col) > 0)
        setColumnWidth(col, app::twipsToPixels(widths_[col]));
}

void Grid::setFormatString(const QString &format)
{
    const QVector<FormatColumn> columns = parseFormatString(format);
    if (cols() != columns.size())
        setCols(columns.size());
    const QFontMetrics metrics = horizontalHeader()->fontMetrics();
    for (int c = 0; c < columns.size(); ++c) {
        model_->setHeader(c, columns[c].caption);
        model_->setAlignment(c, columns[c].alignment);
        const int pixels = metrics.horizontalAdvance(columns[c].caption) + 12;
        widths_[c] = app::pixelsToTwips(pixels);
        if (!isColumnHidden(c))
            setColumnWidth(c, pixels);
    }
}

void Grid::bindKeys(const QStringList &columns, const QVector<qint64> &keys,
                    std::function<QStringList(qint64 key)> fetch)
{
    model_->resetKeys(columns, keys, std::move(fetch));
    widths_ = QVector<int>(columns.size(), 0);
    for (int c = 0; c < columns.size(); ++c)
        setColumnHidden(c, false);
    if (!keys.isEmpty())
        setRow(1);
}

void Grid::addItem(const QString &text, int row)
{
    model_->insertDataRow(row - 1);
    if (cols() > 0 && !text.isEmpty())
        model_->setCell(row - 1, 0, text);
}

void Grid::removeItem(int row)
{
    model_->removeDataRow(row - 1);
}

int Grid::findRow(const QString &text, int col) const
{
    for (int r = 0; r < model_->dataRows(); ++r)
        if (model_->cell(r, col) == text)
            return r + 1;
    return -1;
}

QRect Grid::currentCellRect() const
{
    const QRect cell = visualRect(currentIndex());
    return cell.translated(viewport()->pos());
}

int Grid::cellLeft() const { return app::pixelsToTwips(currentCellRect().left()); }
int Grid::cellTop() const { return app::pixelsToTwips(currentCellRect().top()); }
int Grid::cellWidth() const { return app::pixelsToTwips(currentCellRect().width()); }

void Grid::setRedraw(bool redraw)
{
    model_->setRedraw(redraw);
}

void Grid::setListOption(int option)
{
    setSelectionBehavior(option == 1 ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void Grid::setTypeAheadColumn(int col)
{
    typeAheadColumn_ = col;
    typed_.clear();
}

void Grid::typeAhead(const QString &text)
{
    constexpr qint64 PauseMs = 1000;
    if (!lastTyped_.isValid() || lastTyped_.elapsed() > PauseMs)
        typed_.clear();
    lastTyped_.start();
    typed_ += text;
    const int dataRows = model_->dataRows();
    if (dataRows == 0)
        return;
    const auto matches = [&](int r, const QString &prefix) {
        return model_->cell(r, typeAheadColumn_).startsWith(prefix, Qt::CaseInsensitive);
    };
    // A longer prefix may still fit the current row; a first letter, or the same letter again,
    // moves on to the next row that fits, wrapping round.
    const int current = qMax(0, row() - 1);
    const bool repeated = typed_.count(typed_[0]) == typed_.size();
    QString prefix = typed_;
    int from = typed_.size() == 1 ? current + 1 : current;
    if (repeated && typed_.size() > 1) {
        bool whole = false;
        for (int i = 0; i < dataRows && !whole; ++i)
            whole = matches((current + i) % dataRows, typed_);
        if (!whole) {
            prefix = typed_.left(1);
            from = current + 1;
        }
    }
    for (int i = 0; i < dataRows; ++i) {
        const int r = (from + i) % dataRows;
        if (matches(r, prefix)) {
            setRow(r + 1);
            scrollTo(currentIndex());
            return;
        }
    }
}

void Grid::keyPressEvent(QKeyEvent *event)
{
    int keyAscii = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        keyAscii = 13;
    else if (event->text().size() == 1 && event->text()[0].unicode() >= 32)
        keyAscii = event->text()[0].unicode();
    if (keyAscii != 0) {
        emit keyPressed(keyAscii);
        // Enter belongs to the grid: it must not press a dialog's default button.
        if (keyAscii == 0 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            return;
        }
        if (typeAheadColumn_ >= 0 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            typeAhead(QChar(keyAscii));
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

// In a list a whole row is picked: Home and End go to its first and last row.
QModelIndex Grid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (selectionBehavior() == SelectRows && (action == MoveHome || action == MoveEnd))
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void Grid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    emit gotFocus();
}

void Grid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row() || current.column() != previous.column())
        emit rowColChanged();
}
