#pragma once
#include <QTimer>
#include <QWidget>

class Grid;
class QGroupBox;
class QPushButton;

// The report list: the stored definitions of the run mode, with Add, Modify, Delete and Close.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1();
    // The program's one list.
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
    // A designer stored this definition: it is current after the next reload.
    void definitionStored(const QString &code);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    bool isCrossTab() const;
    QString currentCode() const;
    void openDesigner(int eType, const QString &code);

    QString recNo_; // the record number of the row last acted on
    QString stored_; // the definition a designer stored since the last reload
    bool loadedUnshown_ = false; // loaded, not yet activated
    bool reloadFailing_ = false; // the last reload failed and said so
    QTimer retry_;               // the next try of a failed reload
};
