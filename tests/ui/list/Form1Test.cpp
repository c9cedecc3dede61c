#include "tests/ui/Windows.h"

namespace {

// Shows the list and activates it as a message box or another window closing over it does.
void activate(Form1 &list)
{
    QWidget other;
    other.show();
    other.activateWindow();
    settle();
    list.show();
    list.activateWindow();
    settle();
}

} // namespace

// Every key acts on the row the user sees: the arrows move it at once, Enter on a button presses
// it, and every reload keeps the user's row, or makes the definition just stored current.
TEST(ReportList, KeysActOnTheCurrentRowWhichEveryReloadKeepsEmptyLongAndBrokenListsAndTabularModeOpensTheWizard)
{
    TestRoot root(TestRoot::Demo, "CTR");
    Form1 list;
    activate(list);
    const auto code = [&] { return list.vfg->textMatrix(list.vfg->row(), 0); };
    const std::pair<Qt::Key, QString> moves[] = {{Qt::Key_Down, "CTR1"}, {Qt::Key_End, ""}, {Qt::Key_Home, "CTR3"},
                                                 {Qt::Key_PageDown, ""}, {Qt::Key_PageUp, "CTR3"}, {Qt::Key_Down, "CTR1"}};
    for (const auto &[k, expected] : moves) {
        key(k);
        EXPECT_EQ(code(), expected) << k;
    }
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Tab); // to Delete
    FakeMessages::instance().answer(app::Answer::No);
    key(Qt::Key_Return);
    activate(list);
    FakeMessages::instance().answer(app::Answer::Yes);
    key(Qt::Key_Return);
    EXPECT_EQ(takeMessages(), lines(QStringList(2, "Are You Sure This Record is Delete")));
    EXPECT_EQ(root.rows("Select Col99 From ZoCTR Order By Col99"), QStringList({"CTR2", "CTR3"}));
    EXPECT_EQ(code(), "CTR2"); // the row that took the deleted one's place
    activate(list);
    EXPECT_EQ(code(), "CTR2");

    DesignerScript d;
    d.run([] { key(Qt::Key_Return); }, [&](SelectionScreen &s) {
        EXPECT_EQ(s.txtReportName->text(), "Product Stock By Group");
        type("AAA Stock");
        save();
    });
    activate(list);
    EXPECT_EQ(code(), "CTR2");
    EXPECT_EQ(list.vfg->row(), 1);

    const int next = root.counter("OTH");
    key(Qt::Key_End);
    d.run([] { key(Qt::Key_Return); }, [&](SelectionScreen &s) {
        for (TextBox *box : {s.txtReportName, s.txtReportDesc, s.txtRowData, s.txtColData, s.txtDispData})
            box->setText(box->tag = "Zed " + box->objectName());
        save();
    });
    activate(list);
    EXPECT_EQ(code(), "CTR" + QString::number(next));

    // An empty table leaves only the empty row and disables Modify and Delete. A long list reloads when
    // activated; another program's lock is told once however often that happens, and the list catches
    // up by itself once the lock is gone. A database error (last, below) is reported without ending.
    root.year().execute("Delete From ZoCTR");
    activate(list);
    EXPECT_EQ(list.vfg->rows(), 2);
    EXPECT_FALSE(list.cmdModify->isEnabled() || list.cmdDelete->isEnabled());

    list.cmdDelete_Click();
    EXPECT_EQ(takeMessages(), "No Record To Delete ");
    EXPECT_EQ(QApplication::focusWidget(), list.vfg);

    {
        data::Transaction tx(root.year());
        for (int i = 0; i < 2000; ++i)
            root.year().execute("Insert Into ZoCTR (Col99, ColRepName, ColRepDesc) Values (?, ?, ?)",
                                {QString("CTR%1").arg(i + 1), QString("Report %1").arg(1999 - i, 4, 10, QChar('0')),
                                 i % 3 ? QVariant(QString("Desc %1").arg(i)) : QVariant()});
        tx.commit();
    }
    list.DataSelect();
    EXPECT_TRUE(list.cmdModify->isEnabled() && list.cmdDelete->isEnabled());

    // A server's readers wait only for a lock on the whole table.
    const bool files = testServer().isEmpty();
    auto other = data::Connection::open(app::yearConnection(testServer(), root.path(), 1, 1));
    other->execute(files ? "BEGIN EXCLUSIVE" : "BEGIN");
    if (!files)
        other->execute("LOCK TABLE ZoCTR IN ACCESS EXCLUSIVE MODE");
    other->execute("Update ZoCTR Set ColRepDesc='Locked elsewhere' Where Col99='CTR201'");
    for (int i = 0; i < 3; ++i)
        activate(list);
    EXPECT_EQ(takeMessages(), files ? "!database is locked" : "!canceling statement due to lock timeout");
    other->execute("COMMIT");
    const QStringList expected = QStringList{"RepRecNo    |Report Name                            |Report Desc.              "}
        + root.rows("Select Col99,ColRepName,ColRepDesc From ZoCTR Order By ColRepName") + QStringList{"||"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return gridRows(list.vfg) == expected; }, 3000));

    // In tabular mode, Add and Modify over an open wizard start from the definition asked for, once
    // the user lets unsaved changes go; the report stored becomes current, and Delete takes its
    // columns with it.
    app::settings().RunMode = "WIZARD";
    activate(list);
    EXPECT_EQ(gridRows(list.vfg), QStringList{"RepRecNo    |Report Name                            "} +
                                      root.rows("Select ColCode,ColReportName From CrMain Order By ColReportName") +
                                      QStringList{"|"});
    const QString first = list.vfg->textMatrix(1, 0);
    const std::string stored = storedReport(root, first);
    frmRepCust &w = frmRepCust::instance();
    key(Qt::Key_Home);
    key(Qt::Key_Return);
    ASSERT_TRUE(w.isVisible());
    w.txtRepName->setText("Changed");
    for (const app::Answer discard : {app::Answer::No, app::Answer::Yes}) {
        FakeMessages::instance().answer(discard);
        list.cmdAdd_Click();
        EXPECT_EQ(str(w.StrCode + "|" + w.txtRepName->text()), discard == app::Answer::No ? str(first + "|Changed") : "|Report1");
    }
    EXPECT_EQ(takeMessages(), lines(QStringList(2, "Discard the changes to the report in the wizard?")));
    list.cmdModify_Click(); // nothing to lose: no question
    EXPECT_EQ(w.VSSelectedFld->rows() - 1, root.value("Select count(*) From CrChild Where ColCode=?", {first}).toInt());
    list.cmdAdd_Click();
    click(w.cmdAdd);
    w.txtRepName->setText("AAA New");
    EXPECT_EQ(press(w.cmdSave), "Report Added Sucessfully");
    activate(list);
    const QString made = list.vfg->textMatrix(list.vfg->row(), 0);
    EXPECT_EQ(root.rows("Select ColCode From CrMain Where ColReportName='AAA New'"), QStringList{made});
    EXPECT_EQ(storedReport(root, first), stored);

    const QStringList crossTab = root.rows("Select * From ZoCTR");
    EXPECT_EQ(press(list.cmdDelete, {app::Answer::Yes}), "Are You Sure This Record is Delete");
    EXPECT_EQ(storedReport(root, made), "");
    EXPECT_EQ(root.rows("Select * From ZoCTR"), crossTab);

    root.year().execute("Drop Table CrMain");
    list.DataSelect();
    EXPECT_EQ(takeMessages(), str("!" + noSuchTable("CrMain")));
    EXPECT_TRUE(list.isVisible());
}
