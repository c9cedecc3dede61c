#include "tests/ui/Windows.h"

// A modified report's save fails half way and changes nothing, then succeeds under its own code;
// a new report's save fails and is retried under the number it took. A save over another
// program's change or delete asks first.
TEST(WizardSave, AFailedOrOverriddenSaveChangesNothingUnlessTheUserSaysSo)
{
    TestRoot root(TestRoot::Demo, "WIZARD");
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
    Wizard w("CRF4");
    clickCell(w.VSSelectedFld, 3, C::Caption);
    click(w.cmdRemove);
    typeReportName(w, "Party Sales ");
    click(w.cmdNext);
    // Enter outside the width, grouping, sorting and totals opens nothing.
    for (int c : {C::TabName, C::ColumnName, C::DataType, C::Alignment, C::Decimal}) {
        w.VSSelectedFld->setCol(c);
        key(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), w.VSSelectedFld) << c;
    }
    const QStringList grid = gridRows(w.VSSelectedFld);
    EXPECT_EQ(press(w.cmdSave), "!disk full");
    EXPECT_EQ(str(w.StrCode + "|" + w.txtRepName->text()), "CRF4|Party Sales ");
    EXPECT_EQ(lines(gridRows(w.VSSelectedFld)), lines(grid));
    EXPECT_FALSE(root.year().inTransaction());
    EXPECT_EQ(stored(""), before);

    root.allowWrites();
    EXPECT_EQ(press(w.cmdSave), "Report Added Sucessfully");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(storedReport(root, "CRF4"),
              lines({mainRow("CRF4", "Party Sales",
                             {"M02|Col98|C|Party Name|L|2000|0|Asc|No|No|Yes|No",
                              "T52|Col93|N|Amount|R|1500|2|No|Desc||No|Yes"}),
                     "CRF4|M02|Col98|Party Name|C|L|2000|0|A|N|N|Y|N|F|1",
                     "CRF4|T52|Col93|Amount|N|R|1500|2|N|D||N|Y|F|2"}));
    EXPECT_EQ(stored(" Where ColCode<>'CRF4'"), others);

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
    EXPECT_EQ(root.counter("OTH"), next + 1) << "the retry keeps its number";
    // Its rows are compared whole where a new report is built.
    const QString code = "CRF" + QString::number(next);
    EXPECT_EQ(root.rows("Select ColFieldNameDisp From CrChild Where ColCode=? Order By ColSeq", {code}),
              QStringList({"Area", "City"}));

    // A save over another program's change asks first: No (the default) shows the stored report in
    // the wizard, Yes after a delete stores the wizard's report again under its code.
    w.open("CRF4");
    root.year().execute("Update CrChild Set ColFieldNameDisp='Theirs' Where ColCode='CRF4' And ColSeq=2");
    typeReportName(w, "Mine");
    EXPECT_TRUE(QString::fromStdString(press(w.cmdSave)).startsWith("Another program changed this definition"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(str(w.txtRepName->text() + "|" + w.VSSelectedFld->textMatrix(2, C::Caption)), "Party Sales|Theirs");

    root.year().execute("Delete From CrMain Where ColCode='CRF4'");
    typeReportName(w, "Mine");
    EXPECT_TRUE(QString::fromStdString(press(w.cmdSave, {app::Answer::Yes}))
                    .startsWith("Another program deleted this definition"));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(root.rows("Select ColReportName From CrMain Where ColCode='CRF4'"), QStringList{"Mine"});

    // Custom columns are made and changed in their window, offered at once and saved.
    root.year().execute("Update CRCustFld Set FldDType=NULL Where ColCode='CF-2'");
    const int mrn = root.counter("MRN");
    const int oth = root.counter("OTH");
    w.open();
    clickCell(w.VSAval, 1, C::Caption);
    // A catalogue row: a message and no window.
    EXPECT_EQ(press(w.cmdCustFieldMod), "This is not CUSTOM Field ");

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
            addCustomColumn(root, "CF-9|Stored Meanwhile|T52.Col92|C");
            key(Qt::Key_Escape); // leaves like Cancel: the next opening starts afresh
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
    ASSERT_TRUE(script.finish()) << str(script.failure());
    // The custom column window has no owner; a desktop gives the wizard its activation back.
    QApplication::setActiveWindow(&w);

    const QString column = "CF-" + QString::number(mrn);
    EXPECT_EQ(root.counter("MRN"), mrn + 1);
    EXPECT_EQ(lines(gridRows(w.VSAval).mid(w.CustFldStart)),
              lines({"CF-1|T52.Col95 * M20.ColWeight|N|Weight Sold|Right||",
                     "CF-2|M02.Col98 + Space(1) + M02.Col88|D|Party And City|Left||",
                     "CF-9|T52.Col92|C|Stored Meanwhile|Left||", column + "|T52.Col93\n- T52.Col95|C|Margin|Left||"}));

    click(w.cmdAdd); // the column just made is current
    typeReportName(w, "Margins");
    EXPECT_EQ(press(w.cmdSave), "Report Added Sucessfully");
    const QString made = "CRF" + QString::number(oth);
    EXPECT_EQ(storedReport(root, made),
              lines({mainRow(made, "Margins", {column + "|T52.Col93\n- T52.Col95|C|Margin|Left||None|None|No|No|No"}),
                     made + "|" + column + "|T52.Col93\n- T52.Col95|Margin|C|L||0|N|N|N|N|N|F|1"}));
}
