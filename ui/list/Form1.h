#pragma once
#include <QWidget>

class Grid;
class QGroupBox;
class QPushButton;

// The report list: the stored definitions of the run mode, with Add, Modify, Delete and Close.
class Form1 : public QWidget {
    Q_OBJECT
public:
    static Form1 &instance();

    void Form_Activate();
    void DataSelect();

    Grid *vfg;
    QPushButton *cmdAdd;
    QPushButton *cmdModify;
    QPushButton *cmdDelete;
    QPushButton *cmdClose;
    QGroupBox *Frame1;

public slots:
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
    void cmdClose_Click();
    void vfg_KeyPress(int &keyAscii);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Form1();
    void Form_Load();
    bool isCrossTab() const;
    QString currentCode() const;

    QString recNo_; // the record number of the row last acted on
    bool loadedUnshown_ = false; // loaded, not yet activated
};
