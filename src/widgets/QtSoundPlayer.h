#pragma once

#include "data/SoundPlayer.h"

#include <QObject>
#include <memory>

class QSoundEffect;

// Plays WAV files through the sound system without waiting. A file that cannot be played, or a
// machine without a sound device, gives the desktop's beep instead; nothing blocks or fails.
class QtSoundPlayer final : public QObject, public SoundPlayer
{
    Q_OBJECT

public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    ~QtSoundPlayer() override;
    void play(const QString &path) override;

private:
    void onStatusChanged();

    std::unique_ptr<QSoundEffect> m_effect;
    QString m_loadedPath;
    bool m_playWhenLoaded = false;
};
