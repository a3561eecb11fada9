#pragma once

#include "data/SoundPlayer.h"

#include <QString>
#include <memory>

class QLibrary;

// Plays WAV files through the sound system without waiting. The sound system (Qt Multimedia and
// the libraries under it) is loaded at the first sound, from the module beside the executable or
// in the installed library folder, not at start. A file that cannot be played, a missing module
// or a machine without a sound device gives the desktop's beep instead; nothing blocks or fails.
class QtSoundPlayer final : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(const QString &path) override;

    // Where the module is looked for, relative to the executable's folder.
    static QStringList moduleFiles();

private:
    std::unique_ptr<QLibrary> m_module;
    std::unique_ptr<SoundPlayer> m_player; // made by the module
    bool m_tried = false;
};
