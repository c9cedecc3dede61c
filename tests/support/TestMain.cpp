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
        if (event->type() != QEvent::Hide || !object->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(object);
        if (!widget->isWindow())
            return false;
        QPointer<QWidget> below = widget->parentWidget() ? widget->parentWidget()->window() : nullptr;
        QTimer::singleShot(0, this, [below] {
            QWidget *next = QApplication::activeModalWidget();
            if (!next)
                next = below;
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
    return RUN_ALL_TESTS();
}
