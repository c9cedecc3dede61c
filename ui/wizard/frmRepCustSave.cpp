#include "app/Messages.h"
#include "app/Module1.h"
#include "ui/wizard/ReportStore.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/ReportText.h"
#include "ui/wizard/frmCustFld.h"
#include "ui/wizard/frmRepCust.h"
#include "ui/grid/TextBox.h"
#include <QPushButton>

QVector<SelectedColumn> frmRepCust::selectedRows() const
{
    QVector<SelectedColumn> rows(VSSelectedFld->rows() - 1);
    for (int r = 1; r < VSSelectedFld->rows(); ++r)
        for (int c = 0; c < SelectedColumn::Cells; ++c)
            rows[r - 1][SelectedColumn::Cell(c)] = VSSelectedFld->textMatrix(r, c);
    return rows;
}

// The duplicate-name check runs again inside the save, and so does the check for another
// program's change.
void frmRepCust::cmdSave_Click()
{
    // Pressed by its access key the button does not take the focus; taking it here lets an open
    // in-cell editor hand its value to the grid first, as a click does.
    cmdSave->setFocus();
    if (!ValidateReport())
        return;
    const QVector<SelectedColumn> rows = selectedRows();
    bool agreed = false;
    if (!app::withErrorBox([&] { agreed = reportRunsOrUserAgrees(rows); }) || !agreed)
        return;
    const std::optional<app::SaveResult> result = app::saveAsking([&](bool overwrite) {
        return saveReport(app::YearDb(), StrCode, txtRepName->text(), rows, report_ ? &*report_ : nullptr, overwrite);
    });
    if (result == app::SaveResult::Saved) {
        app::MsgBox(QStringLiteral("Report Added Sucessfully"), app::Buttons::OkOnly, app::Icon::Information,
                    QStringLiteral("Selvar Report"));
        emit stored(StrCode);
        unload();
    } else if (result == app::SaveResult::DuplicateName) {
        refuseDuplicateName();
    } else if (result == app::SaveResult::DeletedElsewhere) {
        unload();
    } else if (result == app::SaveResult::ChangedElsewhere) {
        FillGrid();
    }
}

void frmRepCust::cmdCustField_Click()
{
    reloadCustomColumns(frmCustFld::instance().showForm(QString()));
}

void frmRepCust::cmdCustFieldMod_Click()
{
    const QString code = VSAval->row() >= 1 ? VSAval->textMatrix(VSAval->row(), SelectedColumn::TabName) : QString();
    if (!code.startsWith(QLatin1String("CF-"))) {
        app::MsgBox(QStringLiteral("This is not CUSTOM Field "));
        return;
    }
    reloadCustomColumns(frmCustFld::instance().showForm(code));
}

// The custom rows read again; the row that was current stays current, or the column just stored.
void frmRepCust::reloadCustomColumns(const QString &current)
{
    const int before = VSAval->row();
    RemoveCustField();
    LoadCustFld();
    const int stored = current.isEmpty() ? -1 : VSAval->findRow(current, SelectedColumn::TabName);
    VSAval->setRow(stored >= 1 ? stored : qMin(before, VSAval->rows() - 1));
}
