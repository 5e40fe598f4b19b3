// The notification-area icon through Shell_NotifyIconW, for one callback window and icon, and
// the shell's notifications about it translated into the program's terms.
#pragma once

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <functional>
#include <optional>

#include "platform/notify_icon.h"

namespace tess::win32 {

// The message the shell sends to the callback window: wParam the icon id, lParam what happened.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 101;

// The notification carried in the callback's lParam; empty for one the program ignores.
std::optional<TrayEvent> TrayEventFrom(LPARAM notification);

class WinNotifyIcon : public NotifyIcon {
 public:
  // Hands one record to the shell (Shell_NotifyIconW, or a recorder in tests).
  using Sender = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;

  WinNotifyIcon(HWND window, HICON icon, Sender send = Shell_NotifyIconW)
      : window_(window), icon_(icon), send_(std::move(send)) {}
  void SetWindow(HWND window) { window_ = window; }

  void Add(const std::string& tip) override;
  void Remove() override;
  void SetTip(const std::string& tip) override;
  void ShowBalloon(const std::string& title, const std::string& text, unsigned timeout_ms) override;

 private:
  // A fresh record for the program's one icon: every field zero but size, window and id.
  NOTIFYICONDATAW Record() const;
  HWND window_;
  HICON icon_;
  Sender send_;
};

}  // namespace tess::win32
