#include "win_support/notification_area.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <set>

#include "win_support/window_queries.h"

namespace tess::test {

namespace {
constexpr wchar_t kTaskbarClass[] = L"Shell_TrayWnd";

NOTIFYICONDATAW RecordFor(HWND owner) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = owner;
  data.uID = 0;
  return data;
}

// The icon a tool of the shell's tooltips stands for: a tool names either a place in the
// taskbar (Wine 8 draws every icon there) or a window of the icon's own (later Wine).
TrayIconSeen IconOf(const TOOLINFOW& tool, const std::wstring& tip) {
  TrayIconSeen icon;
  icon.tip = tip;
  if ((tool.uFlags & TTF_IDISHWND) != 0) {
    icon.shell_window = reinterpret_cast<HWND>(tool.uId);
    GetClientRect(icon.shell_window, &icon.place);
  } else {
    icon.shell_window = tool.hwnd;
    icon.place = tool.rect;
  }
  return icon;
}
}  // namespace

bool TrayHasIcon(HWND owner) {
  NOTIFYICONDATAW data = RecordFor(owner);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool DropTrayIcon(HWND owner) {
  NOTIFYICONDATAW data = RecordFor(owner);
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

void AnnounceShellStarted() {
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
}

std::vector<TrayIconSeen> TrayIconsShown() {
  std::vector<TrayIconSeen> icons;
  const HWND taskbar = FindWindowW(kTaskbarClass, nullptr);
  if (taskbar == nullptr) return icons;
  const auto the_taskbars = [taskbar](HWND tooltip) {
    const HWND owner = GetWindow(tooltip, GW_OWNER);
    return owner == taskbar || GetAncestor(owner, GA_PARENT) == taskbar;
  };
  for (const ToolSeen& tool : ToolsOf(ProcessOf(taskbar), the_taskbars)) {
    // A tool whose place is empty stands for an icon taken out of the tray.
    const TrayIconSeen icon = IconOf(tool.info, tool.text);
    if (!IsRectEmpty(&icon.place)) icons.push_back(icon);
  }
  return icons;
}

std::wstring ProgramTrayTip() {
  for (const TrayIconSeen& icon : TrayIconsShown()) {
    if (icon.tip.rfind(L"Tessaline", 0) != 0) continue;
    std::wstring tip;
    for (const wchar_t c : icon.tip) {
      if (c == L'\r') continue;
      tip += c == L'\n' ? L'|' : c;
    }
    return tip;
  }
  return L"";
}

int ColoursOf(const TrayIconSeen& icon) {
  RECT place = icon.place;
  MapWindowPoints(icon.shell_window, nullptr, reinterpret_cast<POINT*>(&place), 2);
  const HDC screen = GetDC(nullptr);
  std::set<COLORREF> colours;
  for (int y = place.top; y < place.bottom; ++y) {
    for (int x = place.left; x < place.right; ++x) colours.insert(GetPixel(screen, x, y));
  }
  ReleaseDC(nullptr, screen);
  return static_cast<int>(colours.size());
}

void ClickTrayIcon(const TrayIconSeen& icon) {
  const LPARAM centre = MAKELPARAM((icon.place.left + icon.place.right) / 2,
                                   (icon.place.top + icon.place.bottom) / 2);
  PostMessageW(icon.shell_window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  PostMessageW(icon.shell_window, WM_LBUTTONUP, 0, centre);
}

}  // namespace tess::test
