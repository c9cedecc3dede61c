#pragma once
#include "ui/crosstab/CrossPivot.h"
#include <QDialog>

class Grid;
class QLabel;
class QPushButton;

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
    QPushButton *cmdClose;

public slots:
    void cmdClose_Click();

private:
    frmCrossPreview();
    void fitColumns();
};
