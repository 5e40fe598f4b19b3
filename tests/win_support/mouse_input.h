// Real mouse input for the end-to-end tests: under Wine xdotool moves the X pointer of the Xvfb
// display and presses its buttons, so the program gets what a user's mouse would give it (the
// press, the capture, the moves, the release); on Windows SendInput does the same. Also the
// pointer the system shows, as any program may ask for it.
#pragma once

#include <windows.h>

namespace tess::test {

// A point of a window's client area on the screen.
POINT OnScreen(HWND window, POINT client);

// Each returns once the input has reached the system; false when it could not be given.
bool MoveMouseTo(POINT screen);
bool PressLeftButton();
bool ReleaseLeftButton();

// The pointer the system shows now, whichever program set it; nullptr when it cannot be read.
HCURSOR PointerShown();
// The pointer shown once it has stayed the same for a moment, so the program has caught up
// with the mouse's last move.
HCURSOR SteadyPointer();

}  // namespace tess::test
