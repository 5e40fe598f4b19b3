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

#include "ports/notify_icon.h"

namespace tess::win32 {

// The message the shell sends to the callback window: wParam the icon id, lParam what happened.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 101;

// The notification carried in the callback's lParam; empty for one the program ignores.
std::optional<TrayEvent> TrayEventFrom(LPARAM notification);

// A picture's handle as the shell takes it: the icon, or none for any other kind of picture.
HICON IconOf(const Picture& picture);
Picture PictureOf(HICON icon);

class WinNotifyIcon : public NotifyIcon {
 public:
  // Hands one record to the shell (Shell_NotifyIconW, or a recorder in tests).
  using Sender = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;

  // program_icon: the icon the tray shows by design, and warning_icon its warning variant;
  // shared and never destroyed here.
  WinNotifyIcon(HWND window, HICON program_icon, HICON warning_icon = nullptr,
                Sender send = Shell_NotifyIconW)
      : window_(window),
        program_icon_(program_icon),
        warning_icon_(warning_icon),
        send_(std::move(send)) {}
  void SetWindow(HWND window) { window_ = window; }

  Picture ProgramIcon() override;
  Picture WarningIcon() override;
  bool Add(const std::string& tip, const Picture& picture) override;
  void Remove() override;
  void SetTip(const std::string& tip) override;
  void SetPicture(const Picture& picture) override;
  void ShowBalloon(const std::string& title, const std::string& text, unsigned timeout_ms) override;

 private:
  // A fresh record for the program's one icon: every field zero but size, window and id.
  NOTIFYICONDATAW Record() const;
  HWND window_;
  HICON program_icon_;
  HICON warning_icon_;
  Sender send_;
};

}  // namespace tess::win32
