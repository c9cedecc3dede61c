#include "app/Messages.h"
#include "app/Module1.h"
#include "data/DbError.h"
#include "ui/grid/Grid.h"
#include "ui/wizard/ReportText.h"
#include "ui/wizard/frmCustFld.h"
#include "ui/wizard/frmRepCust.h"
#include <QLineEdit>
#include <QPushButton>

QVector<QStringList> frmRepCust::selectedRows() const
{
    QVector<QStringList> rows;
    for (int r = 1; r < VSSelectedFld->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < VSSelectedFld->cols(); ++c)
            cells << VSSelectedFld->textMatrix(r, c);
        rows << cells;
    }
    return rows;
}

void frmRepCust::cmdSave_Click()
{
    // Pressed by its access key the button does not take the focus; taking it here lets an open
    // in-cell editor hand its value to the grid first, as a click does.
    cmdSave->setFocus();
    if (!ValidateReport())
        return;
    const app::Settings &s = app::settings();
    const QVector<QStringList> rows = selectedRows();
    try {
        if (!reportRunsOrUserAgrees(rows))
            return;
        const bool replacing = !StrCode.isEmpty();
        // A new report's number is taken before its transaction and stays the report's own, so
        // a save that failed is retried under the same code.
        if (!replacing)
            StrCode = QStringLiteral("CRF%1").arg(app::GetRecNo(QStringLiteral("OTH")));
        storeReport(app::YearDb(), StrCode, replacing, txtRepName->text(), s.ReportFamily, rows,
                    buildReportText(rows, s.ExtraSelect, s.SourceFrom));
    } catch (const data::DbError &e) {
        app::ErrorBox(e.text());
        return;
    }
    app::MsgBox(QStringLiteral("Report Added Sucessfully"), app::Buttons::OkOnly, app::Icon::Information,
                QStringLiteral("Selvar Report"));
    unload();
}

void frmRepCust::cmdCustField_Click()
{
    frmCustFld::instance().showForm(QString());
    RemoveCustField();
    LoadCustFld();
}

void frmRepCust::cmdCustFieldMod_Click()
{
    const QString code = VSAval->row() >= 1 ? VSAval->textMatrix(VSAval->row(), 0) : QString();
    if (!code.startsWith(QLatin1String("CF-"))) {
        app::MsgBox(QStringLiteral("This is not CUSTOM Field "));
        return;
    }
    frmCustFld::instance().showForm(code);
    RemoveCustField();
    LoadCustFld();
}
