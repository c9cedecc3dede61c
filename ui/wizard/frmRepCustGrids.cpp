// The two column grids of the wizard: the catalogue, the selected columns and their editing.
#include "app/Convert.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/Twips.h"
#include "data/Recordset.h"
#include "ui/grid/Grid.h"
#include "ui/grid/TextBox.h"
#include "ui/wizard/GroupSort.h"
#include "ui/wizard/ReportStore.h"
#include "ui/wizard/frmRepCust.h"
#include <QLineEdit>

namespace {

using C = SelectedColumn;

QString alignmentFor(const QString &type)
{
    return type == QLatin1String("N") ? QStringLiteral("Right") : QStringLiteral("Left");
}

void swapRows(Grid *grid, int a, int b)
{
    for (int c = 0; c < grid->cols(); ++c) {
        const QString text = grid->textMatrix(a, c);
        grid->setTextMatrix(a, c, grid->textMatrix(b, c));
        grid->setTextMatrix(b, c, text);
    }
}

} // namespace

void frmRepCust::loadCatalogue()
{
    data::Recordset rs;
    if (!app::withErrorBox([&] {
            rs = data::Recordset::open(app::YearDb(), QStringLiteral("Select * From CRDefCol Where ColTableName In(")
                                                          + app::settings().SourceTables
                                                          + QStringLiteral(") Order By ColTableName , FldDName "));
        }))
        return;
    VSAval->setRows(rs.recordCount() + 1);
    VSAval->setRedraw(false);
    for (int r = 1; !rs.eof(); ++r, rs.moveNext()) {
        VSAval->setTextMatrix(r, C::Caption, rs.text(QStringLiteral("FldDName")));
        VSAval->setTextMatrix(r, C::TabName, rs.text(QStringLiteral("ColTableName")));
        VSAval->setTextMatrix(r, C::ColumnName, rs.text(QStringLiteral("FldName")));
        VSAval->setTextMatrix(r, C::Width, rs.text(QStringLiteral("FldWidth")));
        VSAval->setTextMatrix(r, C::DataType, rs.text(QStringLiteral("FldDType")));
        VSAval->setTextMatrix(r, C::Decimal, rs.text(QStringLiteral("ColDecimal")));
        VSAval->setTextMatrix(r, C::Alignment, alignmentFor(rs.text(QStringLiteral("FldDType"))));
    }
    VSAval->setRedraw(true);
}

void frmRepCust::LoadCustFld()
{
    CustFldStart = VSAval->rows();
    data::Recordset rs;
    if (!app::withErrorBox([&] {
            rs = data::Recordset::open(app::YearDb(), QStringLiteral("Select * from CRCustFld Where MCode=?"),
                                       {app::settings().ReportFamily});
        }))
        return;
    VSAval->setRows(VSAval->rows() + rs.recordCount());
    VSAval->setRedraw(false);
    for (int r = CustFldStart; !rs.eof(); ++r, rs.moveNext()) {
        VSAval->setTextMatrix(r, C::TabName, rs.text(QStringLiteral("ColCode")));
        VSAval->setTextMatrix(r, C::ColumnName, rs.text(QStringLiteral("CalString")));
        VSAval->setTextMatrix(r, C::DataType, rs.text(QStringLiteral("FldDType")));
        VSAval->setTextMatrix(r, C::Caption, rs.text(QStringLiteral("FldName")));
        VSAval->setTextMatrix(r, C::Alignment, alignmentFor(rs.text(QStringLiteral("FldDType"))));
    }
    VSAval->setRedraw(true);
}

void frmRepCust::RemoveCustField()
{
    if (CustFldStart < VSAval->rows())
        VSAval->setRows(CustFldStart);
}

void frmRepCust::FillGrid()
{
    fillFailed_ = false;
    if (StrCode.isEmpty()) {
        report_.reset();
        return;
    }
    std::optional<LoadedReport> found;
    if (!app::withErrorBox([&] { found = loadReport(app::YearDb(), StrCode); })) {
        fillFailed_ = true;
        return;
    }
    if (!found) {
        app::MsgBox(QStringLiteral("This report no longer exists."), app::Buttons::OkOnly, app::Icon::Information);
        fillFailed_ = true;
        return;
    }
    report_ = std::move(found);
    txtRepName->setText(report_->name);
    txtRepName->tag = txtRepName->text();
    VSSelectedFld->setRows(1);
    VSSelectedFld->setRows(report_->rows.size() + 1);
    VSSelectedFld->setRedraw(false);
    for (int r = 1; r <= report_->rows.size(); ++r) {
        const SelectedColumn &column = report_->rows[r - 1];
        for (int c = 0; c < C::Cells; ++c) {
            const QString &text = column[C::Cell(c)];
            VSSelectedFld->setTextMatrix(r, c, c < C::CatalogueCells ? text : RetGroupSort(text));
        }
    }
    VSSelectedFld->setRedraw(true);
    app::tellProblems(report_->problems);
}

