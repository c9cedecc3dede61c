#pragma once
#include <QWidget>

// The report wizard.
class frmRepCust : public QWidget {
    Q_OBJECT
public:
    static frmRepCust &instance();
    void showForm(const QString &StrCode);

private:
    frmRepCust() = default;
};
