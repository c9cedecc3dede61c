#include "tests/ui/Windows.h"

void Wizard::open(const QString &code)
{
    showForm(code);
    settle();
}

QStringList gridRows(Grid *grid)
{
    QStringList rows;
    for (int r = 0; r < grid->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->cols(); ++c)
            cells << grid->textMatrix(r, c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

std::string str(const QString &text) { return text.toStdString(); }
std::string lines(const QStringList &rows) { return str(rows.join(QLatin1Char('\n'))); }
std::string selectedRows(frmRepCust &wizard) { return lines(gridRows(wizard.VSSelectedFld).mid(1)); }

std::string takeMessages()
{
    QStringList shown;
    for (const app::Message &m : FakeMessages::instance().shown)
        shown << (m.icon == app::Icon::Critical ? "!" : "") + m.prompt;
    FakeMessages::instance().clear();
    return lines(shown);
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    settle();
}

std::string press(QWidget *button, const QList<app::Answer> &answers)
{
    for (const app::Answer answer : answers)
        FakeMessages::instance().answer(answer);
    click(button);
    return takeMessages();
}

void clickCell(Grid *grid, int row, int col)
{
    const QModelIndex index = grid->model()->index(row - 1, col);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    settle();
}

void typeOver(QWidget *box, const QString &text)
{
    click(box);
    key(Qt::Key_A, Qt::ControlModifier);
    type(text);
}

void addCustomColumn(TestRoot &root, const QString &row)
{
    const QStringList c = row.split(QLatin1Char('|'));
    root.year().execute("Insert Into CRCustFld (ColCode, FldName, CalString, FldDType, MCode) "
                        "Values (?, ?, ?, ?, 'PWR')",
                        {c[0], c[1], c[2], c[3]});
}

std::string storedReport(TestRoot &root, const QString &code)
{
    return lines(root.rows("Select * From CrMain Where ColCode=?", {code})
                 + root.rows("Select * From CrChild Where ColCode=? Order By ColSeq", {code}));
}

QVector<SelectedColumn> cells(const QStringList &rows)
{
    QVector<SelectedColumn> result;
    for (const QString &row : rows)
        result << SelectedColumn(row.split(QLatin1Char('|')));
    return result;
}

void inPreview(const QString &recNo, const std::function<void(frmCrossPreview &, ModalScript &)> &step)
{
    DesignerScript d;
    d.entry(1, recNo, [&](SelectionScreen &s) {
        bool ran = false;
        d.script.expect<frmCrossPreview>([&](frmCrossPreview *p) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !p->prgPivot->isVisible(); }, 10000));
            step(*p, d.script);
            key(Qt::Key_Escape);
            ran = true;
        });
        key(Qt::Key_V, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ran && !s.preview->isVisible(); }, 20000));
        settle(30);
        EXPECT_EQ(QApplication::focusWidget(), s.txtReportName);
        s.cmdCancel_Click();
    });
}
