#pragma once
#include "ui/crosstab/CrossPivot.h"
#include <QDialog>

class Grid;
class QLabel;
class QPushButton;
namespace report {
class ExportRunner;
struct Report;
}

// Shows a cross-tab definition's pivot over the year's data, modal over the definition window.
class frmCrossPreview : public QDialog {
    Q_OBJECT
public:
    static frmCrossPreview &instance();

    // Captions: the row, column, display and group field as the definition window shows them
    // (group empty when not grouped). Returns when the window has been closed.
    void ShowPivot(const QString &rowCaption, const QString &colCaption, const QString &dispCaption,
                   const QString &groupCaption, const crosstab::Pivot &pivot);

    QLabel *lblFields;
    Grid *vfgPreview;
    QPushButton *cmdPrint;
    QPushButton *cmdPdf;
    QPushButton *cmdExport;
    QLabel *lblExportInfo; // how far a print or export got, or how it ended
    QPushButton *cmdClose;

public slots:
    void cmdPrint_Click();
    void cmdPdf_Click();
    void cmdExport_Click();
    void cmdClose_Click();

private:
    frmCrossPreview();
    void fitColumns();
    // The pivot as the grid shows it, with the grid's widths, for a printer or a file.
    report::Report report() const;

    crosstab::Pivot pivot_;
    QString groupCaption_;
    report::ExportRunner *export_;
};
