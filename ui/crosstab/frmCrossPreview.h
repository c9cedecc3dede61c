#pragma once
#include "data/CancellableRun.h"
#include "ui/crosstab/CrossPivot.h"
#include <QDialog>
#include <memory>
#include <thread>

class Grid;
class QLabel;
class QProgressBar;
class QPushButton;
namespace report {
class ExportRunner;
struct Report;
}

// Shows a cross-tab definition's pivot over the year's data, modal over the definition window.
class frmCrossPreview : public QDialog {
    Q_OBJECT
public:
    // Modal over the definition window that owns it.
    explicit frmCrossPreview(QWidget *owner);

    // The report's name heads a printout. Captions: the row, column, display and group field as
    // the definition window shows them (group empty when not grouped). Opens at once and fills in
    // when the pivot has been read; returns when the window has been closed, which cancels a read
    // still running.
    void RunPivot(const QString &reportName, const QString &rowCaption, const QString &colCaption,
                  const QString &dispCaption, const QString &groupCaption, const crosstab::CrossDefinition &definition,
                  const QString &connectionString, const QString &sourceFrom);

    QLabel *lblFields;
    QProgressBar *prgPivot; // busy while the pivot is read
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
    void fitColumns();
    void showPivot(const crosstab::Pivot &pivot);
    void pivotFinished(const std::shared_ptr<data::CancellableRun> &job, const crosstab::Pivot &pivot,
                       const QString &error);
    void stopPivot(); // cancels the read and waits for it
    void endPivot();  // waits for the read
    void showReading(bool reading);
    void showRowsRead(const std::shared_ptr<data::CancellableRun> &job, qint64 rows);
    // The pivot as the grid shows it, with the grid's widths, for a printer or a file.
    report::Report report() const;

    crosstab::Pivot pivot_;
    QString reportName_, rowCaption_, groupCaption_;
    report::ExportRunner *export_;
    std::shared_ptr<data::CancellableRun> pivotJob_; // the read running now
    std::thread pivotThread_;
};
