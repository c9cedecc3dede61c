#pragma once
// What every test of the windows uses.
#include "app/Module1.h"
#include "app/Paths.h"
#include "app/Twips.h"
#include "support/Definitions.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/crosstab/frmCrossPreview.h"
#include "ui/crosstab/frmRowSelect.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/grid/TextBox.h"
#include "ui/list/Form1.h"
#include "ui/wizard/ReportText.h"
#include "ui/wizard/frmCustFld.h"
#include "ui/wizard/frmRepCust.h"
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

using C = SelectedColumn;

// A wizard of the test's own, opened as the report list opens the program's one.
class Wizard : public frmRepCust {
public:
    explicit Wizard(const QString &code = {}) { open(code); }
    void open(const QString &code = {});
};

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
// Clicks the button, the message boxes it shows answered in turn; returns them as takeMessages().
std::string press(QWidget *button, const QList<app::Answer> &answers = {});
void clickCell(Grid *grid, int row, int col);
// Clicks the box and types over its text.
void typeOver(QWidget *box, const QString &text);
// Stores a custom column of the sales reports: "code|name|formula|type".
void addCustomColumn(TestRoot &root, const QString &row);
// A report's CrMain row, then its CrChild rows, one a line.
std::string storedReport(TestRoot &root, const QString &code);
// Rows of cells joined by "|", split into their cells.
QVector<SelectedColumn> cells(const QStringList &rows);

// Drives a definition window and the pickers it opens, from inside their own loops.
class DesignerScript {
public:
    // Runs body in the definition window that `open` shows; a window that went wrong fails the test.
    void run(const std::function<void()> &open, const std::function<void(SelectionScreen &)> &body)
    {
        script.expect<SelectionScreen>([body](SelectionScreen *s) { body(*s); });
        open();
        EXPECT_TRUE(script.finish()) << script.failure().toStdString();
    }
    // Opens the script's own window as the list does.
    void entry(int eType, const QString &recNo, const std::function<void(SelectionScreen &)> &body)
    {
        run([&] { window.EntryType(eType, recNo); }, body);
    }

    // Does what should open the picker, runs choose in it, and waits until the focus is back in
    // the definition window. Returns the picker's current row as it opened.
    int pick(const std::function<void()> &trigger, const std::function<void()> &choose = [] {})
    {
        // Shared, as a step that never ran must not outlive what it writes to.
        auto preselected = std::make_shared<int>(-1);
        auto picker = std::make_shared<QPointer<frmRowSelect>>();
        script.expect<frmRowSelect>([=](frmRowSelect *p) {
            *preselected = p->vfg->row();
            choose();
            key(Qt::Key_Return);
            *picker = p;
        });
        trigger();
        if (!QTest::qWaitFor([&] { return *picker && !(*picker)->isVisible(); }, 5000))
            ADD_FAILURE() << "the picker did not open and close";
        settle(30);
        return *preselected;
    }

    ModalScript script;
    SelectionScreen window;
};

inline void down(int times = 1)
{
    for (int i = 0; i < times; ++i)
        key(Qt::Key_Down);
}

// Alt+S presses Save a moment later.
inline void save()
{
    key(Qt::Key_S, Qt::AltModifier);
    QTest::qWait(250);
    settle(20);
}

// Opens a stored definition in its window and its preview by Alt+V, runs step in the preview once
// the pivot has been read, and closes it by Esc; the focus is then back in the definition window.
void inPreview(const QString &recNo, const std::function<void(frmCrossPreview &, ModalScript &)> &step);
