#include "ui/crosstab/SelectionScreen.h"

SelectionScreen &SelectionScreen::instance()
{
    static SelectionScreen *window = new SelectionScreen;
    return *window;
}

void SelectionScreen::EntryType(int, const QString &)
{
}
