#include "SnoozeChoice.h"

#include "AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr char Key[] = "alarmas/posponer";

QString preferencesFile(const AppPaths &paths)
{
    return QFileInfo(paths.settingsFile).absoluteDir().filePath(QStringLiteral("quillomar-preferencias.ini"));
}

} // namespace

namespace SnoozeChoice {

int read(const AppPaths &paths, int fallback)
{
    bool ok = false;
    const int minutes = QSettings(preferencesFile(paths), QSettings::IniFormat).value(QLatin1String(Key)).toInt(&ok);
    return ok && minutes > 0 ? minutes : fallback;
}

void write(const AppPaths &paths, int minutes)
{
    QSettings(preferencesFile(paths), QSettings::IniFormat).setValue(QLatin1String(Key), minutes);
}

} // namespace SnoozeChoice
