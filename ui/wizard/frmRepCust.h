#pragma once
#include "ui/wizard/ReportStore.h"
#include <QWidget>
#include <optional>
#include <memory>
#include <thread>
#include "ui/wizard/SelectedColumn.h"

class Grid;
class TabControl;
class TextBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QLineEdit;
class QPushButton;
class PreviewJob;
struct PreviewResult;
namespace report {
class ExportRunner;
struct Report;
}

// The report wizard: picks, orders and sets up the columns of one tabular report.
class frmRepCust : public QWidget {
    Q_OBJECT
public:
    frmRepCust();
    ~frmRepCust() override;
    // The program's one wizard.
    static frmRepCust &instance();

    // Opens the wizard on a stored report (its CrMain code) or, with "", on a new one. Not modal.
    void showForm(const QString &StrCode);
    // Hides the window; its next showForm builds the controls afresh.
    void unload();

    bool ValidateReport();
    void FillGrid();
    void LoadCustFld();
    void RemoveCustField();
    void UpRow(Grid *VSGrid);
    void DownRow(Grid *VSGrid);
    void SetGrpSortCombo();
    void SetTotCombo();

    QString StrCode;      // the report being modified; empty for a new one
    int CustFldStart = 0; // the first custom column's row in VSAval

    TabControl *SSTab1;
    Grid *VSAval;
    Grid *VSSelectedFld;
    QLabel *lblAvail;
    QLabel *lblIncluded;
    QPushButton *cmdAdd;
    QPushButton *cmdRemove;
    QPushButton *cmdUp;
    QPushButton *cmdDown;
    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *txtRename;
    QPushButton *cmdChange;
    QPushButton *cmdCustField;
    QPushButton *cmdCustFieldMod;
    QLabel *Label2;
    TextBox *txtRepName; // its tag: the name of the stored report
    QPushButton *cmdPreview; // reads "Cancel" while a preview runs
    Grid *VSFPreview;
    QLabel *lblPreviewInfo;  // rows and time of the last preview, or why it has none
    QProgressBar *prgPreview; // busy while a preview runs
    QPushButton *cmdPrint;
    QPushButton *cmdPdf;
    QPushButton *cmdExport;
    QLabel *lblExportInfo;   // how far a print or export got, or how it ended
    QLineEdit *txtWidth;
    QComboBox *cboGrpSort;
    QComboBox *cboTot;
    QPushButton *cmdBack;
    QPushButton *cmdNext;
    QPushButton *cmdSave;
    QPushButton *cmdCancel;

signals:
    // A report was stored under this code.
    void stored(const QString &code);

public slots:
    void Form_Load();
    void SSTab1_Click();
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdCancel_Click();
    void txtRepName_GotFocus();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdChange_Click();
    void VSSelectedFld_GotFocus();
    void VSSelectedFld_KeyPress(int &keyAscii);
    void VSSelectedFld_RowColChange();
    void txtWidth_GotFocus();
    void txtWidth_KeyPress(int keyAscii);
    void txtWidth_Validate();
    void cboGrpSort_KeyPress(int keyAscii);
    void cboGrpSort_Validate();
    void cboTot_KeyPress(int keyAscii);
    void cboTot_Validate();
    void cmdSave_Click();
    void cmdCustField_Click();
    void cmdCustFieldMod_Click();
    void cmdPreview_Click();
    void cmdPrint_Click();
    void cmdPdf_Click();
    void cmdExport_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Load();
    void buildControls();
    void connectHandlers();
    void loadCatalogue();
    QVector<SelectedColumn> selectedRows() const;
    // Before a save: true when the report's text compiles here, or the user keeps it anyway.
    bool reportRunsOrUserAgrees(const QVector<SelectedColumn> &rows);
    // The duplicate-name message: page 0, the focus on the name.
    bool refuseDuplicateName();
    void showPreviewControls();
    void previewFinished(const std::shared_ptr<PreviewJob> &job, const PreviewResult &result);
    void showPreviewRows(const PreviewResult &result);
    void showPreviewProgress(qint64 rows);
    void stopPreview();
    // The whole report as Save would store it, for a printer or a file; false when it has no
    // column or does not parse (the user has been told).
    bool wholeReport(report::Report &report);
    void writeComboToCell(QComboBox *combo);
    void placeOverCell(QWidget *editor);
    bool hasChanges() const;
    void reloadCustomColumns(const QString &current);

    static inline const QString PreviewCaption = QStringLiteral("Pre&view");

    bool loaded_ = false;
    int editRow_ = 0, editCol_ = 0; // the cell of the selected grid an in-cell editor was opened on
    QString openedName_;            // the report as it was opened, to tell whether it has changes
    QVector<SelectedColumn> openedRows_;
    std::optional<LoadedReport> report_; // the stored report as FillGrid read it; empty for a new one
    bool fillFailed_ = false; // the last FillGrid could not read its report
    std::shared_ptr<PreviewJob> previewJob_; // the preview running now
    std::thread previewThread_;
    report::ExportRunner *export_ = nullptr;
};
