#include "widgets/Picture.h"

#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

// The pictures are compiled into the window library, which is static: its resource must be
// registered once before the first picture is drawn.
static void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(quillomar);
        return true;
    }();
    Q_UNUSED(done);
}

namespace Picture {

QString resource(const QString &name)
{
    return QStringLiteral(":/images/%1.svg").arg(name);
}

static QSvgRenderer *renderer(const QString &name)
{
    static QHash<QString, QSvgRenderer *> renderers;
    initResources();
    QSvgRenderer *&r = renderers[name];
    if (!r)
        r = new QSvgRenderer(resource(name));
    return r;
}

QPixmap render(const QString &name, QSize logicalSize, qreal devicePixelRatio)
{
    if (logicalSize.isEmpty())
        return {};
    // Drawn once per size and pixel ratio: the seven "Añadir Entrada" buttons share a picture, and
    // a button's repaint (a hover, a press) draws no SVG again. Qt's pixmap cache bounds what the
    // sizes a resize goes through keep.
    const QString key = QStringLiteral("quillomar %1 %2x%3 %4")
                            .arg(name)
                            .arg(logicalSize.width())
                            .arg(logicalSize.height())
                            .arg(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    QPixmap pixmap(logicalSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer *r = renderer(name);
    if (r->isValid()) {
        QPainter painter(&pixmap);
        r->render(&painter, QRectF(QPointF(0, 0), QSizeF(logicalSize)));
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QSize naturalSize(const QString &name)
{
    QSvgRenderer *r = renderer(name);
    return r->isValid() ? r->defaultSize() : QSize();
}

} // namespace Picture
