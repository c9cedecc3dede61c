#pragma once
#include <QWidget>

namespace app {

// Positions and sizes are designed in twips, 1440 to the inch at the screen's logical resolution.
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

void setTwipsGeometry(QWidget *w, int left, int top, int width, int height);
int twipsLeft(const QWidget *w);
int twipsTop(const QWidget *w);
int twipsWidth(const QWidget *w);
void setTwipsLeft(QWidget *w, int left);
void setTwipsTop(QWidget *w, int top);
void setTwipsWidth(QWidget *w, int width);

// A control's objectName is its name; tests and the code find it by that name.
template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// Names a control and places it at its designed position and size.
template <class W>
W *place(W *w, const char *name, int left, int top, int width, int height)
{
    setTwipsGeometry(named(w, name), left, top, width, height);
    return w;
}

// Unloads a window's controls, for its next load to make them afresh. They may still be on the
// stack of the event that unloaded the window: they are hidden, unnamed and deleted later. The
// windows it owns (a picker, a preview) stay.
void unloadControls(QWidget *window);

// The keyboard's Tab, sent to whatever has the focus once the current event is done.
void sendTab();

} // namespace app
