#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures are SVG drawings in the resource file; they are rendered at the size
// and pixel ratio they are shown at, so they stay sharp at any scaling.
namespace Picture {

// ":/images/<name>.svg"
QString resource(const QString &name);
QPixmap render(const QString &name, QSize logicalSize, qreal devicePixelRatio);
// The drawing at path (a resource) as an icon, for the window system.
QIcon icon(const QString &path);
// The drawing's own size, in logical pixels.
QSize naturalSize(const QString &name);

} // namespace Picture
