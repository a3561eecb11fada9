// Times, from outside, how long a program takes to put its pixels on an X screen:
//
//   quillomar_paint_watch start X Y W H -- COMMAND [ARGS...]
//       starts COMMAND and prints the milliseconds until the rectangle X,Y,W,H of the screen first
//       shows what it shows once it has settled, then COMMAND's process id (left running);
//   quillomar_paint_watch click CX CY X Y W H
//       clicks at CX,CY (through the XTEST extension, as a pointer would) and prints the
//       milliseconds until the rectangle first shows what it shows once settled.
//
// The rectangle is read every few milliseconds, one pixel row in eight, straight from the X server
// (with a compositor, that is what the compositor drew). The screen has settled when the rectangle
// has not changed for SETTLE_MS (600) after its first change, or after 8 s. A benchmark's tool,
// never a test.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One reading of the rectangle: a hash of every ROW_STEP-th row (8 unless told).
uint64_t readRect(Display *display, Window root, int x, int y, int w, int h)
{
    static const int step = std::getenv("ROW_STEP") ? std::max(1, std::atoi(std::getenv("ROW_STEP"))) : 8;
    uint64_t hash = 1469598103934665603ULL;
    for (int row = y; row < y + h; row += step) {
        XImage *image = XGetImage(display, root, x, row, unsigned(w), 1, AllPlanes, ZPixmap);
        if (!image)
            continue;
        const auto *bytes = reinterpret_cast<const unsigned char *>(image->data);
        const int length = image->bytes_per_line;
        for (int i = 0; i < length; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ULL;
        XDestroyImage(image);
    }
    return hash;
}

// The time of the first reading equal to the settled one, in ms since start; -1 if it never
// settled on anything but what was there at the start.
double watch(Display *display, Window root, int x, int y, int w, int h, Clock::time_point start, uint64_t before)
{
    const char *settleText = std::getenv("SETTLE_MS");
    const double settle = settleText ? std::atof(settleText) : 600;
    struct Reading
    {
        double at;
        uint64_t hash;
    };
    std::vector<Reading> readings;
    double lastChange = -1;
    uint64_t last = before;
    while (true) {
        const uint64_t hash = readRect(display, root, x, y, w, h);
        const double at = msSince(start);
        readings.push_back({at, hash});
        if (hash != last) {
            lastChange = at;
            last = hash;
        }
        if ((lastChange >= 0 && at - lastChange > settle) || at > 8000)
            break;
        usleep(1000);
    }
    if (lastChange < 0)
        return -1;
    for (const Reading &reading : readings)
        if (reading.hash == last)
            return reading.at;
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    Display *display = XOpenDisplay(nullptr);
    if (!display || argc < 2) {
        std::fprintf(stderr, "usage: %s start X Y W H -- COMMAND... | click CX CY X Y W H\n", argv[0]);
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    if (std::strcmp(argv[1], "start") == 0 && argc > 7) {
        const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]), h = std::atoi(argv[5]);
        const uint64_t before = readRect(display, root, x, y, w, h);
        const Clock::time_point start = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execvp(argv[7], argv + 7);
            _exit(127);
        }
        const double painted = watch(display, root, x, y, w, h, start, before);
        std::printf("%.2f %d\n", painted, int(child));
        return painted < 0 ? 1 : 0;
    }
    if (std::strcmp(argv[1], "click") == 0 && argc > 7) {
        // libXtst is there wherever the X server is; its headers need not be.
        void *xtst = dlopen("libXtst.so.6", RTLD_NOW);
        using Motion = int (*)(Display *, int, int, int, unsigned long);
        using Button = int (*)(Display *, unsigned int, Bool, unsigned long);
        auto motion = xtst ? reinterpret_cast<Motion>(dlsym(xtst, "XTestFakeMotionEvent")) : nullptr;
        auto button = xtst ? reinterpret_cast<Button>(dlsym(xtst, "XTestFakeButtonEvent")) : nullptr;
        if (!motion || !button) {
            std::fprintf(stderr, "no XTEST\n");
            return 2;
        }
        const int cx = std::atoi(argv[2]), cy = std::atoi(argv[3]);
        const int x = std::atoi(argv[4]), y = std::atoi(argv[5]), w = std::atoi(argv[6]), h = std::atoi(argv[7]);
        motion(display, -1, cx, cy, 0);
        XSync(display, False);
        usleep(300000); // what the pointer's arrival changes (a hover) is over before the click
        const uint64_t before = readRect(display, root, x, y, w, h);
        const Clock::time_point start = Clock::now();
        button(display, 1, True, 0);
        button(display, 1, False, 0);
        XSync(display, False);
        const double shown = watch(display, root, x, y, w, h, start, before);
        std::printf("%.2f\n", shown);
        return shown < 0 ? 1 : 0;
    }
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
