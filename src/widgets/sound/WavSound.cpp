#include "widgets/sound/WavSound.h"

#include <QApplication>
#include <QSoundEffect>
#include <QUrl>

// What QtSoundPlayer looks up after loading the module.
extern "C" Q_DECL_EXPORT SoundPlayer *quillomar_new_sound_player()
{
    return new WavSound;
}

WavSound::WavSound() = default;

WavSound::~WavSound() = default;

void WavSound::play(const QString &path)
{
    if (!m_effect || m_loadedPath != path) {
        m_effect = std::make_unique<QSoundEffect>();
        connect(m_effect.get(), &QSoundEffect::statusChanged, this, &WavSound::onStatusChanged);
        m_loadedPath = path;
        m_playWhenLoaded = true;
        m_effect->setSource(QUrl::fromLocalFile(path));
        return;
    }
    switch (m_effect->status()) {
    case QSoundEffect::Ready:
        m_effect->play();
        break;
    case QSoundEffect::Loading:
        m_playWhenLoaded = true;
        break;
    default:
        QApplication::beep();
    }
}

void WavSound::onStatusChanged()
{
    if (m_effect->status() == QSoundEffect::Ready && m_playWhenLoaded) {
        m_playWhenLoaded = false;
        m_effect->play();
    } else if (m_effect->status() == QSoundEffect::Error) {
        m_playWhenLoaded = false;
        QApplication::beep();
    }
}
