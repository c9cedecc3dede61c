#include "app/Twips.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TabControl.h"
#include "ui/list/Form1.h"
#include "ui/wizard/WizardUi.h"
#include "ui/wizard/frmRepCust.h"
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

QString lastMessage()
{
    const auto &shown = FakeMessages::instance().shown;
    return shown.isEmpty() ? QString() : shown.last().prompt;
}

// Page, Back and Next enabled, and what has the focus.
std::string state(frmRepCust &w)
{
    QWidget *focus = QApplication::focusWidget();
    return str(QStringLiteral("page %1 back %2 next %3 focus %4")
        .arg(w.SSTab1->tab())
        .arg(w.cmdBack->isEnabled())
        .arg(w.cmdNext->isEnabled())
        .arg(focus ? focus->objectName() : QString()));
}

void addColumn(frmRepCust &w)
{
    click(w.cmdAdd);
}

} // namespace

TEST(WizardPages, OpensWithItsDesignedControlsAndLayout)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    EXPECT_EQ(w.windowTitle(), "Wizard for Report Setting");
    EXPECT_FALSE(w.isModal());
    QStringList pages;
    for (int i = 0; i < w.SSTab1->count(); ++i)
        pages << w.SSTab1->tabText(i);
    EXPECT_EQ(lines(pages), lines(QStringList{"Select &Fields", "&Customize", "Tab 2"}));

    QStringList captions;
    for (const char *name : {"lblAvail", "lblIncluded", "Label1", "Label2"})
        captions << QStringLiteral("%1=%2").arg(name, child<QLabel>(&w, name)->text());
    for (const char *name : {"cmdAdd", "cmdRemove", "cmdUp", "cmdDown", "cmdChange", "cmdCustField",
                             "cmdCustFieldMod", "cmdPreview", "cmdBack", "cmdNext", "cmdSave", "cmdCancel"})
        captions << QStringLiteral("%1=%2").arg(name, child<QPushButton>(&w, name)->text());
    for (const char *name : {"txtRename", "txtRepName", "txtWidth"})
        captions << QStringLiteral("%1=%2").arg(name, child<QLineEdit>(&w, name)->text());
    captions << QStringLiteral("Frame1=%1").arg(child<QGroupBox>(&w, "Frame1")->title());
    EXPECT_EQ(lines(captions), lines(QStringList{"lblAvail=Available Column Names", "lblIncluded=Columns included in Display",
                                     "Label1=Rename :", "Label2=Enter Report Name to Save : ", "cmdAdd=>>",
                                     "cmdRemove=<<", "cmdUp=Up", "cmdDown=Down", "cmdChange=Change Column Name",
                                     "cmdCustField=Add Custom Field...", "cmdCustFieldMod=Modify Custom Field...",
                                     "cmdPreview=Preview", "cmdBack=&Back", "cmdNext=&Next", "cmdSave=&Save",
                                     "cmdCancel=&Cancel", "txtRename=", "txtRepName=Report1", "txtWidth=0",
                                     "Frame1=Customize"}));
    for (const char *name : {"VSAval", "VSSelectedFld", "VSFPreview", "SSTab1", "cboGrpSort", "cboTot"})
        EXPECT_NE(w.findChild<QWidget *>(name), nullptr) << name;
    EXPECT_EQ(w.VSAval->parentWidget(), &w);
    EXPECT_EQ(w.VSSelectedFld->parentWidget(), &w);

    EXPECT_EQ(placeOf(w.VSAval), place(360, 1305, 3660));
    EXPECT_EQ(placeOf(w.VSSelectedFld), place(5220, 1300, 3705));
    EXPECT_EQ(app::twipsWidth(w.SSTab1), app::pixelsToTwips(app::twipsToPixels(11520)));
    EXPECT_EQ(visibleColumns(w.VSAval), QList<int>{3});
    EXPECT_EQ(visibleColumns(w.VSSelectedFld), QList<int>{3});
    EXPECT_FALSE(w.txtWidth->isVisible());
    EXPECT_FALSE(w.cboGrpSort->isVisible());
    EXPECT_FALSE(w.cboTot->isVisible());
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval");
    QStringList items;
    for (QComboBox *combo : {w.cboGrpSort, w.cboTot})
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    EXPECT_EQ(lines(items), lines(QStringList{"None", "Asc", "Desc", "No", "Yes"}));
    EXPECT_EQ(w.cboGrpSort->currentIndex(), 0);
}

