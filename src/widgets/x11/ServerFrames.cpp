#include "widgets/x11/ServerFrames.h"
#include "widgets/x11/Xcb.h"

#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <vector>

#ifdef QUILLOMAR_HAS_XCB

struct ServerFrames::Native
{
    xcb_connection_t *connection = nullptr;
    // The window last asked about, and whether its pixels are the picture's, with its depth: asked
    // once, not at every picture.
    xcb_window_t window = XCB_WINDOW_NONE;
    bool matches = false;
    uint8_t depth = 0;
    xcb_pixmap_t pixmap = XCB_PIXMAP_NONE;
    xcb_gcontext_t gc = XCB_NONE;
    QSize size;

    void free()
    {
        if (pixmap != XCB_PIXMAP_NONE)
            xcb_free_pixmap(connection, pixmap);
        if (gc != XCB_NONE)
            xcb_free_gc(connection, gc);
        if (pixmap != XCB_PIXMAP_NONE || gc != XCB_NONE)
            xcb_flush(connection);
        pixmap = XCB_PIXMAP_NONE;
        gc = XCB_NONE;
    }
};

namespace {

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

    const Xcb::Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
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

bool ServerFrames::prepare(QWidget &window, const QImage &image, const QMargins &bare)
{
    release();
    xcb_connection_t *connection = Xcb::connection();
    if (!connection || !window.isWindow() || !window.internalWinId() || image.isNull())
        return false;
    if (!m_native)
        m_native = std::make_unique<Native>();
    Native &n = *m_native;
    const auto id = xcb_window_t(window.internalWinId());
    if (n.connection != connection || n.window != id) {
        n.connection = connection;
        n.window = id;
        const Xcb::Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr));
        n.depth = geometry ? geometry->depth : 0;
        n.matches = geometry && pixelsMatch(connection, id, n.depth);
    }
    if (!n.matches)
        return false;

    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRect inner(QPoint(bare.left(), bare.top()), pixels.size());
    n.size = inner.marginsAdded(bare).size();
    n.pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, n.depth, n.pixmap, id, uint16_t(n.size.width()), uint16_t(n.size.height()));
    // No exposure events: a copy from a picture held whole never has a part to repaint, and an
    // event per frame would wake the program for nothing. The foreground is the bare pixel.
    n.gc = xcb_generate_id(connection);
    const uint32_t values[] = {0, 0}; // foreground, graphics exposures
    xcb_create_gc(connection, n.gc, n.pixmap, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);

    std::vector<xcb_rectangle_t> bareParts;
    for (const QRect &part : QRegion(QRect(QPoint(0, 0), n.size)).subtracted(inner))
        bareParts.push_back({int16_t(part.x()), int16_t(part.y()), uint16_t(part.width()), uint16_t(part.height())});
    if (!bareParts.empty())
        xcb_poly_fill_rectangle(connection, n.pixmap, n.gc, uint32_t(bareParts.size()), bareParts.data());

    // Sent in bands of rows that each fit in one request.
    const int rowBytes = int(pixels.bytesPerLine());
    const size_t requestBytes = size_t(xcb_get_maximum_request_length(connection)) * 4;
    const int rowsPerBand = std::max(1, int((requestBytes - 64) / size_t(rowBytes)));
    for (int top = 0; top < pixels.height(); top += rowsPerBand) {
        const int rows = std::min(rowsPerBand, pixels.height() - top);
        xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, n.pixmap, n.gc, uint16_t(pixels.width()), uint16_t(rows),
                      int16_t(inner.x()), int16_t(inner.y() + top), 0, n.depth, uint32_t(rowBytes * rows),
                      pixels.constScanLine(top));
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
}

#else

struct ServerFrames::Native
{
};

ServerFrames::ServerFrames() = default;
ServerFrames::~ServerFrames() = default;
bool ServerFrames::prepare(QWidget &, const QImage &, const QMargins &)
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
