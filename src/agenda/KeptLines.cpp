#include "KeptLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

namespace {

constexpr char Magic[8] = {'Q', 'L', 'L', 'I', 'N', 'E', 'A', '1'};

// Each line: its key's length in bytes, its width, height, bytes per row and pixel format, then the
// key in UTF-8 and the rows, each part starting at a multiple of 8 bytes.
struct LineHeader
{
    quint32 keyBytes;
    qint32 width;
    qint32 height;
    qint32 bytesPerLine;
    qint32 format;
    quint32 reserved;
};

qsizetype padded(qsizetype bytes)
{
    return (bytes + 7) & ~qsizetype(7);
}

} // namespace

KeptLines::KeptLines(QString file)
    : m_file(std::move(file))
{}

void KeptLines::read()
{
    if (m_read)
        return;
    m_read = true;
    QFile file(m_file);
    if (m_file.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    m_data = file.readAll();
    const char *data = m_data.constData();
    const qsizetype size = m_data.size();
    if (size < qsizetype(sizeof Magic) || std::memcmp(data, Magic, sizeof Magic) != 0) {
        m_data.clear();
        return;
    }
    for (qsizetype at = sizeof Magic; at < size;) {
        LineHeader header{};
        if (size - at < qsizetype(sizeof header))
            break;
        std::memcpy(&header, data + at, sizeof header);
        at += sizeof header;
        // A line of a window's width and of a few rows at most.
        const bool sane = header.width > 0 && header.width <= 1 << 15 && header.height > 0 &&
            header.height <= 1 << 10 && header.format > QImage::Format_Invalid &&
            header.format < QImage::NImageFormats && header.keyBytes <= 1 << 16 &&
            header.bytesPerLine == QImage(header.width, 1, QImage::Format(header.format)).bytesPerLine();
        const qsizetype pixels = qsizetype(header.bytesPerLine) * header.height;
        if (!sane || size - at < padded(header.keyBytes) + padded(pixels))
            break;
        const QString key = QString::fromUtf8(data + at, header.keyBytes);
        at += padded(header.keyBytes);
        // The image reads the bytes in place; they stay as long as this object holds them.
        m_images.insert(key,
                        QImage(reinterpret_cast<const uchar *>(data + at), header.width, header.height,
                               header.bytesPerLine, QImage::Format(header.format)));
        at += padded(pixels);
    }
}

QImage KeptLines::find(const QString &key)
{
    read();
    return m_images.value(key);
}

bool KeptLines::holdsAny()
{
    read();
    return !m_images.isEmpty();
}

bool KeptLines::trusts(const QString &probeKey, const std::function<QImage()> &draw)
{
    if (const auto verdict = m_verdicts.constFind(probeKey); verdict != m_verdicts.cend())
        return *verdict;
    // A kind of line the file holds no probe for has no line kept either.
    const QImage kept = find(probeKey);
    if (kept.isNull())
        return false;
    const bool same = draw() == kept;
    m_verdicts.insert(probeKey, same);
    return same;
}

bool KeptLines::holdsExactly(const QStringList &keys)
{
    read();
    if (keys.size() != m_images.size() ||
        std::any_of(m_verdicts.cbegin(), m_verdicts.cend(), [](bool v) { return !v; }))
        return false;
    return std::all_of(keys.cbegin(), keys.cend(), [this](const QString &key) { return m_images.contains(key); });
}

void KeptLines::forget()
{
    m_images.clear();
    m_data.clear();
    m_data.squeeze();
}

bool KeptLines::keep(const QList<Line> &lines)
{
    if (m_file.isEmpty())
        return false;
    QByteArray out(Magic, sizeof Magic);
    for (const Line &line : lines) {
        const QByteArray key = line.key.toUtf8();
        const LineHeader header{quint32(key.size()),         line.image.width(),
                                line.image.height(),         qint32(line.image.bytesPerLine()),
                                qint32(line.image.format()), 0};
        out.append(reinterpret_cast<const char *>(&header), sizeof header);
        out.append(key);
        out.append(padded(key.size()) - key.size(), '\0');
        const qsizetype pixels = line.image.sizeInBytes();
        out.append(reinterpret_cast<const char *>(line.image.constBits()), pixels);
        out.append(padded(pixels) - pixels, '\0');
    }
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    // A start that reads the file meanwhile reads the old one whole, or the new one.
    QSaveFile file(m_file);
    file.setDirectWriteFallback(false);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}
