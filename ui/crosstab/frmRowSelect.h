#pragma once
#include <QDialog>

class Grid;
class QLineEdit;
class QPushButton;

// The field picker: shows the catalogue of one slot and hands back the entry the user confirms.
class frmRowSelect : public QDialog {
    Q_OBJECT
public:
    // Owned by the definition window it picks for.
    explicit frmRowSelect(QWidget *owner);

    // Fills the grid for the slot code, preselects the entry whose expression is ColField and
    // waits for the user's choice: its caption goes into txtSelectName, its expression is returned.
    QString RowSelectData(const QString &SelType, QLineEdit *txtSelectName, const QString &ColField);

    void FillGridRC0();
    void FillGridRC1();
    void FillGridRC2();
    void FillGridD0();
    void FillGridD1();
    void FillGridD2();
    // Appends every user-defined field of ZoM35 behind row Cnt, its code as the expression.
    void FillGridUF(int Cnt);

    Grid *vfg;
    QPushButton *cmdOK;

public slots:
    void cmdOK_Click();
    void vfg_KeyPress(int &keyAscii);

private:
    // Rows 1.. become the slot's fixed entries; returns the last row written.
    int fillFixed(const QString &slotCode);
    // Writes caption and expression pairs behind row last; returns the new last row.
    int appendUserFields(int last, const QString &sql, const QString &expressionPrefix);
};
