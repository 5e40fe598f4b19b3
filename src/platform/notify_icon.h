// The notification-area (tray) icon, as the shell's record.
#pragma once

#include <string>

namespace tess {

inline constexpr unsigned kNifMessage = 1;
inline constexpr unsigned kNifIcon = 2;
inline constexpr unsigned kNifTip = 4;
inline constexpr unsigned kNifInfo = 16;
inline constexpr unsigned kTrayCallbackMessage = 1125;  // WM_USER + 101

enum class NotifyCommand { kAdd = 0, kModify = 1, kDelete = 2 };

struct NotifyIconRecord {
  unsigned id = 0;
  unsigned flags = 0;
  unsigned callback_message = 0;
  bool with_icon = false;  // the application icon
  std::string tip;         // at most 127 characters reach the shell
  std::string info;        // balloon text, at most 255
  std::string info_title;  // at most 63
  unsigned timeout_ms = 0;
};

class NotifyIcon {
 public:
  virtual ~NotifyIcon() = default;
  // Sends one command to the shell; the result is the shell's own.
  virtual bool Send(NotifyCommand command, const NotifyIconRecord& record) = 0;
};

}  // namespace tess
