// Where the main window goes in its monitor's work area: centred when it fits, else from the
// area's top-left corner, and never wider than the area, so its whole caption bar (the title
// and the minimise and close buttons) stays on the screen at any DPI.
#pragma once

#include <windows.h>

namespace tess::view {

// The window's rectangle for a window of the given outer size in the given work area.
RECT PlaceInWorkArea(SIZE window, const RECT& work);

}  // namespace tess::view
