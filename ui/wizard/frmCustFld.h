#pragma once
#include "ui/wizard/CustomColumnStore.h"
#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The custom column window: a caption, a formula and a type for one column of the family's
// custom columns, added or changed in CRCustFld.
class frmCustFld : public QDialog {
    Q_OBJECT
public:
    frmCustFld();
    // The program's one custom column window.
    static frmCustFld &instance();

    // Opens modally on the custom column of that code (empty for a new one) and returns once the
    // window has unloaded: with the code of the column stored, or empty when none was.
    QString showForm(const QString &StrCode);

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtColName = nullptr;
    QPlainTextEdit *txtFormula = nullptr;
    QComboBox *cboType = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_Load();
    // Esc and the close box leave like Cancel.
    void reject() override;

private:
    void Load();
    void Unload();
    // Fills the controls from the stored column of that code, if there is one; false when it cannot
    // be read (the error has been shown).
    bool fillFrom(const QString &code);

    QString StrCode_; // the code the window was opened with, empty for a new column
    QString stored_;  // the code of the column OK stored
    std::optional<LoadedCustomColumn> column_; // the stored column as loaded; empty for a new one
    bool loaded_ = false;
};