TEST(WizardPages, CustomizePageIsRefusedWhileNoColumnIsSelected)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    click(w.cmdNext);
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd");
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    const app::Message m = FakeMessages::instance().shown[0];
    EXPECT_EQ(m.prompt, "Please Select Column to Include");
    EXPECT_EQ(m.icon, app::Icon::None);
    EXPECT_EQ(m.buttons, app::Buttons::OkOnly);
    EXPECT_EQ(m.title, "");
    EXPECT_TRUE(w.VSAval->isVisible());
    EXPECT_EQ(placeOf(w.VSSelectedFld), place(5300, 1300, 3700));

    FakeMessages::instance().clear();
    QTabBar *bar = w.SSTab1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    settle();
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd");
    EXPECT_EQ(lastMessage(), "Please Select Column to Include");
}

TEST(WizardPages, EachPageLaysOutTheSelectedGridAndItsButtons)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    addColumn(w);
    const int gridHeight = w.VSSelectedFld->height();

    click(w.cmdNext);
    EXPECT_EQ(state(w), "page 1 back 1 next 1 focus VSSelectedFld");
    EXPECT_FALSE(w.VSAval->isVisible());
    EXPECT_TRUE(w.VSSelectedFld->isVisible());
    EXPECT_EQ(placeOf(w.VSSelectedFld), place(360, 1300, 10520));
    EXPECT_EQ(w.VSSelectedFld->height(), gridHeight);
    EXPECT_EQ(visibleColumns(w.VSSelectedFld), (QList<int>{3, 5, 6, 7, 8, 9, 10, 11}));
    QList<int> widths;
    for (int c = 5; c <= 11; ++c)
        widths << w.VSSelectedFld->colWidth(c);
    EXPECT_EQ(widths, (QList<int>{800, 800, 1000, 1000, 1000, 1000, 1000}));

    click(w.cmdNext);
    EXPECT_EQ(w.SSTab1->tab(), 2);
    EXPECT_TRUE(w.cmdBack->isEnabled());
    EXPECT_FALSE(w.cmdNext->isEnabled()); // there is no page after it
    EXPECT_TRUE(w.VSSelectedFld->isVisible());
    EXPECT_EQ(placeOf(w.VSSelectedFld), place(360, 1300, 10520));

    click(w.cmdBack);
    EXPECT_EQ(state(w), "page 1 back 1 next 1 focus VSSelectedFld");
    click(w.cmdBack);
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval");
    EXPECT_TRUE(w.VSAval->isVisible());
    EXPECT_EQ(placeOf(w.VSAval), place(360, 1300, 3660));
    EXPECT_EQ(placeOf(w.VSSelectedFld), place(5300, 1300, 3700));
    EXPECT_EQ(visibleColumns(w.VSSelectedFld), (QList<int>{3, 5, 6}));
    EXPECT_EQ(w.VSSelectedFld->colWidth(5), 800);
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());

    // Escape is Cancel: the window closes and opens afresh.
    key(Qt::Key_Escape);
    settle();
    EXPECT_FALSE(w.isVisible());
    openWizard();
    EXPECT_EQ(w.VSSelectedFld->rows(), 1);
    EXPECT_EQ(placeOf(w.VSSelectedFld), place(5220, 1300, 3705));
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval");
}

