#pragma once

#include <QImage>
#include <optional>

class QPainter;
class QWidget;

// Pictures drawn ahead, copied onto the screen in place of painting: where the pixels painted
// into are an image, one pixel for one, the copy of a picture drawn in their format is the very
// pixels painting would give.
namespace PixelCopy {

// The format of the image painter paints into, when a picture drawn at a whole pixel there is
// copied pixel for pixel (no scale, opacity or other composition); nothing otherwise.
std::optional<QImage::Format> targetFormat(const QPainter &painter);
// The format of the pixels widget's window paints into, when they are an image of one pixel per
// device pixel; nothing otherwise.
std::optional<QImage::Format> windowFormat(const QWidget &widget);

} // namespace PixelCopy
