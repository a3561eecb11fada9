#pragma once

#include "data/SoundPlayer.h"

#include <QObject>
#include <memory>

class QSoundEffect;

// Plays WAV files through Qt Multimedia without waiting. It lives in a module of its own that
// QtSoundPlayer loads at the first sound, so the program starts without the sound system's
// libraries. A file that cannot be played gives the desktop's beep instead.
class WavSound final : public QObject, public SoundPlayer
{
    Q_OBJECT

public:
    WavSound();
    ~WavSound() override;
    void play(const QString &path) override;

private:
    void onStatusChanged();

    std::unique_ptr<QSoundEffect> m_effect;
    QString m_loadedPath;
    bool m_playWhenLoaded = false;
};
