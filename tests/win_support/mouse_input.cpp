#include "win_support/mouse_input.h"

#include <chrono>
#include <string>

#include "win_support/linux_side.h"

namespace tess::test {
namespace {

bool Xdotool(const std::string& arguments) {
  const auto result = RunLinuxShell("xdotool " + arguments);
  return result && result->exit_code == 0;
}

bool Send(DWORD flags, LONG x = 0, LONG y = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = x;
  input.mi.dy = y;
  input.mi.dwFlags = flags;
  return SendInput(1, &input, sizeof(input)) == 1;
}

}  // namespace

POINT OnScreen(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}

bool MoveMouseTo(POINT screen) {
  if (UnderWine()) {
    return Xdotool("mousemove --sync " + std::to_string(screen.x) + " " + std::to_string(screen.y));
  }
  // Absolute input counts in 65536ths of the primary screen.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  return Send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MulDiv(screen.x, 65536, width) + 1,
              MulDiv(screen.y, 65536, height) + 1);
}

bool PressLeftButton() { return UnderWine() ? Xdotool("mousedown 1") : Send(MOUSEEVENTF_LEFTDOWN); }

bool ReleaseLeftButton() { return UnderWine() ? Xdotool("mouseup 1") : Send(MOUSEEVENTF_LEFTUP); }

HCURSOR PointerShown() {
  CURSORINFO info = {};
  info.cbSize = sizeof(info);
  return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

HCURSOR SteadyPointer() {
  using Clock = std::chrono::steady_clock;
  const auto give_up = Clock::now() + std::chrono::seconds(3);
  HCURSOR shown = PointerShown();
  auto since = Clock::now();
  while (Clock::now() < give_up) {
    Sleep(20);
    const HCURSOR now = PointerShown();
    if (now != shown) {
      shown = now;
      since = Clock::now();
    } else if (Clock::now() - since >= std::chrono::milliseconds(250)) {
      break;
    }
  }
  return shown;
}

}  // namespace tess::test
