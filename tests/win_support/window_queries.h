// Questions about the windows of any process, asked from outside as a screen reader would:
// which windows a process shows, their class, texts and children, what a list view holds and
// which entry is selected, what its tooltips say, and waiting until any of it comes true.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tess::test {

// Polls until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Sends a message and waits at most the given time for the answer; 0 when none came, so a
// hung program fails a test instead of hanging it.
LRESULT SendWithin(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5));

std::wstring ClassOf(HWND window);
DWORD ProcessOf(HWND window);
// The window's text as the window itself answers WM_GETTEXT, whatever its length.
std::wstring TextOf(HWND window);
// The text the system keeps for the window, read without a message to it, so a program busy
// with work is read all the same.
std::wstring KeptTextOf(HWND window);

std::vector<HWND> TopLevelWindows();
std::vector<HWND> ChildrenOf(HWND parent);
// The first visible top-level window of the process that matches; nullptr when none does.
HWND FindTopLevel(DWORD process_id, const std::function<bool(HWND)>& match);
// The first child (at any depth) of the class; nullptr when there is none.
HWND ChildOfClass(HWND parent, const wchar_t* class_name);
// Whether a message box shows an icon. A box without one may still hold an empty, hidden icon
// control.
bool ShowsIcon(HWND box);

// List views of any process. Indexes are 0-based.
int ListCount(HWND list);
std::wstring ListItemText(HWND list, int index);
std::vector<std::wstring> ListItems(HWND list);
// The first column's heading, and its width when asked for.
std::wstring ListColumnText(HWND list, int* width_pixels = nullptr);
// The selected entry; -1 when nothing is selected.
int ListSelection(HWND list);
void SelectListItem(HWND list, int index);
// The centre of an entry in the list's client coordinates.
POINT ListItemCentre(HWND list, int index);

// One tool of a tooltip window: its record as the tooltip keeps it, and its text.
struct ToolSeen {
  TOOLINFOW info = {};
  std::wstring text;
};
// The tools of the process's tooltip windows that `pick` accepts (every one without it).
std::vector<ToolSeen> ToolsOf(DWORD process_id,
                              const std::function<bool(HWND tooltip)>& pick = nullptr);

}  // namespace tess::test
