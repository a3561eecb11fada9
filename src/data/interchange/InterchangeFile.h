#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// A calendar (.ics) or address (.vcf) file as the import reads it and the export writes it: the
// checks made on the whole file before anything is written, and the replacement of a file only
// once its new text is on the disk.
class InterchangeFile final
{
public:
    enum class Format { Unknown, Calendar, Cards };

    // Larger files are refused before they are read.
    static constexpr qint64 MaxSize = 50LL * 1024 * 1024;

    struct Checked
    {
        QByteArray text; // the file's bytes, a byte order mark left out
        Format format = Format::Unknown;
        QString error; // why the file is refused, in the user's words; empty when it is not
        int line = 0; // where, counting from 1; 0 for the whole file
    };

    // The format the file's name promises (.ics or .vcf, in any letter case).
    static Format formatOf(const QString &path);

    // Reads the file and checks it whole: not empty, not over MaxSize, no NUL byte, every BEGIN
    // closed by its END, the content saying the same format as the name, and a calendar in valid
    // UTF-8 once its folded lines are joined (a vCard 2.1 value may declare a CHARSET of its own,
    // which the vCard reader checks).
    static Checked read(const QString &path);
    // The same checks on bytes already read, for a file named as `promised` says.
    static Checked check(QByteArray bytes, Format promised);

    // The line (from 1) of the first logical line of text that contains needle, folded lines
    // joined; 0 when none does.
    static int lineOf(const QByteArray &text, const QByteArray &needle);

    // Writes bytes to a new file beside path, syncs it and renames it over path: an existing
    // file is replaced only once the whole text is there. The reason of a failure, or empty.
    static QString write(const QString &path, const QByteArray &bytes);

private:
    // Hands each logical line (folds joined, line ending left out) to onLine with the number of
    // its first physical line; stops when onLine returns false.
    static void forEachLine(const QByteArray &text, const std::function<bool(const QByteArray &, int)> &onLine);
};
