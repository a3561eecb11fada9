#include "widgets/ArtCache.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <sys/mman.h>

namespace {

constexpr char Magic[4] = {'Q', 'L', 'A', 'R'};
constexpr quint32 Version = 1;
// Folders of other builds are left this long, for a second copy of the program that may still use
// them, then removed.
constexpr qint64 OtherBuildsDays = 7;

// The file's header, as this machine lays it out: the cache never leaves it.
struct Header
{
    char magic[4];
    quint32 version;
    qint32 width;
    qint32 height;
    qint32 naturalWidth;
    qint32 naturalHeight;
    quint32 format;
    quint32 bytesPerLine;
    double ratio;
};

QString &cacheFolder()
{
    static QString folder;
    return folder;
}

// The executable's size and time: another build may draw differently.
QString buildStamp()
{
    static const QString stamp = [] {
        const QFileInfo program(QCoreApplication::applicationFilePath());
        return QStringLiteral("%1-%2")
            .arg(program.size(), 0, 16)
            .arg(program.lastModified().toMSecsSinceEpoch(), 0, 16);
    }();
    return stamp;
}

QString fileOf(const QString &name)
{
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    return ArtCache::folder() + QLatin1Char('/') + safe + QStringLiteral(".img");
}

// A kept file's pages, mapped for an image that reads them in place.
struct Mapping
{
    void *address;
    size_t length;
};

void unmap(void *info)
{
    const auto *mapping = static_cast<Mapping *>(info);
    munmap(mapping->address, mapping->length);
    delete mapping;
}

bool readHeader(QFile &file, Header &header)
{
    return file.read(reinterpret_cast<char *>(&header), sizeof header) == qint64(sizeof header) &&
        std::memcmp(header.magic, Magic, sizeof Magic) == 0 && header.version == Version && header.width > 0 &&
        header.height > 0;
}

void removeOtherBuilds()
{
    const QDir cache(cacheFolder());
    const QDateTime old = QDateTime::currentDateTime().addDays(-OtherBuildsDays);
    const QString ours = QFileInfo(ArtCache::folder()).fileName();
    for (const QFileInfo &other : cache.entryInfoList({QStringLiteral("arte-*")}, QDir::Dirs | QDir::NoDotAndDotDot))
        if (other.fileName() != ours && other.lastModified() < old)
            QDir(other.absoluteFilePath()).removeRecursively();
}

} // namespace

namespace ArtCache {

void setFolder(const QString &folder)
{
    cacheFolder() = folder;
}

QString folder()
{
    return cacheFolder().isEmpty() ? QString() : cacheFolder() + QStringLiteral("/arte-") + buildStamp();
}

Art find(const QString &name, QSize pixelSize, qreal devicePixelRatio)
{
    if (cacheFolder().isEmpty())
        return {};
    QFile file(fileOf(name));
    Header header{};
    if (!file.open(QIODevice::ReadOnly) || !readHeader(file, header) ||
        QSize(header.width, header.height) != pixelSize || header.ratio != devicePixelRatio ||
        header.format >= QImage::NImageFormats)
        return {};
    // Lines laid out as an image of this size lays them out, and nothing more or less in the file.
    const QImage::Format format = QImage::Format(header.format);
    const qsizetype lineBytes = QImage(pixelSize.width(), 1, format).bytesPerLine();
    const qint64 length = qint64(sizeof header) + qint64(lineBytes) * pixelSize.height();
    if (lineBytes == 0 || quint32(lineBytes) != header.bytesPerLine || file.size() != length)
        return {};
    // The pixels are read where the system keeps the file, all at once: read into memory of the
    // program's own, a cover the window's size would be copied, page by page, at every start.
    void *address = mmap(nullptr, size_t(length), PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.handle(), 0);
    if (address == MAP_FAILED)
        return {};
    auto *mapping = new Mapping{address, size_t(length)};
    QImage image(static_cast<const uchar *>(address) + sizeof header, pixelSize.width(), pixelSize.height(), lineBytes,
                 format, unmap, mapping);
    if (image.isNull()) {
        unmap(mapping);
        return {};
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return {image, QSize(header.naturalWidth, header.naturalHeight)};
}

QSize naturalSize(const QString &name)
{
    if (cacheFolder().isEmpty())
        return {};
    QFile file(fileOf(name));
    Header header{};
    if (!file.open(QIODevice::ReadOnly) || !readHeader(file, header))
        return {};
    return QSize(header.naturalWidth, header.naturalHeight);
}

void keep(const QString &name, const QImage &image, QSize naturalSize)
{
    if (cacheFolder().isEmpty() || image.isNull())
        return;
    if (!QFileInfo::exists(folder())) {
        if (!QDir().mkpath(folder()))
            return;
        removeOtherBuilds();
    }
    Header header{};
    std::memcpy(header.magic, Magic, sizeof Magic);
    header.version = Version;
    header.width = image.width();
    header.height = image.height();
    header.naturalWidth = naturalSize.width();
    header.naturalHeight = naturalSize.height();
    header.format = quint32(image.format());
    header.bytesPerLine = quint32(image.bytesPerLine());
    header.ratio = image.devicePixelRatio();
    // Written whole or not at all: a start that reads a half-written picture would show it.
    QSaveFile file(fileOf(name));
    if (file.open(QIODevice::WriteOnly) &&
        file.write(reinterpret_cast<const char *>(&header), sizeof header) == qint64(sizeof header) &&
        file.write(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()) == image.sizeInBytes())
        file.commit();
}

} // namespace ArtCache
