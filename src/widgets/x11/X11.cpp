#include "widgets/x11/X11.h"

#include "widgets/x11/Xcb.h"

namespace X11 {

std::optional<bool> leftButtonHeld()
{
#ifdef QUILLOMAR_HAS_XCB
    if (xcb_connection_t *connection = Xcb::connection()) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const Xcb::Reply<xcb_query_pointer_reply_t> reply(
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr));
        if (!reply)
            return std::nullopt;
        return bool(reply->mask & XCB_BUTTON_MASK_1);
    }
#endif
    return std::nullopt;
}

bool compositorRuns()
{
#ifdef QUILLOMAR_HAS_XCB
    xcb_connection_t *connection = Xcb::connection();
    if (!connection)
        return false;
    // A compositing manager owns the selection _NET_WM_CM_S<n> of the screen it draws.
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

} // namespace X11
