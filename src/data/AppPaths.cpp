#include "AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace {

const QString SettingsFileName = QStringLiteral("quillomar.cfg");
const QString InstalledSound = QStringLiteral("../share/quillomar/tiempo.wav");

// A program installed under a prefix (/usr, /usr/local, ~/.local) has its sound in the prefix's
// share folder; a portable copy carries everything in its own folder.
bool isInstalled(const QDir &folder)
{
    return QFileInfo::exists(folder.filePath(InstalledSound));
}

// Files an earlier version left beside an installed program whose folder the user could write
// to: that user's settings and agenda stay where they are.
bool holdsEarlierFiles(const QDir &folder)
{
    return QFileInfo::exists(folder.filePath(SettingsFileName)) ||
        QFileInfo::exists(folder.filePath(QString::fromUtf16(DatabaseFileName)));
}

} // namespace

AppPaths AppPaths::forProgramFolder(const QString &programFolder)
{
    AppPaths paths;
    const QDir folder(programFolder);
    paths.programFolder = QDir::toNativeSeparators(QDir::cleanPath(programFolder));
    paths.soundFile = findSoundFile(programFolder);
    // The program's folder is the user's only in a portable copy. Even when it can be written
    // (by root, or under a prefix of the user's own), an installed program's folder belongs to
    // the package: files put there would be shared by every user, and left behind when the
    // package goes.
    const bool portable = !isInstalled(folder) || holdsEarlierFiles(folder);
    if (portable && QFileInfo(programFolder).isWritable()) {
        paths.settingsFile = folder.filePath(SettingsFileName);
        paths.defaultDataFolder = paths.programFolder;
    } else {
        const QString config = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                                   .filePath(QStringLiteral("quillomar"));
        const QString data = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                 .filePath(QStringLiteral("quillomar"));
        QDir().mkpath(config);
        QDir().mkpath(data);
        paths.settingsFile = QDir(config).filePath(SettingsFileName);
        paths.defaultDataFolder = QDir::toNativeSeparators(data);
    }
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    paths.lockFile = QDir(runtime).filePath(QStringLiteral("quillomar-%1.lock").arg(getuid()));
    paths.cacheFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return paths;
}

QString AppPaths::findSoundFile(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("tiempo.wav"));
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(folder.filePath(InstalledSound));
    return QFileInfo::exists(installed) ? installed : beside;
}

QString AppPaths::databaseFile(const QString &dataFolder) const
{
    QString folder = dataFolder.isEmpty() ? defaultDataFolder : dataFolder;
    // A relative folder belongs to the program, wherever it was started from.
    if (QDir::isRelativePath(folder))
        folder = QDir(programFolder).filePath(folder);
    return QDir(folder).filePath(QString::fromUtf16(DatabaseFileName));
}
