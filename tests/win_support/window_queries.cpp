#include "win_support/window_queries.h"

#include <commctrl.h>

#include <thread>

#include "win_support/remote_memory.h"

namespace tess::test {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                   std::chrono::milliseconds timeout) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG,
                           static_cast<UINT>(timeout.count()), &result)) {
    return 0;
  }
  return static_cast<LRESULT>(result);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

DWORD ProcessOf(HWND window) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  return process_id;
}

std::wstring TextOf(HWND window) {
  if (window == nullptr) return L"";
  const auto length = static_cast<size_t>(SendWithin(window, WM_GETTEXTLENGTH));
  std::wstring text(length + 1, L'\0');
  const auto got = static_cast<size_t>(
      SendWithin(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(got < text.size() ? got : 0);
  return text;
}

std::wstring KeptTextOf(HWND window) {
  wchar_t text[1024] = {};
  const int length = GetWindowTextW(window, text, 1024);
  return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  if (parent != nullptr) EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND FindTopLevel(DWORD process_id, const std::function<bool(HWND)>& match) {
  for (const HWND window : TopLevelWindows()) {
    if (ProcessOf(window) == process_id && IsWindowVisible(window) && match(window)) return window;
  }
  return nullptr;
}

HWND ChildOfClass(HWND parent, const wchar_t* class_name) {
  for (const HWND child : ChildrenOf(parent)) {
    if (ClassOf(child) == class_name) return child;
  }
  return nullptr;
}

bool ShowsIcon(HWND box) {
  for (const HWND child : ChildrenOf(box)) {
    if (ClassOf(child) == L"Static" &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
        SendWithin(child, STM_GETICON) != 0) {
      return true;
    }
  }
  return false;
}

int ListCount(HWND list) { return static_cast<int>(SendWithin(list, LVM_GETITEMCOUNT)); }

std::wstring ListItemText(HWND list, int index) {
  const RemoteRecord<LVITEMW> remote(ProcessOf(list));
  if (!remote.Valid()) return L"";
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = remote.TextBuffer();
  item.cchTextMax = remote.kTextChars;
  SendWithin(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), remote.Put(item));
  return remote.Text();
}

std::vector<std::wstring> ListItems(HWND list) {
  std::vector<std::wstring> items;
  const int count = ListCount(list);
  for (int i = 0; i < count; ++i) items.push_back(ListItemText(list, i));
  return items;
}

std::wstring ListColumnText(HWND list, int* width_pixels) {
  const RemoteRecord<LVCOLUMNW> remote(ProcessOf(list));
  if (!remote.Valid()) return L"";
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = remote.TextBuffer();
  column.cchTextMax = remote.kTextChars;
  if (!SendWithin(list, LVM_GETCOLUMNW, 0, remote.Put(column))) return L"";
  if (width_pixels != nullptr) *width_pixels = remote.Get().cx;
  return remote.Text();
}

int ListSelection(HWND list) {
  return static_cast<int>(
      SendWithin(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectListItem(HWND list, int index) {
  const RemoteRecord<LVITEMW> remote(ProcessOf(list));
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendWithin(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), remote.Put(item));
}

POINT ListItemCentre(HWND list, int index) {
  const RemoteRecord<RECT> remote(ProcessOf(list));
  RECT rect = {};
  rect.left = LVIR_BOUNDS;
  SendWithin(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), remote.Put(rect));
  rect = remote.Get();
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::vector<ToolSeen> ToolsOf(DWORD process_id, const std::function<bool(HWND tooltip)>& pick) {
  std::vector<ToolSeen> tools;
  const RemoteRecord<TOOLINFOW> remote(process_id);
  if (!remote.Valid()) return tools;
  for (const HWND tooltip : TopLevelWindows()) {
    if (ProcessOf(tooltip) != process_id || ClassOf(tooltip) != TOOLTIPS_CLASSW) continue;
    if (pick && !pick(tooltip)) continue;
    const int count = static_cast<int>(SendWithin(tooltip, TTM_GETTOOLCOUNT));
    for (int i = 0; i < count; ++i) {
      TOOLINFOW info = {};
      info.cbSize = sizeof(info);
      info.lpszText = remote.TextBuffer();
      if (!SendWithin(tooltip, TTM_ENUMTOOLSW, i, remote.Put(info))) continue;
      tools.push_back({remote.Get(), remote.Text()});
    }
  }
  return tools;
}

}  // namespace tess::test
