#include "support/Ui.h"
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>

void key(Qt::Key k, Qt::KeyboardModifiers modifiers)
{
    if (QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow())
        QTest::keyClick(target, k, modifiers);
}

void type(const QString &text)
{
    for (const QChar c : text) // each to wherever the focus is by then
        if (QWidget *target = QApplication::focusWidget())
            QTest::keyClicks(target, QString(c));
}

void settle(int ms)
{
    QApplication::processEvents();
    QTest::qWait(ms);
    QApplication::processEvents();
}

ModalScript::ModalScript()
{
    QApplication::instance()->installEventFilter(this);
    // A script that never closes its window must not hang the suite.
    auto *watchdog = new QTimer(this);
    watchdog->setSingleShot(true);
    connect(watchdog, &QTimer::timeout, this, [this] {
        failure_ += QStringLiteral("watchdog closed the modal windows; ");
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isModal() && w->isVisible())
                w->hide();
    });
    watchdog->start(10000);
}

ModalScript::~ModalScript()
{
    QApplication::instance()->removeEventFilter(this);
}

bool ModalScript::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::Show && object->isWidgetType()) {
        auto *w = static_cast<QWidget *>(object);
        if (w->isWindow() && w->isModal()) {
            QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(w)] {
                if (window)
                    tryStep(window, 0);
            });
        }
    }
    return false;
}

void ModalScript::tryStep(QWidget *window, int attempt)
{
    if (!window->isVisible())
        return;
    const bool ready = QApplication::activeModalWidget() == window && QApplication::activeWindow() == window;
    if (!ready) {
        if (attempt < 400) {
            QTimer::singleShot(5, this, [this, w = QPointer<QWidget>(window), attempt] {
                if (w)
                    tryStep(w, attempt + 1);
            });
        } else {
            failure_ += QStringLiteral("modal window %1 never became active; ").arg(window->metaObject()->className());
            window->hide();
        }
        return;
    }
    if (next_ >= steps_.size() || !window->inherits(steps_[next_].className)) {
        failure_ += QStringLiteral("unexpected modal window %1; ").arg(window->metaObject()->className());
        window->hide();
        return;
    }
    Step step = steps_[next_++];
    step.run(window);
}

bool ModalScript::finish(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (next_ < steps_.size() && !deadline.hasExpired() && failure_.isEmpty())
        settle(5);
    settle(20);
    if (next_ < steps_.size()) {
        failure_ += QStringLiteral("%1 of %2 steps ran; ").arg(next_).arg(steps_.size());
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isModal() && w->isVisible())
                w->hide();
    }
    return failure_.isEmpty();
}
