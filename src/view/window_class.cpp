#include "view/window_class.h"

#include "resource_ids.h"
#include "view/control_ids.h"

namespace tess::view {

void RegisterMainWindowClass(HINSTANCE instance, HICON large_icon, HICON small_icon, WNDPROC proc) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = proc;
  window_class.hInstance = instance;
  window_class.hIcon = large_icon;
  window_class.hIconSm = small_icon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kMainWindowClass;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
}

HICON LoadAppIcon(HINSTANCE instance, int metric_x, int metric_y, int resource) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                       GetSystemMetrics(metric_x), GetSystemMetrics(metric_y),
                                       LR_SHARED));
}

void LetTheShellThrough(HWND window, UINT message) {
  using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto filter = reinterpret_cast<FilterFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
  if (filter != nullptr) filter(window, message, MSGFLT_ALLOW, nullptr);
}

}  // namespace tess::view
