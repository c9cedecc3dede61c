#include "ui/wizard/frmRepCust.h"

frmRepCust &frmRepCust::instance()
{
    static frmRepCust *window = new frmRepCust;
    return *window;
}

void frmRepCust::showForm(const QString &)
{
}
