#pragma once

#include <thread>

// Reads the desktop's font configuration on a thread of its own while the program connects to
// the window system, so that the first text the program lays out finds it read.
//
// The font system reads its configuration (dozens of files, and its cache of every installed
// font) the first time any program asks it anything: on this kind of machine, a good part of
// what a start costs before the first window is painted. Qt asks it only once the application
// object exists, on the main thread; started before that object is made, the reading overlaps
// with the connection to the window system on another processor.
class FontWarmup final
{
public:
    // Starts reading, unless QUILLOMAR_FONT_WARMUP is "0" (to measure a start without it).
    FontWarmup();
    // Waits for the reading: call it before the first text is laid out, so that the font system
    // is not read a second time on the main thread meanwhile.
    void wait();
    ~FontWarmup();

    FontWarmup(const FontWarmup &) = delete;
    FontWarmup &operator=(const FontWarmup &) = delete;

private:
    std::thread m_reading;
};
