#include "tests/ui/Windows.h"
#include <QStyleOption>
#include <QTabBar>

namespace {

// Page, Back and Next enabled, what has the focus and the selected grid's visible columns.
std::string state(frmRepCust &w)
{
    QStringList columns;
    for (int c = 0; c < w.VSSelectedFld->cols(); ++c)
        if (!w.VSSelectedFld->isColumnHidden(c))
            columns << QString::number(c);
    QWidget *focus = QApplication::focusWidget();
    return str(QStringLiteral("page %1 back %2 next %3 focus %4 columns %5")
                   .arg(w.SSTab1->tab())
                   .arg(w.cmdBack->isEnabled())
                   .arg(w.cmdNext->isEnabled())
                   .arg(focus ? focus->objectName() : QString(), columns.join(',')));
}

} // namespace

TEST(WizardPages, BackAndNextWalkThePagesOnceAColumnIsSelectedEscapeClosesAndSaveValidates)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    Wizard w;
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval columns 3");
    QTabBar *bar = w.SSTab1->tabBar();
    for (const bool byTab : {false, true}) { // Next, then the second page's tab
        if (byTab)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        else
            click(w.cmdNext);
        settle();
        EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd columns 3");
        EXPECT_EQ(takeMessages(), "Please Select Column to Include");
    }

    click(w.cmdAdd);
    const std::pair<QPushButton *, const char *> steps[] = {
        {w.cmdNext, "page 1 back 1 next 1 focus VSSelectedFld columns 3,5,6,7,8,9,10,11"},
        {w.cmdNext, "page 2 back 1 next 0 focus cmdPreview columns 3,5,6,7,8,9,10,11"},
        {w.cmdBack, "page 1 back 1 next 1 focus VSSelectedFld columns 3,5,6,7,8,9,10,11"},
        {w.cmdBack, "page 0 back 0 next 1 focus VSAval columns 3,5,6"}};
    for (const auto &[button, expected] : steps) {
        click(button);
        EXPECT_EQ(state(w), expected);
    }
    EXPECT_EQ(takeMessages(), "");

    // By keys alone: Next twice, then away and back by Ctrl+Tab. Preview shows its focus, Shift+Tab
    // passes over the grids the preview covers, Alt+V or Enter runs it and its rows take the focus.
    for (int page = 1; page <= 2; ++page) {
        key(Qt::Key_N, Qt::AltModifier);
        QTest::qWait(250); // Next is pressed a moment later
    }
    for (const auto &[run, modifier] : {std::pair{Qt::Key_V, Qt::AltModifier}, {Qt::Key_Return, Qt::NoModifier}}) {
        QStyleOption shown;
        shown.initFrom(w.cmdPreview);
        EXPECT_EQ(state(w) + (shown.state & QStyle::State_KeyboardFocusChange ? " framed" : ""),
                  "page 2 back 1 next 0 focus cmdPreview columns 3,5,6,7,8,9,10,11 framed");
        key(Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), w.SSTab1->tabBar());
        key(Qt::Key_Tab);
        key(run, modifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.VSFPreview->hasFocus(); }, 10000));
        EXPECT_EQ(w.VSFPreview->row(), 1);
        key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        key(Qt::Key_Tab, Qt::ControlModifier);
    }

    key(Qt::Key_Escape);
    settle();
    EXPECT_FALSE(w.isVisible());
    w.open();
    EXPECT_EQ(w.VSSelectedFld->rows(), 1);
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval columns 3");
    // Entered, the report name is selected from the caret onwards.
    for (const auto &[caret, selected] : {std::pair<int, QString>{0, "Report1"}, {3, "ort1"}}) {
        w.VSAval->setFocus();
        w.txtRepName->setCursorPosition(caret);
        w.txtRepName->setFocus();
        settle();
        EXPECT_EQ(str(w.txtRepName->selectedText()), str(selected));
    }

    // ValidateReport refuses blank names, no columns and another report's name.
    click(w.cmdAdd);
    const std::pair<QString, QString> refused[] = {
        {"", "!Please Specify Name for Report"},
        {"   ", "!Please Specify Name for Report"},
        {" party wise SALES ", "Duplicate Report Name \" party wise SALES \" Found"}};
    for (const auto &[name, message] : refused) {
        SCOPED_TRACE(str(name));
        w.txtRepName->setText(name);
        click(w.cmdNext);
        EXPECT_FALSE(w.ValidateReport());
        EXPECT_EQ(takeMessages(), str(message));
        EXPECT_EQ(state(w), "page 0 back 0 next 1 focus txtRepName columns 3,5,6");
    }
    w.txtRepName->setText("Report1");
    click(w.cmdRemove);
    click(w.cmdRemove); // nothing left to remove
    EXPECT_FALSE(w.ValidateReport());
    EXPECT_EQ(takeMessages(), "!You Must Add One Column Atleast to Report");
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd columns 3,5,6");

    // A modified report keeps its own name however it is written, without a lookup;
    // a failing lookup is reported and refuses, and the window stays.
    w.open("CRF4");
    w.txtRepName->setText("Voucher Register");
    EXPECT_FALSE(w.ValidateReport());
    w.txtRepName->setText("  PARTY wise sales  ");
    root.year().execute("Drop Table CrMain");
    EXPECT_TRUE(w.ValidateReport());
    w.txtRepName->setText("Another Name");
    EXPECT_FALSE(w.ValidateReport());
    EXPECT_EQ(takeMessages(), str("Duplicate Report Name \"Voucher Register\" Found\n!" + noSuchTable("CrMain")));
    EXPECT_TRUE(w.isVisible());
}
