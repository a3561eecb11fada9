// What the program asks of the X server where Qt has no call for it.
#pragma once

#include <optional>

// Every call answers with what it can tell where the program does not run on X11, or was built
// without libxcb: the caller then does without.
namespace X11 {

// Whether the left pointer button is held now, as the X server has it: even while the window
// manager holds the pointer for a move, when the program sees none of it. Nothing where the
// server cannot be asked.
std::optional<bool> leftButtonHeld();

// Whether a compositing manager draws the desktop's first X screen (the desktop, however many
// monitors it spans). False where the server cannot be asked.
bool compositorRuns();

} // namespace X11
