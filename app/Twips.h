#pragma once

class QWidget;

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

// The keyboard's Tab, sent to whatever has the focus once the current event is done.
void sendTab();

} // namespace app
