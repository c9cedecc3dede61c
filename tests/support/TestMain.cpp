#include "app/Keyboard.h"
#include "support/FakeMessages.h"
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A desktop's window manager activates the window below when a top-level window hides; the
// offscreen platform does not, so the tests bring their own.
class WindowManager : public QObject {
public:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (!object->isWidgetType() || !static_cast<QWidget *>(object)->isWindow())
            return false;
        auto *widget = static_cast<QWidget *>(object);
        // offscreen keeps a hidden window as its focus window, so showing that window again does not
        // activate it; a window manager would.
        if (event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [shown = QPointer<QWidget>(widget)] {
                if (shown && shown->isVisible() && !QApplication::activeWindow()
                    && QGuiApplication::focusWindow() == shown->windowHandle())
                    QApplication::setActiveWindow(shown);
            });
        if (event->type() != QEvent::Hide)
            return false;
        QPointer<QWidget> below = widget->parentWidget() ? widget->parentWidget()->window() : nullptr;
        QTimer::singleShot(0, this, [below] {
            QWidget *next = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : below.data();
            if (next && next->isVisible() && !QApplication::activeWindow())
                next->activateWindow();
        });
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Report Designer"));
    WindowManager manager;
    application.installEventFilter(&manager);
    app::setMessages(&FakeMessages::instance());
    app::pressButtonsOnEnter();
    return RUN_ALL_TESTS();
}
