#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <functional>

// The lines a week showed, as they were painted, kept in the cache folder from one start to the
// next, so that the next start copies them where it would lay out and draw the same lines again.
//
// Each line is kept under a key that names everything its pixels follow from. What a start reads
// is trusted only where a probe line, drawn anew under the same key, comes out as it was kept: a
// change of fonts, of their settings or of the colours draws the lines anew. A missing, damaged
// or foreign file holds nothing.
class KeptLines final
{
public:
    // Kept in file; an empty name keeps nothing.
    explicit KeptLines(QString file);

    const QString &file() const { return m_file; }
    // What the file holds, read at the first call.
    QImage find(const QString &key);
    // Whether anything read is still held.
    bool holdsAny();
    // Whether the lines kept beside the probe under probeKey were drawn as they are drawn now:
    // asked once per key, by drawing the probe anew (draw) when the file holds one.
    bool trusts(const QString &probeKey, const std::function<QImage()> &draw);
    // Whether the file holds these keys and no other, all of them trusted.
    bool holdsExactly(const QStringList &keys);
    // Lets go of what was read: what a start reads is for its first pictures.
    void forget();

    struct Line
    {
        QString key;
        QImage image;
    };
    // Keeps lines in place of what the file held; false when the file could not be written.
    bool keep(const QList<Line> &lines);

private:
    void read();

    QString m_file;
    bool m_read = false;
    QByteArray m_data; // the file's bytes, which the images read in place
    QHash<QString, QImage> m_images;
    QHash<QString, bool> m_verdicts;
};
