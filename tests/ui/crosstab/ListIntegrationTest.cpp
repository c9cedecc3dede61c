#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "tests/ui/crosstab/DesignerScript.h"
#include "ui/crosstab/TextBox.h"
#include "ui/list/Form1.h"
#include <QPushButton>
#include <gtest/gtest.h>

TEST(CrossTabFromTheList, AddAndModifyOpenTheDefinitionWindowAndTheListReloads)
{
    TestRoot root(TestRoot::Demo, "CTR");
    Form1 &list = Form1::instance();
    list.show();
    list.activateWindow();
    settle();
    list.DataSelect();
    DesignerScript d;
    d.run([&] { QTest::mouseClick(list.cmdAdd, Qt::LeftButton); }, [&](SelectionScreen &s) {
        EXPECT_TRUE(s.isModal());
        EXPECT_EQ(s.txtReportName->text(), "");
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
    EXPECT_EQ(list.vfg->textMatrix(1, 1), "AAA Cities");
    EXPECT_EQ(list.vfg->textMatrix(1, 2), "AAA Cities");
    EXPECT_EQ(list.vfg->rows(), 6);

    const int r = list.vfg->findRow("CTR2", 0);
    list.activateWindow(); // as the desktop does once the modal window is gone
    settle();
    list.vfg->setFocus();
    list.vfg->setRow(r);
    d.run([] { key(Qt::Key_Return); }, [&](SelectionScreen &s) {
        EXPECT_EQ(s.txtReportName->text(), "Product Stock By Group");
        s.txtReportName->setText("ZZZ Stock");
        save();
    });
    settle(20);
    EXPECT_EQ(list.vfg->textMatrix(list.vfg->rows() - 2, 1), "ZZZ Stock");
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
}
