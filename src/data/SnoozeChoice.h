#pragma once

#include <QString>

struct AppPaths;

// The minutes the user last put an alarm off by, kept among the program's own preferences (an ini
// file beside the settings file, which keeps its nine lines) so that the alarm windows offer
// them again.
namespace SnoozeChoice {

// The minutes last chosen; fallback when none was kept.
int read(const AppPaths &paths, int fallback);
void write(const AppPaths &paths, int minutes);

} // namespace SnoozeChoice
