#include "widgets/PixelCopy.h"

#include <QBackingStore>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>
#include <cmath>

namespace PixelCopy {

std::optional<QImage::Format> targetFormat(const QPainter &painter)
{
    QPaintEngine *engine = painter.paintEngine();
    const QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
    const QTransform placed = painter.deviceTransform();
    if (!device || engine->type() != QPaintEngine::Raster || device->devType() != QInternal::Image ||
        placed.type() > QTransform::TxTranslate || placed.dx() != std::round(placed.dx()) ||
        placed.dy() != std::round(placed.dy()) || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return {};
    return static_cast<const QImage *>(device)->format();
}

std::optional<QImage::Format> windowFormat(const QWidget &widget)
{
    QBackingStore *store = widget.window()->backingStore();
    const QPaintDevice *device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image || device->devicePixelRatio() != 1.0)
        return {};
    return static_cast<const QImage *>(device)->format();
}

} // namespace PixelCopy