void frmRepCust::cmdAdd_Click()
{
    const int from = VSAval->row();
    if (from < 1)
        return;
    const int to = VSSelectedFld->rows();
    VSSelectedFld->setRows(to + 1);
    for (int c = 0; c < C::CatalogueCells; ++c)
        VSSelectedFld->setTextMatrix(to, c, VSAval->textMatrix(from, c));
    for (int c : {C::Grouping, C::Sorting})
        VSSelectedFld->setTextMatrix(to, c, QStringLiteral("None"));
    for (int c : {C::Total, C::Count, C::GrandTotal})
        VSSelectedFld->setTextMatrix(to, c, QStringLiteral("No"));
    // Made current once filled, so that the rename box shows the new caption.
    VSSelectedFld->setRow(to);
    // Repeated clicks add consecutive catalogue columns.
    if (from < VSAval->rows() - 1)
        VSAval->setRow(from + 1);
}

void frmRepCust::cmdRemove_Click()
{
    if (VSSelectedFld->rows() != 1 && VSSelectedFld->row() >= 1)
        VSSelectedFld->removeItem(VSSelectedFld->row());
}

void frmRepCust::cmdUp_Click()
{
    UpRow(VSSelectedFld);
}

void frmRepCust::cmdDown_Click()
{
    DownRow(VSSelectedFld);
}

void frmRepCust::UpRow(Grid *VSGrid)
{
    const int r = VSGrid->row();
    if (r <= 1)
        return;
    swapRows(VSGrid, r, r - 1);
    VSGrid->setRow(r - 1);
}

void frmRepCust::DownRow(Grid *VSGrid)
{
    const int r = VSGrid->row();
    if (r < 1 || r >= VSGrid->rows() - 1)
        return;
    swapRows(VSGrid, r, r + 1);
    VSGrid->setRow(r + 1);
}

void frmRepCust::VSSelectedFld_RowColChange()
{
    if (VSSelectedFld->row() >= 1)
        txtRename->setText(VSSelectedFld->textMatrix(VSSelectedFld->row(), C::Caption));
}

void frmRepCust::cmdChange_Click()
{
    if (!txtRename->text().isEmpty() && VSSelectedFld->row() >= 1)
        VSSelectedFld->setTextMatrix(VSSelectedFld->row(), C::Caption, txtRename->text());
}

void frmRepCust::VSSelectedFld_KeyPress(int &keyAscii)
{
    const int r = VSSelectedFld->row();
    const int c = VSSelectedFld->col();
    if (r < 1)
        return;
    if (keyAscii == 13) {
        if (c == C::Width) {
            placeOverCell(txtWidth);
            txtWidth->show();
            txtWidth->setText(VSSelectedFld->textMatrix(r, C::Width));
            txtWidth->setFocus();
        } else if (c == C::Grouping || c == C::Sorting) {
            SetGrpSortCombo();
        } else if (c >= C::Total && c <= C::GrandTotal) {
            SetTotCombo();
        }
    } else if (keyAscii >= '0' && keyAscii <= '9' && c == C::Decimal
               && VSSelectedFld->textMatrix(r, C::DataType) == QLatin1String("N")) {
        VSSelectedFld->setTextMatrix(r, C::Decimal, QString(QChar(keyAscii)));
    }
    // Typed characters edit cells; they must not move the current row as a search would.
    keyAscii = 0;
}

void frmRepCust::txtWidth_GotFocus()
{
    txtWidth->selectAll();
}

void frmRepCust::txtWidth_KeyPress(int keyAscii)
{
    if (keyAscii != 13)
        return;
    // Giving the grid the focus first validates the box before it disappears.
    VSSelectedFld->setFocus();
    txtWidth->hide();
}

void frmRepCust::txtWidth_Validate()
{
    if (editRow_ >= 1 && editRow_ < VSSelectedFld->rows())
        VSSelectedFld->setTextMatrix(editRow_, C::Width, app::numberText(app::leadingNumber(txtWidth->text())));
}
