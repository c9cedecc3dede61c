#include "support/FakeMessages.h"
#include "support/TestRoot.h"
#include "support/Ui.h"
#include "ui/wizard/frmCustFld.h"
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString RowQuery = "Select ColCode, FldName, CalString, FldDType, MCode From CRCustFld Where ColCode=?";

int customCount(TestRoot &root)
{
    return root.value("Select count(*) From CRCustFld").toInt();
}

bool noWindowLeft()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return false;
    return true;
}

} // namespace

TEST(CustomColumn, ANewColumnTypedInTakesTheNextMrnCode)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    ModalScript script;
    script.expect<frmCustFld>([](frmCustFld *w) {
        EXPECT_EQ(w->windowTitle(), "Custom Column");
        EXPECT_EQ(w->cboType->currentText(), "Numeric");
        EXPECT_EQ(QApplication::focusWidget(), w->txtColName);
        type("Net Weight");
        key(Qt::Key_Tab);
        type("T52.Col95");
        key(Qt::Key_Return); // a new line in the formula, not OK
        type("* 2");
        EXPECT_TRUE(w->isVisible());
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w->cboType);
        key(Qt::Key_Down);
        key(Qt::Key_Return); // OK
    });
    frmCustFld::instance().showForm("");
    ASSERT_TRUE(script.finish()) << script.failure().toStdString();

    const QString code = "CF-" + QString::number(next);
    EXPECT_EQ(root.rows(RowQuery, {code}), QStringList{code + "|Net Weight|T52.Col95\n* 2|C|PWR"});
    EXPECT_EQ(root.counter("MRN"), next + 1);
    EXPECT_TRUE(FakeMessages::instance().shown.isEmpty());
    EXPECT_TRUE(noWindowLeft());
}

TEST(CustomColumn, ModifyChangesTheRowAndKeepsItsCode)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    const int count = customCount(root);
    ModalScript script;
    script.expect<frmCustFld>([](frmCustFld *w) {
        EXPECT_EQ(w->txtColName->text(), "Weight Sold");
        EXPECT_EQ(w->txtFormula->toPlainText(), "T52.Col95 * M20.ColWeight");
        EXPECT_EQ(w->cboType->currentText(), "Numeric");
        key(Qt::Key_A, Qt::ControlModifier);
        type("Kilos Sold ");
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
    });
    frmCustFld::instance().showForm("CF-1");
    ASSERT_TRUE(script.finish()) << script.failure().toStdString();

    EXPECT_EQ(root.rows(RowQuery, {"CF-1"}), QStringList{"CF-1|Kilos Sold |T52.Col95 * M20.ColWeight|N|PWR"});
    EXPECT_EQ(customCount(root), count);
    EXPECT_EQ(root.counter("MRN"), next);
    EXPECT_TRUE(noWindowLeft());
}

TEST(CustomColumn, AMissingNameOrFormulaIsRefusedAndCancelStoresNothing)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    const QStringList before = root.rows("Select * From CRCustFld Order By ColCode");
    ModalScript script;
    script.expect<frmCustFld>([](frmCustFld *w) {
        key(Qt::Key_Tab);
        type("T52.Col93");
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        w->txtColName->setText("Amount");
        w->txtFormula->clear();
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        ASSERT_EQ(FakeMessages::instance().shown.size(), 2);
        for (const app::Message &m : FakeMessages::instance().shown) {
            EXPECT_EQ(m.prompt, "Please Enter Column Name and Formula Both ");
            EXPECT_EQ(m.icon, app::Icon::Information);
            EXPECT_EQ(m.buttons, app::Buttons::OkOnly);
            EXPECT_EQ(m.title, "");
        }
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->txtColName->text(), "Amount");
        w->txtFormula->setPlainText("T52.Col93");
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
    });
    // The next opening starts from the designed state.
    script.expect<frmCustFld>([](frmCustFld *w) {
        EXPECT_EQ(w->txtColName->text(), "");
        EXPECT_EQ(w->txtFormula->toPlainText(), "");
        EXPECT_EQ(w->cboType->count(), 3);
        EXPECT_EQ(w->cboType->currentText(), "Numeric");
        key(Qt::Key_Escape);
    });
    frmCustFld::instance().showForm("");
    frmCustFld::instance().showForm("");
    ASSERT_TRUE(script.finish()) << script.failure().toStdString();

    EXPECT_EQ(root.rows("Select * From CRCustFld Order By ColCode"), before);
    EXPECT_EQ(root.counter("MRN"), next);
    EXPECT_TRUE(noWindowLeft());
}

TEST(CustomColumn, AnUnknownOrEmptyStoredTypeReopensAsDateAndIsStoredAsD)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    for (const QVariant &stored : {QVariant(""), QVariant("X"), QVariant()}) {
        root.year().execute("Update CRCustFld Set FldDType=? Where ColCode='CF-2'", {stored});
        ModalScript script;
        script.expect<frmCustFld>([](frmCustFld *w) {
            EXPECT_EQ(w->cboType->currentText(), "Date");
            key(Qt::Key_Return);
        });
        frmCustFld::instance().showForm("CF-2");
        ASSERT_TRUE(script.finish()) << script.failure().toStdString();
        EXPECT_EQ(root.value("Select FldDType From CRCustFld Where ColCode='CF-2'"), "D");
    }
}

TEST(CustomColumn, ADatabaseErrorIsShownAndKeepsTheWindowOpen)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    const int next = root.counter("MRN");
    root.year().execute("CREATE TRIGGER t BEFORE INSERT ON CRCustFld BEGIN SELECT RAISE(ABORT,'disk full'); END");
    const int count = customCount(root);
    ModalScript script;
    script.expect<frmCustFld>([](frmCustFld *w) {
        type("Amount");
        w->txtFormula->setPlainText("T52.Col93");
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        ASSERT_EQ(FakeMessages::instance().shown.size(), 1);
        EXPECT_TRUE(FakeMessages::instance().shown[0].prompt.contains("disk full"));
        EXPECT_EQ(FakeMessages::instance().shown[0].icon, app::Icon::Critical);
        EXPECT_TRUE(w->isVisible());
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
    });
    frmCustFld::instance().showForm("");
    ASSERT_TRUE(script.finish()) << script.failure().toStdString();
    EXPECT_EQ(customCount(root), count);
    EXPECT_EQ(root.counter("MRN"), next + 1) << "a number taken stays used";
}
