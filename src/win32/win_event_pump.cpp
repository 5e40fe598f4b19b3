#include "win32/win_event_pump.h"

namespace tess::win32 {

namespace {
// A queue that never empties (a window that keeps invalidating itself, a flood of posted
// messages) must not keep the caller's long work from going on.
constexpr DWORD kMaxPumpMilliseconds = 100;
}  // namespace

void DispatchWindowMessage(MSG& msg) {
  if (msg.hwnd != nullptr) {
    const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root != nullptr && IsDialogMessageW(root, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void WinEventPump::ProcessPendingEvents() {
  const DWORD start = GetTickCount();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchWindowMessage(msg);
    if (GetTickCount() - start > kMaxPumpMilliseconds) return;
  }
}

void WinEventPump::WaitForEvents(int max_milliseconds) {
  if (max_milliseconds <= 0) return;
  MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(max_milliseconds), QS_ALLINPUT,
                              MWMO_INPUTAVAILABLE);
}

}  // namespace tess::win32