TEST(WizardPages, ValidateReportRefusesMissingNamesAndColumns)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    for (const QString name : {"", "   "}) {
        FakeMessages::instance().clear();
        w.txtRepName->setText(name);
        addColumn(w);
        click(w.cmdNext);
        EXPECT_FALSE(w.ValidateReport());
        ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
        EXPECT_EQ(lastMessage(), "Please Specify Name for Report");
        EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
        EXPECT_EQ(FakeMessages::instance().shown[0].title, "");
        EXPECT_EQ(state(w), "page 0 back 0 next 1 focus txtRepName");
    }

    FakeMessages::instance().clear();
    w.txtRepName->setText("Report1");
    while (w.VSSelectedFld->rows() > 1)
        click(w.cmdRemove);
    EXPECT_FALSE(w.ValidateReport());
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_EQ(lastMessage(), "You Must Add One Column Atleast to Report");
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus cmdAdd");

    FakeMessages::instance().clear();
    addColumn(w);
    EXPECT_TRUE(w.ValidateReport());
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}

TEST(WizardPages, ValidateReportRefusesTheNameOfAnotherReport)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    addColumn(w);
    click(w.cmdNext);
    w.txtRepName->setText("  party wise SALES ");
    EXPECT_FALSE(w.ValidateReport());
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    const app::Message m = FakeMessages::instance().shown[0];
    EXPECT_EQ(m.prompt, "Duplicate Report Name \"  party wise SALES \" Found");
    EXPECT_EQ(m.icon, app::Icon::Information);
    EXPECT_EQ(m.buttons, app::Buttons::OkOnly);
    EXPECT_EQ(m.title, "");
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus txtRepName");

    // A modified report keeps its own name however it is written.
    FakeMessages::instance().clear();
    openWizard("CRF4");
    w.txtRepName->setText("Voucher Register");
    EXPECT_FALSE(w.ValidateReport());
    EXPECT_EQ(lastMessage(), "Duplicate Report Name \"Voucher Register\" Found");
    FakeMessages::instance().clear();
    w.txtRepName->setText("A Name Nobody Has");
    EXPECT_TRUE(w.ValidateReport());
    w.txtRepName->setText("  PARTY wise sales  ");
    root.year().execute("Drop Table CrMain"); // any query now fails
    EXPECT_TRUE(w.ValidateReport());
    w.txtRepName->setText("Party Wise Sales");
    EXPECT_TRUE(w.ValidateReport());
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());

    // A failing query is reported and refuses; the window stays.
    w.txtRepName->setText("Another Name");
    EXPECT_FALSE(w.ValidateReport());
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(lastMessage().contains("CrMain")) << lastMessage().toStdString();
    EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
    EXPECT_TRUE(w.isVisible());
}

TEST(WizardPages, ReportNameIsSelectedFromTheCaretOnwardsWhenEntered)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    frmRepCust &w = openWizard();
    w.txtRepName->setCursorPosition(0);
    w.txtRepName->setFocus();
    settle();
    EXPECT_EQ(w.txtRepName->selectedText(), "Report1");
    w.VSAval->setFocus();
    w.txtRepName->setCursorPosition(3);
    w.txtRepName->setFocus();
    settle();
    EXPECT_EQ(w.txtRepName->selectedText(), "ort1");
}

TEST(WizardPages, ReportListOpensTheWizardWithoutWaitingForIt)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    Form1 &list = Form1::instance();
    list.show();
    list.activateWindow();
    settle();
    list.DataSelect();
    click(list.cmdAdd);
    frmRepCust &w = frmRepCust::instance();
    ASSERT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(w.StrCode, "");
    EXPECT_EQ(w.VSSelectedFld->rows(), 1);
    EXPECT_EQ(w.txtRepName->text(), "Report1");

    list.activateWindow();
    settle();
    list.vfg->setFocus();
    list.vfg->setRow(list.vfg->findRow("CRF4", 0));
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(w.StrCode, "CRF4");
    EXPECT_EQ(w.txtRepName->text(), "Party Wise Sales");
    EXPECT_EQ(w.VSSelectedFld->rows(), 4);
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}
