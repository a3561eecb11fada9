#include "widgets/WindowPlacement.h"

#include "widgets/Twips.h"
#include "widgets/Xcb.h"

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
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return true;
#ifdef QUILLOMAR_HAS_XCB
    xcb_connection_t *connection = Xcb::connection();
    if (!connection)
        return false;
    // A compositing manager owns the selection _NET_WM_CM_S<n> of the screen it draws; the
    // desktop is one X screen, the first, however many monitors it spans.
    // The selection's name is looked up until some compositor has claimed it once; the program
    // has one connection, so the name found then stays good.
    static xcb_atom_t selection = XCB_ATOM_NONE;
    if (selection == XCB_ATOM_NONE) {
        static constexpr char Name[] = "_NET_WM_CM_S0";
        const Xcb::Reply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, true, sizeof Name - 1, Name), nullptr));
        if (!atom)
            return false;
        selection = atom->atom;
        if (selection == XCB_ATOM_NONE)
            return false; // nothing ever claimed it
    }
    const Xcb::Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
#else
    return false;
#endif
}

} // namespace WindowPlacement
