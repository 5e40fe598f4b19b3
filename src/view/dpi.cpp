#include "view/dpi.h"

namespace tess::view {

namespace {
template <typename Fn>
Fn User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}
}  // namespace

void EnablePerMonitorDpiAwareness() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  if (const auto set_context = User32Function<SetContextFn>("SetProcessDpiAwarenessContext")) {
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, spelled out for older SDK headers.
    if (set_context(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)))) return;
  }
  using SetAwareFn = BOOL(WINAPI*)();
  if (const auto set_aware = User32Function<SetAwareFn>("SetProcessDPIAware")) set_aware();
}

int DpiForWindow(HWND window) {
  using GetDpiFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = User32Function<GetDpiFn>("GetDpiForWindow");
  if (get_dpi != nullptr && window != nullptr) {
    const UINT dpi = get_dpi(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

SIZE WindowSizeForClient(int client_width, int client_height, DWORD style, DWORD ex_style,
                         int dpi) {
  RECT rect{0, 0, client_width, client_height};
  using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust_for_dpi = User32Function<AdjustFn>("AdjustWindowRectExForDpi");
  if (adjust_for_dpi == nullptr ||
      !adjust_for_dpi(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    rect = RECT{0, 0, client_width, client_height};
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace tess::view
