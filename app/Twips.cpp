#include "app/Twips.h"
#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace app {

namespace {

double dotsPerInch()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

} // namespace

int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips * dotsPerInch() / 1440.0));
}

int pixelsToTwips(int pixels)
{
    return static_cast<int>(std::lround(pixels * 1440.0 / dotsPerInch()));
}

void setTwipsGeometry(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

int twipsLeft(const QWidget *w) { return pixelsToTwips(w->x()); }
int twipsTop(const QWidget *w) { return pixelsToTwips(w->y()); }
int twipsWidth(const QWidget *w) { return pixelsToTwips(w->width()); }

void setTwipsLeft(QWidget *w, int left) { w->move(twipsToPixels(left), w->y()); }
void setTwipsTop(QWidget *w, int top) { w->move(w->x(), twipsToPixels(top)); }
void setTwipsWidth(QWidget *w, int width) { w->resize(twipsToPixels(width), w->height()); }

void unloadControls(QWidget *window)
{
    for (QWidget *old : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (old->isWindow())
            continue;
        old->hide();
        old->setObjectName(QString());
        old->setParent(nullptr);
        old->deleteLater();
    }
}

void sendTab()
{
    // Like a typed key, it reaches whatever has the focus when it is taken from the queue.
    QMetaObject::invokeMethod(
        qApp,
        [] {
            QWidget *target = QApplication::focusWidget();
            if (!target)
                return;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
            QApplication::sendEvent(target, &press);
            if (QWidget *now = QApplication::focusWidget()) {
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
                QApplication::sendEvent(now, &release);
            }
        },
        Qt::QueuedConnection);
}

} // namespace app
