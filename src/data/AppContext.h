#pragma once

#include "AppPaths.h"
#include "Settings.h"

class Clock;
class Messenger;
class Notifier;
class SoundPlayer;

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

    // Seconds without user activity; every user event in every window sets it to 0.
    qint16 IdleCount = 0;
};
