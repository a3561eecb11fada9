#include "InterchangeFile.h"

#include "data/store/FailureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

InterchangeFile::Checked refusal(const QString &why, int line = 0)
{
    InterchangeFile::Checked checked;
    checked.error = why;
    checked.line = line;
    return checked;
}

bool validUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder(bytes);
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

// The component a BEGIN or END line names, in capitals; empty for any other line.
QByteArray componentOf(const QByteArray &line, const char *keyword)
{
    const qsizetype length = qsizetype(qstrlen(keyword));
    if (line.size() <= length || qstrnicmp(line.constData(), keyword, length) != 0)
        return {};
    return line.mid(length).trimmed().toUpper();
}

} // namespace

InterchangeFile::Format InterchangeFile::formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ics"))
        return Format::Calendar;
    if (suffix == QLatin1String("vcf"))
        return Format::Cards;
    return Format::Unknown;
}

void InterchangeFile::forEachLine(const QByteArray &text, const std::function<bool(const QByteArray &, int)> &onLine)
{
    QByteArray logical;
    int first = 0;
    int number = 0;
    qsizetype at = 0;
    bool open = false;
    while (at < text.size()) {
        qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            end = text.size();
        QByteArray physical = text.mid(at, end - at);
        if (physical.endsWith('\r'))
            physical.chop(1);
        ++number;
        at = end + 1;
        if (open && !physical.isEmpty() && (physical[0] == ' ' || physical[0] == '\t')) {
            logical += physical.mid(1);
            continue;
        }
        if (open && !onLine(logical, first))
            return;
        logical = physical;
        first = number;
        open = true;
    }
    if (open)
        onLine(logical, first);
}

int InterchangeFile::lineOf(const QByteArray &text, const QByteArray &needle)
{
    int found = 0;
    if (needle.isEmpty())
        return 0;
    forEachLine(text, [&](const QByteArray &line, int number) {
        if (!line.contains(needle))
            return true;
        found = number;
        return false;
    });
    return found;
}

InterchangeFile::Checked InterchangeFile::read(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return refusal(QStringLiteral("el archivo no existe"));
    if (file.size() > MaxSize)
        return refusal(QStringLiteral("el archivo pasa de 50 MB"));
    if (!file.open(QIODevice::ReadOnly))
        return refusal(QStringLiteral("el archivo no se puede leer"));
    QByteArray bytes = file.read(MaxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return refusal(QStringLiteral("el archivo no se puede leer"));
    return check(std::move(bytes), formatOf(path));
}

InterchangeFile::Checked InterchangeFile::check(QByteArray bytes, Format promised)
{
    if (bytes.size() > MaxSize)
        return refusal(QStringLiteral("el archivo pasa de 50 MB"));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.trimmed().isEmpty())
        return refusal(QStringLiteral("el archivo está vacío"));
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        return refusal(QStringLiteral("el archivo contiene un byte nulo: no es un archivo de texto"),
                       int(bytes.left(nul).count('\n')) + 1);

    Checked checked;
    QList<QByteArray> open;
    int notUtf8 = 0;
    forEachLine(bytes, [&](const QByteArray &line, int number) {
        if (notUtf8 == 0 && !validUtf8(line))
            notUtf8 = number;
        if (const QByteArray begun = componentOf(line, "BEGIN:"); !begun.isEmpty()) {
            Format format = Format::Unknown;
            if (begun == "VCALENDAR")
                format = Format::Calendar;
            else if (begun == "VCARD")
                format = Format::Cards;
            if (open.isEmpty() && format == Format::Unknown) {
                checked = refusal(
                    QStringLiteral("«%1» no abre un calendario ni una ficha").arg(QString::fromUtf8(line)), number);
                return false;
            }
            if (open.isEmpty() && checked.format != Format::Unknown && format != checked.format) {
                checked = refusal(QStringLiteral("el archivo mezcla calendarios y fichas"), number);
                return false;
            }
            if (open.isEmpty())
                checked.format = format;
            open << begun;
            return true;
        }
        if (const QByteArray ended = componentOf(line, "END:"); !ended.isEmpty()) {
            if (open.isEmpty() || open.last() != ended) {
                checked = refusal(open.isEmpty()
                                      ? QStringLiteral("«%1» cierra algo que no se abrió").arg(QString::fromUtf8(line))
                                      : QStringLiteral("«%1» cierra otra cosa que «BEGIN:%2»")
                                            .arg(QString::fromUtf8(line), QString::fromUtf8(open.last())),
                                  number);
                return false;
            }
            open.removeLast();
            return true;
        }
        if (open.isEmpty() && !line.trimmed().isEmpty()) {
            checked = refusal(QStringLiteral("texto fuera de un calendario o una ficha"), number);
            return false;
        }
        return true;
    });
    if (!checked.error.isEmpty())
        return checked;
    if (!open.isEmpty())
        return refusal(QStringLiteral("falta «END:%1» al final").arg(QString::fromUtf8(open.last())),
                       int(bytes.count('\n')) + 1);
    if (checked.format == Format::Unknown)
        return refusal(QStringLiteral("no es un archivo de calendario ni de contactos"));
    // A vCard 2.1 value may say another CHARSET of its own: the vCard reader checks those.
    if (notUtf8 > 0 && checked.format == Format::Calendar)
        return refusal(QStringLiteral("el texto no está en UTF-8"), notUtf8);
    if (promised != Format::Unknown && promised != checked.format)
        return refusal(checked.format == Format::Calendar
                           ? QStringLiteral("el archivo es un calendario, pero su nombre no acaba en .ics")
                           : QStringLiteral("el archivo es de contactos, pero su nombre no acaba en .vcf"));
    checked.text = std::move(bytes);
    return checked;
}

QString InterchangeFile::write(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    if (!target.dir().exists())
        return QStringLiteral("la carpeta %1 no existe").arg(QDir::toNativeSeparators(target.absolutePath()));
    QByteArray temporary = QFile::encodeName(target.absoluteFilePath() + QStringLiteral(".part-XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return FailureText::ofSystem(errno);
    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return FailureText::ofSystem(error);
    };
    ::fchmod(fd, 0644);
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t step = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step < 0)
            return fail(errno);
        written += step;
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return FailureText::ofSystem(error);
    }
    if (::rename(temporary.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return FailureText::ofSystem(error);
    }
    // The rename itself reaches the disk with the folder.
    if (const int folder = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
        folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}
