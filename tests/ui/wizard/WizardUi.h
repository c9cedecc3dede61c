#pragma once
// What every test of the wizard uses.
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/grid/TextBox.h"
#include "ui/wizard/ReportText.h"
#include "ui/wizard/frmCustFld.h"
#include "ui/wizard/frmRepCust.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using C = SelectedColumn;

// The wizard as the report list opens it, with its events handled.
frmRepCust &openWizard(const QString &code = {});

// Every row of a grid, header first, its cells joined by "|".
QStringList gridRows(Grid *grid);
// Texts that a failed comparison prints readably: rows one a line.
std::string str(const QString &text);
std::string lines(const QStringList &rows);
// The selected grid's column rows, one a line, without its header.
std::string selectedRows(frmRepCust &wizard);
// The message boxes shown so far, one a line, a critical one marked "!"; they are then forgotten.
std::string takeMessages();

// Mouse clicks and typing, with the events they cause handled.
void click(QWidget *widget);
void clickCell(Grid *grid, int row, int col);
void typeReportName(frmRepCust &wizard, const QString &name);
// Stores a custom column of the sales reports: "code|name|formula|type".
void addCustomColumn(TestRoot &root, const QString &row);
// A report's CrMain row, then its CrChild rows, one a line.
std::string storedReport(TestRoot &root, const QString &code);
// Rows of cells joined by "|", split into their cells.
QVector<SelectedColumn> cells(const QStringList &rows);
// The CrMain row a save writes for these selected-grid rows, as TestRoot::rows shows it.
QString mainRow(const QString &code, const QString &name, const QStringList &gridRows);
