#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmRepCust.h"
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>

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

std::string takeMessages()
{
    const std::string shown = lines(FakeMessages::instance().prompts());
    FakeMessages::instance().clear();
    return shown;
}

} // namespace

TEST(WizardPages, BackAndNextWalkThePagesOnceAColumnIsSelectedAndEscapeCloses)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval columns 3");
    click(w.cmdNext);
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd columns 3");
    EXPECT_EQ(takeMessages(), "Please Select Column to Include");
    QTabBar *bar = w.SSTab1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    settle();
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd columns 3");
    EXPECT_EQ(takeMessages(), "Please Select Column to Include");

    click(w.cmdAdd);
    click(w.cmdNext);
    EXPECT_EQ(state(w), "page 1 back 1 next 1 focus VSSelectedFld columns 3,5,6,7,8,9,10,11");
    EXPECT_FALSE(w.VSAval->isVisible());
    click(w.cmdNext);
    EXPECT_EQ(state(w), "page 2 back 1 next 0 focus cmdPreview columns 3,5,6,7,8,9,10,11");
    click(w.cmdBack);
    EXPECT_EQ(state(w), "page 1 back 1 next 1 focus VSSelectedFld columns 3,5,6,7,8,9,10,11");
    click(w.cmdBack);
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval columns 3,5,6");
    EXPECT_TRUE(w.VSAval->isVisible());
    EXPECT_EQ(takeMessages(), "");

    key(Qt::Key_Escape);
    settle();
    EXPECT_FALSE(w.isVisible());
    openWizard();
    EXPECT_EQ(w.VSSelectedFld->rows(), 1);
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval columns 3");
}

TEST(WizardPages, ValidateReportRefusesBlankNamesNoColumnsAndAnotherReportsName)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    click(w.cmdAdd);
    const struct {
        QString name, message;
        app::Icon icon;
    } refused[] = {{"", "Please Specify Name for Report", app::Icon::Critical},
                   {"   ", "Please Specify Name for Report", app::Icon::Critical},
                   {" party wise SALES ", "Duplicate Report Name \" party wise SALES \" Found",
                    app::Icon::Information}};
    for (const auto &c : refused) {
        SCOPED_TRACE(str(c.name));
        w.txtRepName->setText(c.name);
        click(w.cmdNext);
        EXPECT_FALSE(w.ValidateReport());
        ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
        EXPECT_EQ(FakeMessages::instance().shown[0].icon, c.icon);
        EXPECT_EQ(takeMessages(), str(c.message));
        EXPECT_EQ(state(w), "page 0 back 0 next 1 focus txtRepName columns 3,5,6");
    }
    w.txtRepName->setText("Report1");
    click(w.cmdRemove);
    click(w.cmdRemove); // nothing left to remove
    EXPECT_EQ(w.VSSelectedFld->rows(), 1);
    EXPECT_FALSE(w.ValidateReport());
    EXPECT_EQ(takeMessages(), "You Must Add One Column Atleast to Report");
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd columns 3,5,6");

    // A modified report keeps its own name however it is written, without a lookup.
    openWizard("CRF4");
    w.txtRepName->setText("Voucher Register");
    EXPECT_FALSE(w.ValidateReport());
    EXPECT_EQ(takeMessages(), "Duplicate Report Name \"Voucher Register\" Found");
    w.txtRepName->setText("  PARTY wise sales  ");
    root.year().execute("Drop Table CrMain");
    EXPECT_TRUE(w.ValidateReport());
    // A failing lookup is reported and refuses; the window stays.
    w.txtRepName->setText("Another Name");
    EXPECT_FALSE(w.ValidateReport());
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
    EXPECT_EQ(takeMessages(), "no such table: CrMain");
    EXPECT_TRUE(w.isVisible());
}

TEST(WizardPages, ReportNameIsSelectedFromTheCaretOnwardsWhenEntered)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    for (const auto &[caret, selected] : {std::pair<int, QString>{0, "Report1"}, {3, "ort1"}}) {
        w.VSAval->setFocus();
        w.txtRepName->setCursorPosition(caret);
        w.txtRepName->setFocus();
        settle();
        EXPECT_EQ(str(w.txtRepName->selectedText()), str(selected));
    }
}
