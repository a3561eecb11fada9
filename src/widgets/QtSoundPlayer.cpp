#include "widgets/QtSoundPlayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

QtSoundPlayer::QtSoundPlayer() = default;

// The player goes before the module its code is in, which stays loaded until the process ends.
QtSoundPlayer::~QtSoundPlayer() = default;

QStringList QtSoundPlayer::moduleFiles()
{
    const QDir folder(QCoreApplication::applicationDirPath());
    return {folder.filePath(QStringLiteral(QUILLOMAR_SOUND_MODULE)),
            folder.filePath(QStringLiteral(QUILLOMAR_INSTALLED_SOUND_MODULE))};
}

void QtSoundPlayer::play(const QString &path)
{
    if (!m_tried) {
        m_tried = true;
        using Make = SoundPlayer *(*)();
        for (const QString &file : moduleFiles()) {
            if (!QFileInfo::exists(file))
                continue;
            auto module = std::make_unique<QLibrary>(file);
            if (auto make = reinterpret_cast<Make>(module->resolve("quillomar_new_sound_player"))) {
                m_player.reset(make());
                m_module = std::move(module);
                break;
            }
        }
    }
    if (!m_player || !QFileInfo::exists(path)) {
        QApplication::beep();
        return;
    }
    m_player->play(path);
}
