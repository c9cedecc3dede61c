#include "app/Keyboard.h"
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace app {

namespace {

// Seen before the window's own key handling, so that a window treating Enter as Tab does not
// move the focus away from the button it has just pressed.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->hasFocus() || !button->isEnabled())
            return false;
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

} // namespace

void pressButtonsOnEnter()
{
    static EnterPressesButton *filter = nullptr;
    if (filter)
        return;
    filter = new EnterPressesButton(qApp);
    qApp->installEventFilter(filter);
}

} // namespace app
