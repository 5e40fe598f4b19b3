#include "platform/win32/win_notify_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "platform/win32/text.h"

namespace tess::win32 {

namespace {
template <size_t N>
void CopyCut(wchar_t (&field)[N], const std::string& text) {
  const std::wstring wide = Widen(text);
  const size_t n = std::min(wide.size(), N - 1);
  std::wmemcpy(field, wide.data(), n);
  field[n] = L'\0';
}
}  // namespace

bool WinNotifyIcon::Send(NotifyCommand command, const NotifyIconRecord& record) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = record.id;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callback_message;
  if ((record.flags & kNifIcon) != 0) data.hIcon = icon_;
  if ((record.flags & kNifTip) != 0) CopyCut(data.szTip, record.tip);
  if ((record.flags & kNifInfo) != 0) {
    CopyCut(data.szInfo, record.info);
    CopyCut(data.szInfoTitle, record.info_title);
    data.uTimeout = record.timeout_ms;
    data.dwInfoFlags = NIIF_NONE;
  }
  DWORD message = NIM_MODIFY;
  if (command == NotifyCommand::kAdd) message = NIM_ADD;
  if (command == NotifyCommand::kDelete) message = NIM_DELETE;
  return Shell_NotifyIconW(message, &data) != FALSE;
}

}  // namespace tess::win32
