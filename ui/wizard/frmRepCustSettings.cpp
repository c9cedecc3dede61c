// Grouping, sorting and totals: the two combos laid over a cell of the selected grid.
#include "app/Twips.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/GroupSort.h"
#include "ui/wizard/frmRepCust.h"
#include <QComboBox>

QString RetGroupSort(const QString &chr1)
{
    if (chr1 == QLatin1String("N"))
        return QStringLiteral("No");
    if (chr1 == QLatin1String("A"))
        return QStringLiteral("Asc");
    if (chr1 == QLatin1String("D"))
        return QStringLiteral("Desc");
    if (chr1 == QLatin1String("Y"))
        return QStringLiteral("Yes");
    return QString();
}

// Left, top and width of the current cell; the editor keeps its own height.
void frmRepCust::placeOverCell(QWidget *editor)
{
    editRow_ = VSSelectedFld->row();
    editCol_ = VSSelectedFld->col();
    app::setTwipsLeft(editor, app::twipsLeft(VSSelectedFld) + VSSelectedFld->cellLeft());
    app::setTwipsTop(editor, app::twipsTop(VSSelectedFld) + VSSelectedFld->cellTop());
    app::setTwipsWidth(editor, VSSelectedFld->cellWidth());
}

void frmRepCust::SetGrpSortCombo()
{
    placeOverCell(cboGrpSort);
    const QString first = VSSelectedFld->textMatrix(VSSelectedFld->row(), VSSelectedFld->col()).left(1);
    cboGrpSort->setCurrentIndex(first == QLatin1String("A") ? 1 : first == QLatin1String("D") ? 2 : 0);
    cboGrpSort->show();
    cboGrpSort->setFocus();
}

void frmRepCust::SetTotCombo()
{
    placeOverCell(cboTot);
    const QString first = VSSelectedFld->textMatrix(VSSelectedFld->row(), VSSelectedFld->col()).left(1);
    cboTot->setCurrentIndex(first == QLatin1String("Y") ? 1 : 0);
    cboTot->show();
    cboTot->setFocus();
}

// The combos close when the grid takes the focus back.
void frmRepCust::VSSelectedFld_GotFocus()
{
    cboGrpSort->hide();
    cboTot->hide();
}

void frmRepCust::cboGrpSort_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        app::sendTab();
}

void frmRepCust::cboTot_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        app::sendTab();
}

void frmRepCust::cboGrpSort_Validate()
{
    writeComboToCell(cboGrpSort);
}

void frmRepCust::cboTot_Validate()
{
    writeComboToCell(cboTot);
}

void frmRepCust::writeComboToCell(QComboBox *combo)
{
    // Into the cell it was opened on, whichever is current now.
    if (editRow_ >= 1 && editRow_ < VSSelectedFld->rows())
        VSSelectedFld->setTextMatrix(editRow_, editCol_, combo->currentText());
}
