// The notification area of the desktop's shell, seen from outside: whether it holds a window's
// icon, and the icons it shows with their tips, places and pictures, read from the shell's own
// tooltips as a screen reader would. Also what a restarting shell does: lose an icon, then tell
// every program that it has started anew.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tess::test {

// Whether the shell holds the icon (id 0) of the window: a change of nothing succeeds only for
// an icon the shell has.
bool TrayHasIcon(HWND owner);
// Takes the window's icon out of the shell, as a shell that restarts loses every icon.
bool DropTrayIcon(HWND owner);
// Tells every top-level window that the shell has started anew ("TaskbarCreated").
void AnnounceShellStarted();

// One icon as the shell shows it.
struct TrayIconSeen {
  std::wstring tip;
  HWND shell_window = nullptr;  // the shell's window the icon is drawn in
  RECT place = {};              // in that window's client coordinates
};
std::vector<TrayIconSeen> TrayIconsShown();
// The program's tip, its lines joined with "|"; "" while the program shows no icon.
std::wstring ProgramTrayTip();
// How many distinct colours the icon's place shows on screen: 1 when it has no picture.
int ColoursOf(const TrayIconSeen& icon);
// A left click on the icon, as the shell receives it from the mouse.
void ClickTrayIcon(const TrayIconSeen& icon);

}  // namespace tess::test
