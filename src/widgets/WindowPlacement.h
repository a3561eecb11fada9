#pragma once

class QWidget;

namespace WindowPlacement {

// Brings a top-level window back onto its screen: past the bottom or right edge it is moved to
// touch that edge, past the top or left edge to 0. A window larger than the screen ends with its
// top-left corner on the screen's.
void keepOnScreen(QWidget &window);

// Whether the window is in its normal state (neither minimised, maximised nor full screen): only
// then are its place and size the user's to keep.
bool isNormal(const QWidget &window);

// Whether a compositing manager draws the desktop, so that what a translucent window leaves
// unpainted shows what lies behind it. Always so on Wayland; on X11, asked of the X server.
bool desktopComposites();

} // namespace WindowPlacement
