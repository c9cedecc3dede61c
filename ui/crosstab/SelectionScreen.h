#pragma once
#include "ui/crosstab/CrossTabStore.h"
#include <QDialog>
#include <QStringList>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TextBox;
class frmCrossPreview;
class frmRowSelect;

// The cross-tab definition window: name, description, report type and the four fields of one
// ZoCTR row. Each field box opens the field picker when it takes the focus.
class SelectionScreen : public QDialog {
    Q_OBJECT
public:
    SelectionScreen();
    // The program's one definition window.
    static SelectionScreen &instance();

    // EType 0 starts a new definition, 1 loads the one with record number LastRecNo (an empty
    // number starts a new one). Returns when the window has closed.
    void EntryType(int EType, const QString &LastRecNo);

    // Loads the definition of the window's record number, saying what it holds out of range; false
    // (with a message) when it is gone.
    bool DataDisp();
    bool CheckFields();

    QLabel *Label1;
    TextBox *txtReportName;
    QLabel *Label2;
    TextBox *txtReportDesc;
    QComboBox *cboRepTyp;
    QLabel *Label3;
    TextBox *txtRowData;
    QLabel *Label4;
    TextBox *txtColData;
    QLabel *Label5;
    TextBox *txtDispData;
    QCheckBox *chkGrouping;
    QLabel *lblGroupField;
    TextBox *txtGroupField;
    QPushButton *cmdSave;
    QPushButton *cmdCancel;
    // Outside the tab order: Enter walks the same fields with or without it.
    QPushButton *cmdPreview;
    // The field picker and the preview, owned by this window.
    frmRowSelect *picker;
    frmCrossPreview *preview;

signals:
    // A definition was stored under this record number.
    void stored(const QString &recNo);

public slots:
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdPreview_Click();
    void chkGrouping_Click();
    void txtReportName_GotFocus();
    void txtReportDesc_GotFocus();
    void txtRowData_GotFocus();
    void txtColData_GotFocus();
    void txtDispData_GotFocus();
    void txtGroupField_GotFocus();
    // Esc and the close box cancel.
    void reject() override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Load();
    void Form_Load();
    void fieldBox_GotFocus(TextBox *box);
    void openPicker(TextBox *box);
    QString slotCode(const TextBox *box) const;
    bool refuse(const QString &prompt, QWidget *focus);
    QStringList state() const;
    bool entered(const TextBox *box) const;
    // The definition as the controls hold it.
    crosstab::CrossTabDefinition shown() const;

    QString recNo_;          // the ZoCTR key being edited; empty for a new definition
    std::optional<crosstab::LoadedCrossTab> loaded_; // the definition as loaded; empty for a new one
    bool returning_ = false; // the field picker is open; the focus coming back is no new request
    QStringList opened_;               // the state() the window opened with
    QWidget *focusWhenLeft_ = nullptr; // what had the focus when the window was last deactivated
};
