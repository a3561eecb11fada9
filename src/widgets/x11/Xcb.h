#pragma once

// What the X11 code in this folder has in common; included only here. Built only where libxcb was
// found.
#ifdef QUILLOMAR_HAS_XCB

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace Xcb {

// The program's connection to the X server; null where it does not run on X11.
inline xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};

// A reply of the X server, freed with its holder.
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

} // namespace Xcb

#endif
