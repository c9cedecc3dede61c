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

// Opens the combo of a cell of the selected grid and answers it with keys.
void editCell(frmRepCust &w, int row, int col, int downs)
{
    clickCell(w.VSSelectedFld, row, col);
    key(Qt::Key_Return);
    for (int i = 0; i < downs; ++i)
        key(Qt::Key_Down);
    key(Qt::Key_Return);
    settle();
}

} // namespace

// The pages, a report's validation, its saves and custom columns, one report built by keys.
TEST(Wizard, PagesWalkAndValidateAFailedOrOverriddenSaveOrABadFormulaChangesNothingUnaskedAndAReportBuiltByKeysReopens)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
    Wizard w;
    EXPECT_EQ(state(w), "page 0 back 0 next 1 focus VSAval columns 3");
    QTabBar *bar = w.SSTab1->tabBar();
    for (const bool byTab : {false, true}) { // Next, then the second page's tab
        byTab ? QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center()) : click(w.cmdNext);
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
    root.year().execute("Alter Table CrMain Rename To CrMainGone");
    EXPECT_TRUE(w.ValidateReport());
    w.txtRepName->setText("Another Name");
    EXPECT_FALSE(w.ValidateReport());
    EXPECT_EQ(takeMessages(), str("Duplicate Report Name \"Voucher Register\" Found\n!" + noSuchTable("CrMain")));
    EXPECT_TRUE(w.isVisible());
    root.year().execute("Alter Table CrMainGone Rename To CrMain");

    // A modified report's save fails half way and changes nothing, then succeeds under its own code;
    // a new report's save fails and is retried under the number it took. A save over another
    // program's change or delete asks first.
    const int next = root.counter("OTH");
    // A code's case counts: "y" is no total.
    root.year().execute("Update CrChild Set ColTotal='y' Where ColCode='CRF4' And ColSeq=2");
    const auto stored = [&](const QString &where) {
        return lines(root.rows("Select * From CrMain" + where + " Order By ColCode")
                     + root.rows("Select * From CrChild" + where + " Order By ColCode, ColSeq"));
    };
    const std::string before = stored(""), others = stored(" Where ColCode<>'CRF4'");
    for (const char *change : {"INSERT", "UPDATE"})
        root.failWrites("CrChild", change, "NEW.ColSeq = 2");
    w.open("CRF4");
    clickCell(w.VSSelectedFld, 3, C::Caption);
    click(w.cmdRemove);
    typeOver(w.txtRepName, "Party Sales ");
    click(w.cmdNext);
    // Enter outside the width, grouping, sorting and totals opens nothing.
    for (int c : {C::TabName, C::ColumnName, C::DataType, C::Alignment, C::Decimal}) {
        w.VSSelectedFld->setCol(c);
        key(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld) << c;
    }
    EXPECT_EQ(press(w.cmdSave), "!disk full");
    EXPECT_EQ(str(w.StrCode + "|" + w.txtRepName->text()), "CRF4|Party Sales ");
    EXPECT_FALSE(root.year().inTransaction());
    EXPECT_EQ(stored(""), before);
    // The grid as it was: the retry stores it.
    root.allowWrites();
    EXPECT_EQ(press(w.cmdSave), "Report Added Sucessfully");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(storedReport(root, "CRF4"),
              lines({mainRow("CRF4", "Party Sales",
                             cells({"M02|Col98|C|Party Name|L|2000|0|Asc|No|No|Yes|No",
                                    "T52|Col93|N|Amount|R|1500|2|No|Desc||No|Yes"})),
                     "CRF4|M02|Col98|Party Name|C|L|2000|0|A|N|N|Y|N|F|1",
                     "CRF4|T52|Col93|Amount|N|R|1500|2|N|D||N|Y|F|2"}));

    root.failWrites("CrChild", "INSERT", "NEW.ColSeq = 2");
    w.open();
    click(w.cmdAdd);
    click(w.cmdAdd);
    EXPECT_EQ(press(w.cmdSave), "!disk full");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(stored(" Where ColCode<>'CRF4'"), others);
    EXPECT_EQ(root.counter("OTH"), next + 1) << "a number taken stays used";
    root.allowWrites();
    EXPECT_EQ(press(w.cmdSave), "Report Added Sucessfully");
    // The retry keeps its number. Its rows are compared whole where a new report is built.
    const QString code = "CRF" + QString::number(next);
    EXPECT_EQ(root.rows("Select ColFieldNameDisp From CrChild Where ColCode=? Order By ColSeq", {code}),
              QStringList({"Area", "City"}));

    // A save over another program's change asks first: No (the default) shows the stored report in
    // the wizard, Yes after a delete stores the wizard's report again under its code.
    w.open("CRF4");
    root.year().execute("Update CrChild Set ColFieldNameDisp='Theirs' Where ColCode='CRF4' And ColSeq=2");
    typeOver(w.txtRepName, "Mine");
    EXPECT_TRUE(QString::fromStdString(press(w.cmdSave)).startsWith("Another program changed this definition"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(str(w.txtRepName->text() + "|" + w.VSSelectedFld->textMatrix(2, C::Caption)), "Party Sales|Theirs");

    root.year().execute("Delete From CrMain Where ColCode='CRF4'");
    typeOver(w.txtRepName, "Mine");
    EXPECT_TRUE(QString::fromStdString(press(w.cmdSave, {app::Answer::Yes}))
                    .startsWith("Another program deleted this definition"));
    EXPECT_EQ(root.rows("Select ColReportName From CrMain Where ColCode='CRF4'"), QStringList{"Mine"});

    // Custom columns are made and changed in their window, offered at once and saved.
    root.year().execute("Update CRCustFld Set FldDType=NULL Where ColCode='CF-2'");
    const int mrn = root.counter("MRN");
    const int oth = root.counter("OTH");
    w.open();
    clickCell(w.VSAval, 1, C::Caption);
    // A catalogue row: a message and no window.
    EXPECT_EQ(press(w.cmdCustFieldMod), "This is not CUSTOM Field ");

    { // the script ends before the windows opened below
        ModalScript script;
        script
            .expect<frmCustFld>([](frmCustFld *f) {
                EXPECT_EQ(str(f->txtColName->text()), "Party With City");
                EXPECT_EQ(str(f->txtFormula->toPlainText()), "M02.Col98 + Space(1) + M02.Col88");
                EXPECT_EQ(str(f->cboType->currentText()), "Date");
                key(Qt::Key_A, Qt::ControlModifier);
                type("Party And City");
                click(f->cmdOK);
            })
            .expect<frmCustFld>([&root](frmCustFld *) {
                type("Unsaved\tT52.Col92"); // "\t" is the Tab key
                addCustomColumn(root, "CF-9|Stored Meanwhile|T52.Col95 * M20.NoWeight|N");
                key(Qt::Key_Escape); // leaves like Cancel: the next opening starts afresh
            })
            .expect<frmCustFld>([&](frmCustFld *f) {
                // Refused, a missing name or formula takes no number. A formula that does not run is
                // stored only when the user says so; a database error is shown, takes a number and
                // keeps the window open.
                const QStringList columns = root.rows("Select * From CRCustFld Order By ColCode");
                type("  \tT52.Col93");
                click(f->cmdOK);
                f->txtColName->setText("Weight");
                f->txtFormula->setPlainText(" \n ");
                click(f->cmdOK);
                FakeMessages::instance().answer(app::Answer::No);
                for (const char *formula : {"T52.Col93 *+* 2", "Sum(T52.Col93) / 2", "T52.Col93 + M02.Col98"}) {
                    f->txtFormula->setPlainText(formula);
                    click(f->cmdOK);
                }
                f->txtFormula->setPlainText("T52.Col95 * M20.NoSuchWeight");
                root.failWrites("CRCustFld");
                FakeMessages::instance().answer(app::Answer::Yes);
                click(f->cmdOK);
                EXPECT_TRUE(f->isVisible());
                EXPECT_EQ(root.rows("Select * From CRCustFld Order By ColCode"), columns);
                root.allowWrites();
                FakeMessages::instance().answer(app::Answer::Yes);
                click(f->cmdOK);
            })
            .expect<frmCustFld>([](frmCustFld *) {
                type("Margin\tT52.Col93");
                key(Qt::Key_Return); // a new line in the formula
                type("- T52.Col95");
                key(Qt::Key_Tab);
                key(Qt::Key_Down); // Charactor
                key(Qt::Key_Return); // OK, the default button
            });
        clickCell(w.VSAval, w.CustFldStart + 1, C::Caption);
        click(w.cmdCustFieldMod);
        click(w.cmdCustField);
        EXPECT_EQ(str(w.VSAval->textMatrix(w.VSAval->row(), C::TabName)), "CF-2"); // changed, then cancelled
        click(w.cmdCustField);
        click(w.cmdCustField);
        ASSERT_TRUE(script.finish()) << str(script.failure());
    }
    // The custom column window has no owner; a desktop gives the wizard its activation back.
    QApplication::setActiveWindow(&w);

    const app::Message question = FakeMessages::instance().shown.last();
    const QString noSuchWeight = "The formula cannot run on this year's data:\n" + noSuchColumn("M20.NoSuchWeight")
                               + "\n\nStore the column anyway?";
    EXPECT_EQ(takeMessages(),
              str("Please Enter Column Name and Formula Both \nPlease Enter Column Name and Formula Both \n"
                  "The formula cannot run on this year's data:\nSyntax error at position 13: expected a value but found "
                  "'*'\n\nStore the column anyway?\nA column's formula gives one value for each row and cannot use "
                  "Sum, which adds up rows. Set the column's Total, Count or Grand Total in the wizard instead.\n"
                  "The formula cannot run on this year's data:\nType mismatch in +\n\nStore the column anyway?\n"
                  + noSuchWeight + "\n!disk full\n" + noSuchWeight));
    EXPECT_TRUE(question.buttons == app::Buttons::YesNo && question.icon == app::Icon::Exclamation
                && question.defaultButton == app::Answer::No);
    const QString weight = "CF-" + QString::number(mrn + 1); // the failed save's number stays used
    EXPECT_EQ(lines(root.rows("Select * From CRCustFld Where ColCode=?", {weight})),
              str(weight + "|Weight|T52.Col95 * M20.NoSuchWeight|N|PWR"));

    const QString column = "CF-" + QString::number(mrn + 2);
    EXPECT_EQ(lines(gridRows(w.VSAval).mid(w.CustFldStart)),
              lines({"CF-1|T52.Col95 * M20.ColWeight|N|Weight Sold|Right||",
                     "CF-2|M02.Col98 + Space(1) + M02.Col88|D|Party And City|Left||",
                     "CF-9|T52.Col95 * M20.NoWeight|N|Stored Meanwhile|Right||",
                     weight + "|T52.Col95 * M20.NoSuchWeight|N|Weight|Right||",
                     column + "|T52.Col93\n- T52.Col95|C|Margin|Left||"}));

    click(w.cmdAdd); // the column just made is current
    clickCell(w.VSAval, w.VSAval->findRow("CF-9", C::TabName), C::Caption);
    click(w.cmdAdd);
    typeOver(w.txtRepName, "Margins");
    // A column that does not run asks before the save, named with its own error when it fails alone.
    const QString saveAnyway = "Column \"Stored Meanwhile\" cannot run on this year's data:\n"
                             + noSuchColumn("M20.NoWeight") + "\n\nSave the report anyway?";
    EXPECT_EQ(press(w.cmdSave, {app::Answer::No}), str(saveAnyway));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(press(w.cmdSave, {app::Answer::Yes}), lines({saveAnyway, "Report Added Sucessfully"}));
    const QString made = "CRF" + QString::number(oth);
    EXPECT_EQ(storedReport(root, made),
              lines({mainRow(made, "Margins",
                             cells({column + "|T52.Col93\n- T52.Col95|C|Margin|Left||None|None|No|No|No",
                                    "CF-9|T52.Col95 * M20.NoWeight|N|Stored Meanwhile|Right||None|None|No|No|No"})),
                     made + "|" + column + "|T52.Col93\n- T52.Col95|Margin|C|L||0|N|N|N|N|N|F|1",
                     made + "|CF-9|T52.Col95 * M20.NoWeight|Stored Meanwhile|N|R||0|N|N|N|N|N|F|2"}));

    // Built with the mouse and keys (the available columns found by typing their captions), saved by
    // its access key while the width box is still open.
    const int built = root.counter("OTH");
    w.open();
    const QString closing = "M02|Col77|N|Closing Amount|Right|1500|2|None|None|No|No|No";
    const QString credit = "M02|Col79|N|Credit Amount|Right|1500|2|None|None|No|No|No";
    const QString party = "M02|Col98|C|Party Name|Left|3000||None|None|No|No|No";
    type("cL"); // the next caption that starts so, ignoring case
    click(w.cmdAdd);
    click(w.cmdAdd); // the next catalogue column
    clickCell(w.VSAval, 11, C::Caption);
    click(w.cmdAdd);
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));
    EXPECT_EQ(str(w.txtRename->text()), "Party Name");

    click(w.cmdUp);
    EXPECT_EQ(selectedRows(w), lines({closing, party, credit}));
    click(w.cmdDown);
    click(w.cmdDown); // already the last row
    clickCell(w.VSSelectedFld, 1, C::Caption);
    click(w.cmdUp); // already the first row
    EXPECT_EQ(selectedRows(w), lines({closing, credit, party}));

    typeOver(w.txtRename, "Closing Bal ");
    click(w.cmdChange);
    w.txtRename->clear();
    click(w.cmdChange); // an empty name changes nothing
    typeOver(w.txtRepName, "Margin's Report");

    click(w.cmdNext);
    key(Qt::Key_Right); // from the caption to the width
    const std::pair<QString, QString> widths[] = {{"abc", "0"}, {"0012", "12"}, {"12.5cm", "12.5"}};
    for (const auto &[typed, stored] : widths) {
        key(Qt::Key_Return);
        EXPECT_EQ(w.txtWidth->selectedText(), w.VSSelectedFld->textMatrix(1, C::Width));
        EXPECT_EQ(app::twipsLeft(w.txtWidth), app::twipsLeft(w.VSSelectedFld) + w.VSSelectedFld->cellLeft());
        EXPECT_EQ(app::twipsTop(w.txtWidth), app::twipsTop(w.VSSelectedFld) + w.VSSelectedFld->cellTop());
        type(typed);
        key(Qt::Key_Return);
        EXPECT_EQ(str(w.VSSelectedFld->textMatrix(1, C::Width)), str(stored)) << str(typed);
    }
    key(Qt::Key_Right);
    type("723x"); // the last digit counts; a letter neither counts nor moves the row
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    type("5"); // the party name is no number
    EXPECT_EQ(selectedRows(w), lines({"M02|Col77|N|Closing Bal |Right|12.5|3|None|None|No|No|No", credit, party}));

    editCell(w, 1, C::Grouping, 1); // group ascending
    EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld);
    editCell(w, 1, C::Total, 1);      // total
    editCell(w, 2, C::Sorting, 2);    // sort descending
    editCell(w, 2, C::GrandTotal, 1); // grand total
    // A page change closes an open combo into the cell it was opened on, not the caption.
    clickCell(w.VSSelectedFld, 1, C::Grouping);
    key(Qt::Key_Return);
    EXPECT_EQ(str(w.cboGrpSort->currentText()), "Asc");
    key(Qt::Key_Down);
    key(Qt::Key_F, Qt::AltModifier);
    EXPECT_FALSE(w.cboGrpSort->isVisible());

    clickCell(w.VSSelectedFld, 1, C::Width);
    key(Qt::Key_Return);
    type("1800");
    key(Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([] { return !FakeMessages::instance().shown.isEmpty(); }));
    settle();
    EXPECT_EQ(takeMessages(), "Report Added Sucessfully");
    const QString byKeys = "CRF" + QString::number(built);
    EXPECT_EQ(storedReport(root, byKeys),
              lines({mainRow(byKeys, "Margin's Report",
                             cells({"M02|Col77|N|Closing Bal |Right|1800|3|Desc|None|Yes|No|No",
                                    "M02|Col79|N|Credit Amount|Right|1500|2|None|Desc|No|No|Yes", party})),
                     byKeys + "|M02|Col77|Closing Bal |N|R|1800|3|D|N|Y|N|N|F|1",
                     byKeys + "|M02|Col79|Credit Amount|N|R|1500|2|N|D|N|N|Y|F|2",
                     byKeys + "|M02|Col98|Party Name|C|L|3000|0|N|N|N|N|N|F|3"}));

    w.open(byKeys);
    EXPECT_EQ(str(w.txtRepName->text()), "Margin's Report");
    EXPECT_EQ(selectedRows(w), lines({"M02|Col77|N|Closing Bal |R|1800|3|Desc|No|Yes|No|No",
                                      "M02|Col79|N|Credit Amount|R|1500|2|No|Desc|No|No|Yes",
                                      "M02|Col98|C|Party Name|L|3000|0|No|No|No|No|No"}));

    // A report that is gone or cannot be read opens nothing; a new report still opens.
    w.open("CRF99");
    root.year().execute("Drop Table CrChild");
    w.open("CRF4");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(takeMessages(), str("This report no longer exists.\n!" + noSuchTable("CRChild")));
    w.open();
    EXPECT_TRUE(w.isVisible());
}
