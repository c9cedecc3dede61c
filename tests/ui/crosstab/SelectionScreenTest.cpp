#include "data/JetSql.h"
#include "tests/ui/Windows.h"
#include "ui/crosstab/Catalogues.h"
#include <QProcess>

namespace {

const QString Definition = QStringLiteral("Select * From ZoCTR Where Col99=?");

// Opens the picker as a field box of an active window would, runs keys in it and confirms (by Enter
// unless told otherwise); returns "preselected row|expression|caption".
std::string openPicker(frmRowSelect &picker, const QString &slot, const QString &tag, std::function<void()> keys = {},
                       std::function<void(frmRowSelect *)> confirm = {})
{
    int preselected = -1;
    // The active window the picker is opened from, as the definition window would be.
    QWidget owner;
    owner.show();
    owner.activateWindow();
    settle();
    QLineEdit box(&owner);
    box.setText(QStringLiteral("typed over"));
    ModalScript script;
    script.expect<frmRowSelect>([&](frmRowSelect *p) {
        preselected = p->vfg->row();
        EXPECT_EQ(QApplication::focusWidget(), p->vfg);
        EXPECT_TRUE(p->vfg->isColumnHidden(1));
        EXPECT_EQ(p->pos(), QPoint(app::twipsToPixels(5300), app::twipsToPixels(450)));
        if (keys)
            keys();
        confirm ? confirm(p) : key(Qt::Key_Return);
    });
    const QString expression = picker.RowSelectData(slot, &box, tag);
    EXPECT_TRUE(script.finish()) << str(script.failure());
    EXPECT_FALSE(picker.isVisible());
    return str(QString("%1|%2|%3").arg(preselected).arg(expression, box.text()));
}
// Saves by Alt+S; returns the messages shown.
std::string saved()
{
    save();
    return takeMessages();
}

} // namespace

