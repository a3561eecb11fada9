#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Twips {

static const QScreen *orPrimary(const QScreen *screen)
{
    return screen ? screen : QGuiApplication::primaryScreen();
}

double dpi(const QScreen *screen)
{
    screen = orPrimary(screen);
    const double value = screen ? screen->logicalDotsPerInchX() : 96.0;
    return value > 0 ? value : 96.0;
}

int toPixels(double twips, const QScreen *screen)
{
    return int(std::lround(twips * dpi(screen) / 1440.0));
}

double fromPixels(int pixels, const QScreen *screen)
{
    return pixels * 1440.0 / dpi(screen);
}

QRect screenPixels(const QScreen *screen)
{
    screen = orPrimary(screen);
    return screen ? screen->geometry() : QRect(0, 0, 1280, 960);
}

QSize screenSize(const QScreen *screen)
{
    const QRect pixels = screenPixels(screen);
    return QSize(int(std::lround(fromPixels(pixels.width(), screen))),
                 int(std::lround(fromPixels(pixels.height(), screen))));
}

} // namespace Twips
