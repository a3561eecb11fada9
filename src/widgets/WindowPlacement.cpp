#include "widgets/WindowPlacement.h"

#include "widgets/Twips.h"
#include "widgets/x11/X11.h"

#include <QGuiApplication>
#include <QWidget>

namespace WindowPlacement {

void keepOnScreen(QWidget &window)
{
    const QRect area = Twips::screenPixels(window.screen());
    int left = window.x() - area.x();
    int top = window.y() - area.y();
    if (area.height() - window.height() < top)
        top = area.height() - window.height();
    if (area.width() - window.width() < left)
        left = area.width() - window.width();
    if (left < 0)
        left = 0;
    if (top < 0)
        top = 0;
    if (window.pos() != QPoint(area.x() + left, area.y() + top))
        window.move(area.x() + left, area.y() + top);
}

bool isNormal(const QWidget &window)
{
    return !(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

bool desktopComposites()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || X11::compositorRuns();
}

} // namespace WindowPlacement