TEST(CrossTabWindow, ThePickerOffersAndFindsFieldsAnIncompleteDefinitionIsRefusedOneAddedByKeysOneModifiedSafely)
{
    TestRoot root(TestRoot::Demo);
    // Every fixed entry runs over the family's source. The picker preselects the box's field in
    // whichever catalogue it shows (an unknown slot keeps the last one), finds captions as typed, and
    // Enter, Esc, the close box and OK all confirm the current row.
    for (const char *slot : {"RC0", "RC1", "RC2", "D0", "D1", "D2"})
        for (const crosstab::CatalogueEntry &e : crosstab::fixedEntries(QLatin1String(slot)))
            EXPECT_NO_THROW(root.year().select(data::translateStatement(
                "SELECT " + e.expression + app::settings().SourceFrom, root.year().engine())))
                << slot << " " << e.caption.toStdString();
    frmRowSelect picker(nullptr);
    const auto esc = [](frmRowSelect *) { key(Qt::Key_Escape); };
    const struct {
        const char *slot, *tag;
        std::function<void()> keys;
        std::function<void(frmRowSelect *)> confirm;
        const char *expected; // "preselected row|expression|caption"
    } cases[] = {
        {"RC0", "", {}, {}, "1|M02.Col98|Party Name"},
        {"RC0", "M20.Col98", {}, {}, "9|M20.Col98|Product Name (Original) "},
        {"RC1", "M20.Col98", {}, {}, "2|M20.Col98|Product Name (Original)"},
        {"D2", "M20.Col98", {}, {}, "1|M02.Col80|Opening Amount"}, // not in this catalogue: the first row
        {"RC2", "M02.Col95", [] { down(); }, {}, "7|M02.Col61|Party Type"},
        {"D1", "", [] { down(); }, esc, "1|M20.RecQty|Receipt Quantity"},
        {"D1", "M20.ClQty", {}, [](frmRowSelect *p) { p->close(); }, "4|M20.ClQty|Closing Quantity"},
        {"D1", "M20.IssQty", {}, [](frmRowSelect *p) { QTest::mouseClick(p->cmdOK, Qt::LeftButton); },
         "3|M20.IssQty|Issue Quantity"},
        {"RC9", "M20.ClQty", {}, {}, "4|M20.ClQty|Closing Quantity"}, // the last catalogue stays
    };
    for (const auto &c : cases)
        EXPECT_EQ(openPicker(picker, c.slot, c.tag, c.keys, c.confirm), c.expected) << c.slot << c.tag;

    // Keys and the row they leave current.
    const std::pair<std::function<void()>, const char *> typed[] = {
        {[] {}, "Product Alias"},                            // the box's field
        {[] { type("p"); }, "Product Group"},                // the next row starting with P
        {[] { type("A"); }, "Party Type"},                   // "pA" from there on, ignoring case
        {[] { type("c"); }, "Party Type"},                   // "pac" fits nothing: the row stays
        {[] { QTest::qWait(1100); type("c"); }, "Cartons"},  // after a pause, a new search
        {[] { type("i"); }, "City Name"},                    // "ci" wraps round to the top
        {[] { down(); }, "Area Name"}};                      // arrows keep their meaning
    const std::string o = openPicker(picker, "RC0", "M20.Col98A", [&] {
        for (const auto &[keys, row] : typed) {
            keys();
            EXPECT_EQ(str(picker.vfg->textMatrix(picker.vfg->row(), 0)), row);
        }
    });
    EXPECT_EQ(o, "10|M02.Col86|Area Name");

    // User fields follow the fixed rows, the value catalogue's past 99 rows; a user field repeating a
    // fixed expression leaves the preselection on the fixed row. A failing read of the user fields
    // is reported and the fixed rows stay.
    root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values ('ColNoName', NULL, 'H', 'C'), "
                        "('M02.Col88', 'AAA Town', 'H', 'C')");
    EXPECT_EQ(openPicker(picker, "RC0", "M02.Col88"), "5|M02.Col88|City Name");
    EXPECT_EQ(gridRows(picker.vfg).mid(22),
              QStringList({"|ColNoName", "AAA Town|M02.Col88", "Bags|ColBags", "Batch No|ColBatchNo", "Cartons|ColCartons",
                           "Freight Amount|ColFreight", "Transport|ColTransport", "Vehicle No|ColVehicleNo"}));

    EXPECT_EQ(openPicker(picker, "D0", "T52.ColFreight"), "21|T52.ColFreight|Freight Amount");
    QStringList amounts = gridRows(picker.vfg).mid(19);
    amounts.sort();
    EXPECT_EQ(amounts, QStringList({"Bags|T52.ColBags", "Cartons|T52.ColCartons", "Freight Amount|T52.ColFreight"}));

    data::Transaction tx(root.year());
    for (int i = 0; i < 90; ++i)
        root.year().execute("Insert Into ZoM35 (Col99, Col98, Col95, Col96) Values (?, ?, 'M', 'N')",
                            {QString("ColAmt%1").arg(i), QString("Amount %1").arg(i)});
    tx.commit();
    const QString amount = QString::fromStdString(openPicker(picker, "D0", "T52.ColAmt89"));
    EXPECT_EQ(str(amount.section('|', 1)), "T52.ColAmt89|Amount 89"); // its row differs by engine
    EXPECT_EQ(picker.vfg->rows(), 1 + 18 + 3 + 90);

    root.year().execute("Alter Table ZoM35 Rename To ZoM35Gone");
    EXPECT_EQ(openPicker(picker, "RC0", "M02.ColSMName"), "21|M02.ColSMName|Sales Man");
    EXPECT_EQ(picker.vfg->rows(), 22);
    EXPECT_EQ(takeMessages(), str("!" + noSuchTable("ZoM35")));
    root.year().execute("Alter Table ZoM35Gone Rename To ZoM35");

    // An incomplete definition is refused field by field and, once cancelled, takes no number; the
    // next one is added through the keyboard alone.
    root.firm().execute("Update ZoF05 Set Col98=17 Where Col99='OTH'");
    DesignerScript d;
    d.entry(0, "", [&](SelectionScreen &s) {
        // Every refusal is a warning with OK only.
        save();
        const app::Message refused = FakeMessages::instance().shown.value(0);
        EXPECT_TRUE(refused.title == "Warning" && refused.buttons == app::Buttons::OkOnly);
        EXPECT_EQ(takeMessages(), "!Report Name Can not Be Empty");
        type("   ");
        EXPECT_EQ(saved(), "!Report Name Can not Be Empty");
        type("Stock"); // the refused box has the focus
        s.txtReportDesc->setText("  ");
        EXPECT_EQ(saved(), "!Report Desc. Can not Be Empty");
        type("Stock");
        // An empty field box takes the focus and offers its picker, without a message.
        const std::pair<TextBox *, QString> picked[] = {
            {s.txtRowData, "Party Name"}, {s.txtColData, "Party Name"}, {s.txtDispData, "Sale Amount"}};
        for (const auto &[box, caption] : picked) {
            d.pick(save);
            EXPECT_EQ(str(box->text()), str(caption));
        }
        key(Qt::Key_Space);
        d.pick(save);
        EXPECT_EQ(s.txtGroupField->text(), "Party Name");

        // Row and column alike: the row box's picker opens on the shared field.
        EXPECT_EQ(d.pick(save, [] { down(2); }), 1);
        EXPECT_EQ(takeMessages(), "!Row Data and Col Data Is Same Please Change...");
        EXPECT_EQ(s.txtRowData->tag, "M02.Col98 + Space(1) + M02.Col86 ");
        FakeMessages::instance().answer(app::Answer::Yes);
        key(Qt::Key_Escape);
    });
    EXPECT_EQ(takeMessages(), "Discard the changes to this definition?");

    d.entry(0, "", [&](SelectionScreen &s) {
        type("  Area Sales "); // Enter moves on from the name and the description
        key(Qt::Key_Return);
        settle(20);
        key(Qt::Key_Return);
        settle(20);

        EXPECT_EQ(d.pick([] { key(Qt::Key_Return); }, [] { down(1); }), 1);
        // Back from another program, the box that kept the focus opens no picker; Esc asks
        // before it throws the changes away.
        QApplication::setActiveWindow(nullptr);
        settle();
        QApplication::setActiveWindow(&s);
        settle(20);
        ASSERT_EQ(QApplication::focusWidget(), s.txtRowData);
        key(Qt::Key_Escape);
        EXPECT_TRUE(s.isVisible());
        EXPECT_EQ(d.pick([] { key(Qt::Key_Return); }, [] { down(4); }), 1);
        d.pick([] { key(Qt::Key_Return); }, [] { down(4); });
        key(Qt::Key_Space); // shows the group field, which Enter reaches next
        d.pick([] { key(Qt::Key_Return); }, [] { down(6); });
        key(Qt::Key_Return); // presses the focused button
    });
    EXPECT_EQ(root.rows(Definition, {"CTR17"}),
              QStringList({"CTR17|Area Sales|Area Sales|M02.Col98 + Space(1) + M02.Col88 |M02.Col88|"
                           "IIF( Left(T52.Col99,1) = 'S'  , T52.Col93 * IIF(T52.Col90='R',-1,1)  ,0) |M02.Col95|1|"
                           "Party Name With City Name|City Name|Net Sale Amount|Party Group Name|0"}));
    EXPECT_EQ(takeMessages(), "Discard the changes to this definition?");

    // Modify keeps the number and the stored definition until the user chooses otherwise.
    root.year().execute("Insert Into ZoCTR (Col99, ColRepName, ColRepDesc) Values ('CTR40', 'party sales by month', 'x')");
    const QStringList before = root.rows(Definition, {"CTR1"});
    const int counter = root.counter("OTH");
    d.entry(1, "CTR1", [&](SelectionScreen &s) {
        EXPECT_EQ(s.txtColData->text() + "=" + s.txtColData->tag, "Month Name=Month (T51.Col98) ");
        EXPECT_FALSE(s.txtGroupField->isHidden());
        s.txtReportName->setText("product stock by group ");
        EXPECT_EQ(saved(), "!Duplicate Report Name Not Allowed");
        EXPECT_EQ(QApplication::focusWidget(), s.txtReportName);
        s.txtReportName->setText(" PARTY sales BY month  ");
        save();
    });
    // CTR40's name equals this one but for case: the query would have refused it.
    EXPECT_EQ(root.rows(Definition, {"CTR1"}),
              QStringList(before).replaceInStrings("Party Sales By Month", "PARTY sales BY month"));

    // Add after Modify starts from the designed state.
    d.entry(0, "", [&](SelectionScreen &s) {
        for (TextBox *box : s.findChildren<TextBox *>())
            EXPECT_TRUE(box->text().isEmpty() && box->tag.isEmpty()) << box->objectName().toStdString();
        EXPECT_TRUE(s.txtGroupField->isHidden());
        s.close(); // the close box leaves at once, like Cancel
    });

    // The row field stays across a change of report type; the picker then offers the new type's
    // catalogue, and a caption typed over the picked one is stored with the picked expression.
    d.entry(1, "CTR1", [&](SelectionScreen &s) {
        QTest::mouseClick(s.txtReportDesc, Qt::LeftButton);
        key(Qt::Key_Tab);
        key(Qt::Key_Down);
        EXPECT_EQ(s.txtRowData->text() + "=" + s.txtRowData->tag, "Party Name=M02.Col98");
        int rows = 0;
        EXPECT_EQ(d.pick([] { key(Qt::Key_Return); }, [&] { rows = s.picker->vfg->rows(); }), 1);
        EXPECT_EQ(rows, 10);
        EXPECT_EQ(s.txtRowData->text(), "Product Name (Print)");
        key(Qt::Key_A, Qt::ControlModifier);
        type("Products");
        save();
    });
    EXPECT_EQ(root.rows("Select ColRowData, ColRowDataName, ColRepType, ColDispData From ZoCTR Where Col99='CTR1'"),
              QStringList({"M20.ColExcPNameNew|Products|1|"
                           "IIF( Left(T52.Col99,1) = 'S'  , T52.Col93 * IIF(T52.Col90='R',-1,1)  ,0) "}));

    d.window.EntryType(1, "CTR99");
    EXPECT_FALSE(d.window.isVisible());
    EXPECT_EQ(takeMessages(), "!This report definition no longer exists.");

    // A report type or grouping flag out of range is said at opening (a server's typed column holds
    // no fraction). A failed save, from a full disk or a server
    // ending the session, shows the engine's message and keeps the window and the stored rows as
    // they were; a new definition's number stays taken and the retry uses it. A restart of the
    // server between two saves goes unnoticed. Another program's change made while the window is
    // open is never overwritten silently: No (the default) shows the stored definition, Yes stores
    // the window's, with the values as said.
    const bool onServer = !testServer().isEmpty();
    QList<QPair<TestRoot::Failure, QString>> failures{{TestRoot::DiskFull, "disk full"}};
    if (onServer)
        failures.append({TestRoot::SessionEnds, "The connection to the server was lost and the change was not stored: "
                                                "terminating connection due to administrator command"});
    for (const QString recNo : {"CTR3", ""}) {
        const QStringList before = root.rows("Select * From ZoCTR Order By Col99");
        d.entry(recNo.isEmpty() ? 0 : 1, recNo, [&](SelectionScreen &s) {
            if (recNo.isEmpty()) {
                s.txtReportName->setText("Fresh");
                for (TextBox *box : {s.txtRowData, s.txtColData, s.txtDispData})
                    box->setText(box->tag = box->objectName());
            }
            s.txtReportDesc->setText("Changed");
            for (const auto &[failure, message] : failures) {
                root.failWrites("ZoCTR", "INSERT", "", failure);
                EXPECT_EQ(saved(), str("!" + message));
                EXPECT_TRUE(s.isVisible());
                EXPECT_EQ(root.rows("Select * From ZoCTR Order By Col99"), before);
                root.allowWrites();
            }
            // Restarted as an administrator may while programs use it: every connection breaks.
            const QString folder = testServer().section("host=", 1).section(' ', 0, 0);
            EXPECT_TRUE(!onServer || QProcess::execute(PG_CLUSTER, {"restart", folder}) == 0);
            save();
            EXPECT_FALSE(s.isVisible());
        });
    }
    EXPECT_EQ(root.rows("Select Col99, ColRepName, ColRepDesc From ZoCTR Where ColRepDesc='Changed' Order By Col99"),
              QStringList({QString("CTR%1|Fresh|Changed").arg(counter), "CTR3|Party Balances By City|Changed"}));
    EXPECT_EQ(root.counter("OTH"), counter + 1);

    const QString grouping = onServer ? "2" : "0.5";
    root.year().execute("Update ZoCTR Set ColRepType=7, ColIsGrouping=" + grouping + " Where Col99='CTR2'");
    const QString problems = "The stored grouping flag \"" + grouping + "\" is not one of 0 to 1; a save stores 0.\n"
                             "The stored report type \"7\" is not one of 0 to 2; a save stores 0.";
    const QString changed = "Another program changed this definition after you opened it.\n\nYes stores your "
                            "version over that change; No shows the stored one instead.";
    // Another program's change, then the window's save answered; what the save shows.
    const auto changedElsewhere = [&d](const char *theirs, app::Answer answer) {
        FakeMessages::instance().answer(answer);
        app::YearDb().execute("Update ZoCTR Set ColRepDesc=? Where Col99='CTR2'", {theirs});
        d.window.txtReportDesc->setText("Mine");
        save();
        EXPECT_EQ(FakeMessages::instance().shown.value(0).buttons, app::Buttons::YesNo);
        return takeMessages();
    };
    d.entry(1, "CTR2", [&](SelectionScreen &s) {
        EXPECT_EQ(takeMessages(), str(problems));
        EXPECT_EQ(changedElsewhere("Theirs", app::Answer::No), str(changed + "\n" + problems));
        EXPECT_TRUE(s.isVisible());
        EXPECT_EQ(s.txtReportDesc->text(), "Theirs");
        EXPECT_EQ(changedElsewhere("Theirs again", app::Answer::Yes), str(changed));
    });
    EXPECT_EQ(root.rows("Select ColRepDesc, ColRepType, ColIsGrouping From ZoCTR Where Col99='CTR2'"),
              QStringList{"Mine|0|0"});
}
