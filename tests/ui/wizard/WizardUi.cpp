#include "ui/wizard/WizardUi.h"
#include "app/Twips.h"
#include "support/Ui.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/frmRepCust.h"

frmRepCust &openWizard(const QString &code)
{
    frmRepCust &wizard = frmRepCust::instance();
    wizard.showForm(code);
    settle();
    // The offscreen platform still counts a window it hid as focused, so showing it again
    // activates nothing; a desktop's window manager would.
    if (wizard.isVisible() && QApplication::activeWindow() != &wizard) {
        QApplication::setActiveWindow(&wizard);
        settle();
    }
    return wizard;
}

QString rowText(Grid *grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->cols(); ++c)
        cells << grid->textMatrix(row, c);
    return cells.join(QLatin1Char('|'));
}

QStringList gridRows(Grid *grid)
{
    QStringList rows;
    for (int r = 0; r < grid->rows(); ++r)
        rows << rowText(grid, r);
    return rows;
}

QList<int> visibleColumns(Grid *grid)
{
    QList<int> columns;
    for (int c = 0; c < grid->cols(); ++c)
        if (!grid->isColumnHidden(c))
            columns << c;
    return columns;
}

std::string str(const QString &text)
{
    return text.toStdString();
}

std::string lines(const QStringList &rows)
{
    return rows.join(QLatin1Char('\n')).toStdString();
}

std::string selectedRows(frmRepCust &wizard)
{
    QStringList rows = gridRows(wizard.VSSelectedFld);
    rows.removeFirst();
    return lines(rows);
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    settle();
}

void clickCell(Grid *grid, int row, int col)
{
    const QModelIndex index = grid->model()->index(row - 1, col);
    grid->scrollTo(index);
    const QRect cell = grid->visualRect(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    settle();
}

std::string placeOf(const QWidget *widget)
{
    return str(QStringLiteral("%1,%2,%3").arg(app::twipsLeft(widget)).arg(app::twipsTop(widget)).arg(app::twipsWidth(widget)));
}

std::string place(int left, int top, int width)
{
    auto shown = [](int twips) { return app::pixelsToTwips(app::twipsToPixels(twips)); };
    return str(QStringLiteral("%1,%2,%3").arg(shown(left)).arg(shown(top)).arg(shown(width)));
}
