#pragma once

#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

// Sizes and positions are kept in twips (1440 to the inch) at the screen's logical DPI.
namespace Twips {

double dpi(const QScreen *screen);
int toPixels(double twips, const QScreen *screen);
double fromPixels(int pixels, const QScreen *screen);

// The whole screen in twips, the size the settings compare the main window with.
QSize screenSize(const QScreen *screen);
// The screen's full geometry in pixels (its top-left corner is not always 0, 0).
QRect screenPixels(const QScreen *screen);

} // namespace Twips
