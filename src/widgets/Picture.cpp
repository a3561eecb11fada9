#include "widgets/Picture.h"

#include "widgets/ArtCache.h"

#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSet>
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

static QSvgRenderer *renderer(const QString &path)
{
    static QHash<QString, QSvgRenderer *> renderers;
    initResources();
    QSvgRenderer *&r = renderers[path];
    if (!r)
        r = new QSvgRenderer(path);
    return r;
}

// The drawing at path, kept under name.
static QPixmap renderFile(const QString &path, const QString &name, QSize logicalSize, qreal devicePixelRatio)
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
    // What the last start drew at this size, before drawing anew.
    const QImage kept = ArtCache::find(name, logicalSize * devicePixelRatio, devicePixelRatio).image;
    if (!kept.isNull()) {
        const QPixmap pixmap = QPixmap::fromImage(kept.copy());
        QPixmapCache::insert(key, pixmap);
        return pixmap;
    }
    QPixmap pixmap(logicalSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer *r = renderer(path);
    if (r->isValid()) {
        QPainter painter(&pixmap);
        r->render(&painter, QRectF(QPointF(0, 0), QSizeF(logicalSize)));
    }
    QPixmapCache::insert(key, pixmap);
    // The first size of a session is the one the next start shows; later ones (a resize) are not
    // written at every step.
    static QSet<QString> keptNames;
    if (r->isValid() && !ArtCache::folder().isEmpty() && !keptNames.contains(name)) {
        keptNames.insert(name);
        ArtCache::keep(name, pixmap.toImage(), r->defaultSize());
    }
    return pixmap;
}

QPixmap render(const QString &name, QSize logicalSize, qreal devicePixelRatio)
{
    return renderFile(resource(name), name, logicalSize, devicePixelRatio);
}

QIcon icon(const QString &path)
{
    // The sizes the window system is offered for a drawing that has none of its own.
    QIcon drawn;
    const QString name = QStringLiteral("icon-") + QFileInfo(path).completeBaseName();
    for (const int side : {16, 32, 64, 128})
        drawn.addPixmap(renderFile(path, name + QString::number(side), QSize(side, side), 1.0));
    return drawn;
}

QSize naturalSize(const QString &name)
{
    // A drawing kept from the last start says its size without the SVG being read.
    static QHash<QString, QSize> sizes;
    auto known = sizes.constFind(name);
    if (known != sizes.constEnd())
        return *known;
    QSize size = ArtCache::naturalSize(name);
    if (size.isEmpty()) {
        QSvgRenderer *r = renderer(resource(name));
        size = r->isValid() ? r->defaultSize() : QSize();
    }
    sizes.insert(name, size);
    return size;
}

} // namespace Picture
