#include "AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

AppPaths AppPaths::forProgramFolder(const QString &programFolder)
{
    AppPaths paths;
    paths.programFolder = QDir::toNativeSeparators(QDir::cleanPath(programFolder));
    paths.soundFile = findSoundFile(programFolder);
    if (QFileInfo(programFolder).isWritable()) {
        paths.settingsFile = QDir(programFolder).filePath(QStringLiteral("quillomar.cfg"));
        paths.defaultDataFolder = paths.programFolder;
    } else {
        const QString config = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                                   .filePath(QStringLiteral("quillomar"));
        const QString data = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                 .filePath(QStringLiteral("quillomar"));
        QDir().mkpath(config);
        QDir().mkpath(data);
        paths.settingsFile = QDir(config).filePath(QStringLiteral("quillomar.cfg"));
        paths.defaultDataFolder = QDir::toNativeSeparators(data);
    }
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    paths.lockFile = QDir(runtime).filePath(QStringLiteral("quillomar-%1.lock").arg(getuid()));
    return paths;
}

QString AppPaths::findSoundFile(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("tiempo.wav"));
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../share/quillomar/tiempo.wav")));
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
