// The notification-area icon through Shell_NotifyIconW, for one callback window and icon.
#pragma once

#include <windows.h>

#include "platform/notify_icon.h"

namespace tess::win32 {

class WinNotifyIcon : public NotifyIcon {
 public:
  WinNotifyIcon(HWND window, HICON icon) : window_(window), icon_(icon) {}
  void SetWindow(HWND window) { window_ = window; }
  bool Send(NotifyCommand command, const NotifyIconRecord& record) override;

 private:
  HWND window_;
  HICON icon_;
};

}  // namespace tess::win32
