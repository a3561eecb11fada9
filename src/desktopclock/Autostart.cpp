#include "Autostart.h"

#include "data/store/FailureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>

Autostart::Autostart(const QString &executable)
    : m_executable(executable)
{}

QString Autostart::entryFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart/" QUILLOMAR_APP_ID ".desktop"));
}

bool Autostart::isEnabled() const
{
    QFile file(entryFile());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // A desktop that offers its own switch leaves the file in place and marks it instead.
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).remove(QLatin1Char(' ')).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[DesktopEntry]");
        else if (inEntry &&
                 (line == QLatin1String("Hidden=true") || line == QLatin1String("X-GNOME-Autostart-enabled=false")))
            return false;
    }
    return true;
}

bool Autostart::setEnabled(bool enabled)
{
    m_error.clear();
    const QString path = entryFile();
    if (!enabled) {
        errno = 0;
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return true;
        m_error = QStringLiteral("No se ha podido borrar %1:\n%2.")
                      .arg(QDir::toNativeSeparators(path), FailureText::ofFile(QFileDevice::RemoveError, errno));
        return false;
    }

    const QString folder = QFileInfo(path).absolutePath();
    errno = 0;
    if (!QDir().mkpath(folder)) {
        m_error =
            QStringLiteral("No se ha podido escribir %1:\nno se puede crear la carpeta %2: %3")
                .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(folder), FailureText::ofSystem(errno));
        return false;
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        m_error = QStringLiteral("No se ha podido escribir %1:\n%2")
                      .arg(QDir::toNativeSeparators(path), FailureText::ofFile(file.error(), errno));
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Quillomar\n"
                                         "Comment=Agenda semanal con calendario, tareas, teléfonos y alarmas\n"
                                         "Exec=%1\n"
                                         "Icon=" QUILLOMAR_APP_ID "\n"
                                         "Terminal=false\n")
                              .arg(execValue(m_executable));
    file.write(entry.toUtf8());
    errno = 0;
    if (!file.commit()) {
        m_error = QStringLiteral("No se ha podido escribir %1:\n%2")
                      .arg(QDir::toNativeSeparators(path), FailureText::ofFile(file.error(), errno));
        return false;
    }
    return true;
}

QString Autostart::execValue(const QString &executable)
{
    // A percent sign starts a field code anywhere on the line.
    QString value = executable;
    value.replace(QLatin1Char('%'), QLatin1String("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (std::none_of(value.cbegin(), value.cend(), [](QChar c) { return reserved.contains(c); }))
        return value;
    // Inside quotes ", `, $ and \ take a backslash; the file's own string escaping then doubles
    // every backslash and writes a line break as \n.
    QString quoted;
    for (const QChar c : std::as_const(value)) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
