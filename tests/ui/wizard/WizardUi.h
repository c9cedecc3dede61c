#pragma once
#include <QString>
#include <QStringList>
#include <string>

class Grid;
class QWidget;
class frmRepCust;

// The wizard as the report list opens it, with its events handled.
frmRepCust &openWizard(const QString &code = {});

// One row's cells joined by "|"; every row of a grid, header first.
QString rowText(Grid *grid, int row);
QStringList gridRows(Grid *grid);
// The columns a user sees.
QList<int> visibleColumns(Grid *grid);

// Texts that a failed comparison prints readably: rows one a line.
std::string str(const QString &text);
std::string lines(const QStringList &rows);

// The selected grid's column rows, one a line, without its header.
std::string selectedRows(frmRepCust &wizard);

// A mouse click, with the events it causes handled.
void click(QWidget *widget);
void clickCell(Grid *grid, int row, int col);

// "left,top,width" in twips, of a widget and of a designed place (as the screen can show it).
std::string placeOf(const QWidget *widget);
std::string place(int left, int top, int width);
