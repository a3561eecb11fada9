#pragma once

#include <QMargins>
#include <QRect>
#include <memory>

class QImage;
class QWidget;

// A picture kept in the display server for a window whose animation frames are parts of it: a
// frame is then one copy inside the server, a few bytes on the wire, and nothing painted or sent
// by the program. Only X11 keeps such pictures; elsewhere, or for a window whose pixels the
// picture cannot match, prepare() says no and the caller paints its frames itself.
class ServerFrames final
{
public:
    ServerFrames();
    ~ServerFrames();
    ServerFrames(const ServerFrames &) = delete;
    ServerFrames &operator=(const ServerFrames &) = delete;

    // Keeps in the server, for the top-level `window` and in place of any picture kept before,
    // `image` (premultiplied ARGB, in device pixels) with `bare` transparent pixels around it.
    bool prepare(QWidget &window, const QImage &image, const QMargins &bare = {});
    // Copies the part of the picture `part` (device pixels) to the window's top-left corner.
    bool show(const QRect &part);
    bool ready() const;
    // Gives the server its memory back.
    void release();

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};
