#pragma once

#include "AppPaths.h"
#include "Settings.h"

class Clock;
class Keyring;
class Messenger;
class Notifier;
class SoundPlayer;
class SyncRunner;

// What every window of the program shares: the settings held for the whole run, the paths,
// the seconds without user activity, and the outside world (clock, message boxes, sound, notifications).
struct AppContext
{
    Settings settings;
    AppPaths paths;
    Clock *clock = nullptr;
    Messenger *messenger = nullptr;
    SoundPlayer *sound = nullptr;
    Notifier *notifier = nullptr; // the desktop's notifications; none in a session without them
    Keyring *keyring = nullptr; // the desktop's keyring, where the sync password is kept
    SyncRunner *sync = nullptr; // the passes with the sync server; none where the program does not sync
    // The sync password for this run, typed or read from the keyring; never written to a file.
    QString syncPassword;

    // Seconds without user activity; every user event in every window sets it to 0.
    qint16 IdleCount = 0;
};
