// Dots per inch of a window and the conversion of the design's twips to pixels at that
// density, with the newer per-monitor functions used only where the system has them.
#pragma once

#include <windows.h>

namespace tess::view {

inline constexpr int kTwipsPerInch = 1440;

// Twips (1/1440 inch) to pixels, rounded to the nearest pixel.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, kTwipsPerInch); }

// Asks for per-monitor DPI awareness when the system offers it (before any window exists).
void EnablePerMonitorDpiAwareness();
// The window's DPI, or the screen's logical DPI on systems without per-window DPI.
int DpiForWindow(HWND window);
// The outer size of a window with the given style whose client area is client_width x
// client_height pixels at dpi.
SIZE WindowSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style, int dpi);

}  // namespace tess::view
