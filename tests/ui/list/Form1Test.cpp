#include "app/Paths.h"
#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "tests/ui/crosstab/DesignerScript.h"
#include "tests/ui/wizard/WizardUi.h"
#include "ui/crosstab/TextBox.h"
#include "ui/grid/Grid.h"
#include "ui/list/Form1.h"
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

Form1 &showList()
{
    Form1 &list = Form1::instance();
    list.show();
    list.activateWindow();
    settle();
    list.DataSelect(); // a list left from an earlier test's data root
    return list;
}

} // namespace

// An empty table leaves only the empty row and disables Modify and Delete; a long list reloads
// when activated, and a database error is reported without ending.
TEST(ReportList, EmptyAndLongListsAndADatabaseError)
{
    TestRoot root(TestRoot::Empty, "CTR");
    Form1 &list = showList();
    EXPECT_EQ(list.vfg->rows(), 2);
    EXPECT_FALSE(list.cmdModify->isEnabled() || list.cmdDelete->isEnabled());

    list.vfg->setFocus();
    QTest::mouseClick(list.cmdDelete, Qt::LeftButton); // disabled: nothing happens
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
    list.cmdDelete_Click();
    EXPECT_EQ(FakeMessages::instance().prompts(), QStringList{"No Record To Delete "});
    EXPECT_EQ(QApplication::focusWidget(), list.vfg);
    FakeMessages::instance().clear();

    {
        data::Transaction tx(root.year());
        for (int i = 0; i < 2000; ++i)
            root.year().execute("Insert Into ZoCTR (Col99, ColRepName, ColRepDesc) Values (?, ?, ?)",
                                {QString("CTR%1").arg(i + 1), QString("Report %1").arg(1999 - i, 4, 10, QChar('0')),
                                 i % 3 ? QVariant(QString("Desc %1").arg(i)) : QVariant()});
        tx.commit();
    }
    list.DataSelect();
    EXPECT_EQ(list.vfg->rows(), 2002);
    EXPECT_TRUE(list.cmdModify->isEnabled() && list.cmdDelete->isEnabled());
    const QString query = "Select Col99,ColRepName,ColRepDesc From ZoCTR Order By ColRepName";

    auto other = data::Connection::open(app::yearConnectionString(root.path(), 1, 1));
    other->execute("Update ZoCTR Set ColRepDesc='Changed elsewhere' Where Col99='CTR201'");
    QWidget window;
    window.show();
    window.activateWindow();
    settle();
    list.activateWindow();
    settle();
    EXPECT_EQ(gridRows(list.vfg),
              QStringList{"RepRecNo    |Report Name                            |Report Desc.              "}
                  + root.rows(query) + QStringList{"||"});
    EXPECT_TRUE(list.vfg->isColumnHidden(0));

    root.year().execute("Drop Table ZoCTR");
    list.DataSelect();
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("ZoCTR"));
    EXPECT_TRUE(list.isVisible());
}

TEST(ReportList, TabularModeListsCrMainAndDeleteTakesTheReportsColumnsWithIt)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    Form1 &list = showList();
    EXPECT_EQ(gridRows(list.vfg), QStringList{"RepRecNo    |Report Name                            "} +
                                      root.rows("Select ColCode,ColReportName From CrMain Order By ColReportName") +
                                      QStringList{"|"});
    list.vfg->setRow(1);
    const QString code = list.vfg->textMatrix(1, 0);
    ASSERT_GT(root.value("Select count(*) From CrChild Where ColCode=?", {code}).toInt(), 0);
    const QStringList crossTab = root.rows("Select * From ZoCTR");
    FakeMessages::instance().answer(app::Answer::Yes);
    list.cmdDelete_Click();
    EXPECT_EQ(root.value("Select count(*) From CrMain Where ColCode=?", {code}).toInt(), 0);
    EXPECT_EQ(root.value("Select count(*) From CrChild Where ColCode=?", {code}).toInt(), 0);
    EXPECT_EQ(root.rows("Select * From ZoCTR"), crossTab);
}

TEST(ReportList, AddModifyAndDeleteChangeTheDefinitionsAndTheListReloads)
{
    TestRoot root(TestRoot::Demo, "CTR");
    Form1 &list = showList();
    DesignerScript d;
    d.run([&] { QTest::mouseClick(list.cmdAdd, Qt::LeftButton); }, [&](SelectionScreen &) {
        type("AAA Cities");
        key(Qt::Key_Return);
        key(Qt::Key_Return);
        settle(20);
        d.pick([] { key(Qt::Key_Return); }, [] { down(4); });
        d.pick([] { key(Qt::Key_Return); });
        d.pick([] { key(Qt::Key_Return); });
        save();
    });
    settle(20);
    EXPECT_EQ(gridRows(list.vfg).value(1),
              root.value("Select Col99 From ZoCTR Where ColRepName='AAA Cities'").toString() + "|AAA Cities|AAA Cities");
    EXPECT_EQ(list.vfg->rows(), 6);

    list.activateWindow(); // as the desktop does once the modal window is gone
    settle();
    list.vfg->setFocus();
    list.vfg->setRow(list.vfg->findRow("CTR2", 0));
    d.run([] { key(Qt::Key_Return); }, [&](SelectionScreen &s) {
        EXPECT_EQ(s.txtReportName->text(), "Product Stock By Group");
        s.txtReportName->setText("ZZZ Stock");
        save();
    });
    settle(20);
    EXPECT_EQ(QStringList{gridRows(list.vfg).value(list.vfg->rows() - 2)},
              root.rows("Select Col99, ColRepName, ColRepDesc From ZoCTR Where ColRepName='ZZZ Stock'"));
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());

    // Delete asks first and removes only the run mode's rows.
    const QString code = list.vfg->textMatrix(2, 0);
    const QStringList tabular = root.rows("Select * From CrMain") + root.rows("Select * From CrChild");
    list.vfg->setRow(2);

    FakeMessages::instance().answer(app::Answer::No);
    QTest::mouseClick(list.cmdDelete, Qt::LeftButton);
    ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
    const app::Message m = FakeMessages::instance().shown[0];
    EXPECT_EQ(m.prompt, "Are You Sure This Record is Delete");
    EXPECT_EQ(m.defaultButton, app::Answer::No);
    EXPECT_EQ(root.value("Select count(*) From ZoCTR").toInt(), 4);

    FakeMessages::instance().answer(app::Answer::Yes);
    QTest::mouseClick(list.cmdDelete, Qt::LeftButton);
    EXPECT_EQ(list.vfg->rows(), 5);
    EXPECT_EQ(root.value("Select count(*) From ZoCTR Where Col99=?", {code}).toInt(), 0);
    EXPECT_EQ(root.rows("Select * From CrMain") + root.rows("Select * From CrChild"), tabular);
    EXPECT_EQ(list.vfg->findRow(code, 0), -1);
}
