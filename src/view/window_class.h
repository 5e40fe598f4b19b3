// What the main window needs from the system before it exists: its window class, the program's
// icons, and leave for the shell's messages to reach it.
#pragma once

#include <windows.h>

namespace tess::view {

void RegisterMainWindowClass(HINSTANCE instance, HICON large_icon, HICON small_icon, WNDPROC proc);
// The program's icon (or another icon resource of the program, such as its warning variant) at
// the size the given system metrics ask for; shared, never destroyed.
HICON LoadAppIcon(HINSTANCE instance, int metric_x, int metric_y, int resource = 1);
// A program that runs with more rights than the shell hears from it only what it lets through;
// the filter exists only on systems that have the rights levels.
void LetTheShellThrough(HWND window, UINT message);

}  // namespace tess::view
