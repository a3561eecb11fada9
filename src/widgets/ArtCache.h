#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Pictures the program draws the same way at every start (the book's cover, the SVG drawings at
// the size they are shown), kept between sessions in the user's cache folder: a start reads them
// back instead of drawing them again. One file per picture holds its last size; a file that does
// not match what is asked, is damaged or was drawn by another build of the program is drawn anew.
namespace ArtCache {

// Where the pictures are kept (a folder of this build is made inside); empty keeps none, as in
// tests unless they ask.
void setFolder(const QString &cacheFolder);
QString folder();

struct Art
{
    QImage image; // null when nothing fits
    QSize naturalSize; // what the drawing measures by itself, when the keeper said
};

// The picture kept under name, if it was drawn at this size in device pixels and at this ratio.
// Its image reads the file's pages where they are: a copy (QImage::copy) is what to keep past
// the moment, so that nothing shown depends on the file afterwards.
Art find(const QString &name, QSize pixelSize, qreal devicePixelRatio);
// Only the drawing's natural size, when a picture of it is kept at any size.
QSize naturalSize(const QString &name);
// Keeps image (its device pixel ratio included) as name's picture, in place of the last.
void keep(const QString &name, const QImage &image, QSize naturalSize = {});

} // namespace ArtCache
