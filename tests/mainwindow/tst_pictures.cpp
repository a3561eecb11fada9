#include "mainwindow/BookCover.h"
#include "widgets/ArtCache.h"
#include "widgets/Picture.h"
#include "widgets/WindowDrag.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

// The resource lives in a static library: its registration must be pulled in explicitly.
static void initPictureResource()
{
    Q_INIT_RESOURCE(quillomar);
}

namespace {

QStringList resourcePictures()
{
    QStringList names;
    QDirIterator it(QStringLiteral(":/images"), {QStringLiteral("*.svg")}, QDir::Files);
    while (it.hasNext())
        names << it.next();
    names.sort();
    return names;
}

QImage renderAt(QSvgRenderer &renderer, qreal scale)
{
    const QSize size = (QSizeF(renderer.defaultSize()) * scale).toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

int inkedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(line[x]) > 0 ? 1 : 0;
    }
    return count;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initPictureResource();
        QVERIFY2(!resourcePictures().isEmpty(), "the resource holds no pictures");
    }

    void everyResourcePictureDraws_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : resourcePictures())
            QTest::newRow(qPrintable(QFileInfo(path).completeBaseName())) << path;
    }

    void everyResourcePictureDraws()
    {
        QFETCH(QString, path);
        QSvgRenderer renderer(path);
        QVERIFY(renderer.isValid());
        QVERIFY(!renderer.defaultSize().isEmpty());
        // Without a view box the drawing would not scale with the size it is shown at.
        QCOMPARE(renderer.viewBoxF().size(), QSizeF(renderer.defaultSize()));

        for (const qreal scale : {1.0, 2.0}) {
            const QImage image = renderAt(renderer, scale);
            QCOMPARE(image.size(), renderer.defaultSize() * scale);
            const int inked = inkedPixels(image);
            QVERIFY2(inked > image.width() * image.height() / 50,
                     qPrintable(QStringLiteral("almost nothing drawn at %1x: %2 pixels").arg(scale).arg(inked)));
            // No picture carries a background of its own: it is laid on leather, paper or the desktop.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        }
    }

    void picturesCarryNoText_data() { everyResourcePictureDraws_data(); }

    void picturesCarryNoText()
    {
        // Text would be drawn with whatever font the machine has, so the drawings hold shapes only.
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray svg = file.readAll();
        QVERIFY(!svg.contains("<text"));
        QVERIFY(!svg.contains("font"));
        QVERIFY(!svg.contains("<image")); // nothing embedded from elsewhere
    }

    void namesTheWindowsUse_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("natural");
        const QList<std::pair<const char *, QSize>> pictures = {
            {"tab-search", {28, 28}},        {"tab-calendar", {28, 28}},    {"tab-phones", {28, 28}},
            {"tab-tasks", {28, 28}},         {"tab-week", {28, 28}},        {"marker-search", {180, 180}},
            {"marker-calendar", {180, 180}}, {"marker-phones", {180, 180}}, {"marker-tasks", {180, 180}},
            {"chrome-close", {18, 18}},      {"chrome-maximize", {18, 18}}, {"chrome-restore", {18, 18}},
            {"chrome-hover", {18, 18}},      {"week-previous", {26, 26}},   {"week-next", {26, 26}},
            {"week-current", {26, 26}},      {"add-entry", {16, 16}},       {"corner-ornament", {44, 44}},
            {"resize-grip", {16, 16}},       {"entry-close", {16, 16}},     {"entry-alarm", {16, 16}},
            {"entry-alarm-on", {16, 16}},    {"entry-note", {16, 16}},      {"alarm-bell", {64, 64}},
            {"widget-card", {200, 120}},     {"widget-folder", {24, 24}},   {"widget-exit", {24, 24}},
            {"widget-backup", {24, 24}},     {"widget-close", {18, 18}},    {"dialog-close", {16, 16}},
            {"dialog-maximize", {16, 16}},   {"dialog-restore", {16, 16}},
        };
        for (const auto &[name, size] : pictures)
            QTest::newRow(name) << QString::fromLatin1(name) << size;
    }

    void namesTheWindowsUse()
    {
        QFETCH(QString, name);
        QFETCH(QSize, natural);
        QCOMPARE(Picture::naturalSize(name), natural);
        const QPixmap pixmap = Picture::render(name, natural, 2.0);
        QCOMPARE(pixmap.size(), natural * 2);
        QVERIFY(inkedPixels(pixmap.toImage().convertToFormat(QImage::Format_ARGB32)) > 0);
    }

    void opaqueWhereTheyMustCover()
    {
        // The clock is read on any wallpaper: the middle of its card is solid paper.
        QSvgRenderer card(Picture::resource(QStringLiteral("widget-card")));
        const QImage image = renderAt(card, 1.0);
        for (const QPoint p : {QPoint(100, 40), QPoint(30, 60), QPoint(160, 90), QPoint(100, 100)})
            QCOMPARE(qAlpha(image.pixel(p)), 255);
        // The hover marker lies over a chrome button and must leave it visible.
        QSvgRenderer hover(Picture::resource(QStringLiteral("chrome-hover")));
        const QImage ring = renderAt(hover, 1.0);
        QVERIFY(qAlpha(ring.pixel(9, 9)) < 64);
    }

    void keptPicturesComeBackAsDrawn()
    {
        QTemporaryDir cache;
        ArtCache::setFolder(cache.path());
        const auto cover = [] {
            QWidget window;
            window.resize(640, 400);
            WindowDrag drag(window);
            BookCover book(drag, &window);
            book.resize(window.size());
            return book.grab().toImage();
        };
        const auto picture = [] {
            QPixmapCache::clear();
            return Picture::render(QStringLiteral("week-next"), QSize(40, 40), 1.0).toImage();
        };
        const QImage drawnCover = cover();
        const QImage drawnPicture = picture();
        const QString coverFile = ArtCache::folder() + QStringLiteral("/cover.img");
        const QString pictureFile = ArtCache::folder() + QStringLiteral("/week-next.img");
        QVERIFY(QFile::exists(coverFile) && QFile::exists(pictureFile));
        QCOMPARE(ArtCache::naturalSize(QStringLiteral("week-next")), QSize(26, 26));

        // Read back, they are what was drawn, pixel for pixel.
        QCOMPARE(cover(), drawnCover);
        QCOMPARE(picture(), drawnPicture);
        // What was read back is the window's own: it still shows when the files are emptied.
        {
            QWidget window;
            window.resize(640, 400);
            WindowDrag drag(window);
            BookCover book(drag, &window);
            book.resize(window.size());
            QCOMPARE(book.grab().toImage(), drawnCover);
            QPixmapCache::clear();
            const QPixmap shown = Picture::render(QStringLiteral("week-next"), QSize(40, 40), 1.0);
            for (const QString &file : {coverFile, pictureFile}) {
                QFile emptied(file);
                QVERIFY(emptied.resize(0));
            }
            QCOMPARE(book.grab().toImage(), drawnCover);
            QCOMPARE(shown.toImage(), drawnPicture);
        }
        ArtCache::keep(QStringLiteral("cover"), drawnCover);
        ArtCache::keep(QStringLiteral("week-next"), drawnPicture);
        // And they really are read: a picture kept in their place is what shows.
        QImage red(drawnCover.size(), drawnCover.format());
        red.fill(Qt::red);
        ArtCache::keep(QStringLiteral("cover"), red);
        QCOMPARE(cover().pixelColor(2, 2), QColor(Qt::red));
        QImage smallRed(drawnPicture.size(), drawnPicture.format());
        smallRed.fill(Qt::red);
        ArtCache::keep(QStringLiteral("week-next"), smallRed);
        QCOMPARE(picture().pixelColor(20, 20), QColor(Qt::red));
        // A damaged file, or one of another size, is drawn anew.
        for (const QString &file : {coverFile, pictureFile}) {
            QFile damaged(file);
            QVERIFY(damaged.resize(damaged.size() / 2));
        }
        QCOMPARE(cover(), drawnCover);
        QCOMPARE(picture(), drawnPicture);
        ArtCache::keep(QStringLiteral("cover"), red.copy(0, 0, 320, 200));
        QCOMPARE(cover(), drawnCover);
        ArtCache::setFolder({});
    }

    void everyDrawingInTheSourceIsInTheResource()
    {
        const QString folder = QFINDTESTDATA("../../resources/images");
        QVERIFY2(!folder.isEmpty(), "resources/images not found beside the sources");
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.svg")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files)
            QVERIFY2(QFile::exists(QStringLiteral(":/images/") + file),
                     qPrintable(file + " is missing in quillomar.qrc"));
        QCOMPARE(resourcePictures().size(), files.size());
        // The alarm sound is read from the program's folder, never from the resource.
        QDirIterator all(QStringLiteral(":/"), QDirIterator::Subdirectories);
        while (all.hasNext())
            QVERIFY(!all.next().endsWith(QStringLiteral(".wav")));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
