#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <string>

class Grid;
class QWidget;
class frmRepCust;

// The wizard as the report list opens it, with its events handled.
frmRepCust &openWizard(const QString &code = {});

// Every row of a grid, header first, its cells joined by "|".
QStringList gridRows(Grid *grid);

// Texts that a failed comparison prints readably: rows one a line.
std::string str(const QString &text);
std::string lines(const QStringList &rows);

// The selected grid's column rows, one a line, without its header.
std::string selectedRows(frmRepCust &wizard);

// A mouse click, with the events it causes handled.
void click(QWidget *widget);
void clickCell(Grid *grid, int row, int col);
void typeReportName(frmRepCust &wizard, const QString &name);

// Rows of cells joined by "|", split into their cells.
QVector<QStringList> cells(const QStringList &rows);
// The CrMain row a save writes for these selected-grid rows, as TestRoot::rows shows it.
QString mainRow(const QString &code, const QString &name, const QStringList &gridRows);
