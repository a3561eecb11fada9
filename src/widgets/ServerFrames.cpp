#include "widgets/ServerFrames.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>

#include <algorithm>

#ifdef QUILLOMAR_HAS_XCB
#include <xcb/xcb.h>
#endif

#ifdef QUILLOMAR_HAS_XCB

struct ServerFrames::Native
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_pixmap_t pixmap = XCB_PIXMAP_NONE;
    xcb_gcontext_t gc = XCB_NONE;
    QSize size;

    void free()
    {
        if (pixmap != XCB_PIXMAP_NONE)
            xcb_free_pixmap(connection, pixmap);
        if (gc != XCB_NONE)
            xcb_free_gc(connection, gc);
        if (connection)
            xcb_flush(connection);
        pixmap = XCB_PIXMAP_NONE;
        gc = XCB_NONE;
    }
};

namespace {

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&::free)>;

// Whether the window's pixels are 32-bit words 0xAARRGGBB (or 0x00RRGGBB) in the program's own
// byte order, as QImage keeps premultiplied ARGB: then its picture is sent as it is.
bool pixelsMatch(xcb_connection_t *connection, xcb_window_t window, uint8_t depth)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const bool ownOrder =
        (QSysInfo::ByteOrder == QSysInfo::LittleEndian) == (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST);
    if (!ownOrder || (depth != 32 && depth != 24))
        return false;
    bool wordPixels = false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
        if (formats.data->depth == depth)
            wordPixels = formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    if (!wordPixels)
        return false;

    ReplyPtr<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr), &::free);
    if (!attributes)
        return false;
    for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens))
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem; xcb_depth_next(&depths)) {
            if (depths.data->depth != depth)
                continue;
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals))
                if (visuals.data->visual_id == attributes->visual)
                    return visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && visuals.data->red_mask == 0xff0000 &&
                        visuals.data->green_mask == 0xff00 && visuals.data->blue_mask == 0xff;
        }
    return false;
}

} // namespace

ServerFrames::ServerFrames() = default;

ServerFrames::~ServerFrames()
{
    release();
}

bool ServerFrames::prepare(QWidget &window, const QImage &picture)
{
    release();
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || !window.isWindow() || !window.internalWinId() || picture.isNull())
        return false;
    const auto id = xcb_window_t(window.internalWinId());
    ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &::free);
    if (!geometry || !pixelsMatch(connection, id, geometry->depth))
        return false;

    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_native = std::make_unique<Native>();
    Native &n = *m_native;
    n.connection = connection;
    n.window = id;
    n.size = pixels.size();
    n.pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, geometry->depth, n.pixmap, id, uint16_t(n.size.width()), uint16_t(n.size.height()));
    // No exposure events: a copy from a picture held whole never has a part to repaint, and an
    // event per frame would wake the program for nothing.
    n.gc = xcb_generate_id(connection);
    const uint32_t noExposures = 0;
    xcb_create_gc(connection, n.gc, n.pixmap, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);

    // Sent in bands of rows that each fit in one request.
    const int rowBytes = int(pixels.bytesPerLine());
    const size_t requestBytes = size_t(xcb_get_maximum_request_length(connection)) * 4;
    const int rowsPerBand = std::max(1, int((requestBytes - 64) / size_t(rowBytes)));
    for (int top = 0; top < n.size.height(); top += rowsPerBand) {
        const int rows = std::min(rowsPerBand, n.size.height() - top);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, n.pixmap, n.gc, uint16_t(n.size.width()), uint16_t(rows),
                      0, int16_t(top), 0, geometry->depth, uint32_t(rowBytes * rows), pixels.constScanLine(top));
    }
    xcb_flush(connection);
    return true;
}

bool ServerFrames::show(const QRect &part)
{
    if (!ready())
        return false;
    const QRect inside = part & QRect(QPoint(0, 0), m_native->size);
    Native &n = *m_native;
    xcb_copy_area(n.connection, n.pixmap, n.window, n.gc, int16_t(inside.x()), int16_t(inside.y()),
                  int16_t(inside.x() - part.x()), int16_t(inside.y() - part.y()), uint16_t(inside.width()),
                  uint16_t(inside.height()));
    xcb_flush(n.connection);
    return true;
}

bool ServerFrames::ready() const
{
    return m_native && m_native->pixmap != XCB_PIXMAP_NONE;
}

void ServerFrames::release()
{
    if (m_native)
        m_native->free();
    m_native.reset();
}

#else

struct ServerFrames::Native
{
};

ServerFrames::ServerFrames() = default;
ServerFrames::~ServerFrames() = default;
bool ServerFrames::prepare(QWidget &, const QImage &)
{
    return false;
}
bool ServerFrames::show(const QRect &)
{
    return false;
}
bool ServerFrames::ready() const
{
    return false;
}
void ServerFrames::release()
{}

#endif
