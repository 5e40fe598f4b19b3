#include "win32/win_notify_icon.h"

#include <algorithm>
#include <cwchar>

#include "win32/text.h"

namespace tess::win32 {

namespace {
constexpr UINT kIconId = 0;

// The shell's fixed-size text fields take what fits and stay terminated.
template <size_t N>
void CopyCut(wchar_t (&field)[N], const std::string& text) {
  const std::wstring wide = Widen(text);
  const size_t n = std::min(wide.size(), N - 1);
  std::wmemcpy(field, wide.data(), n);
  field[n] = L'\0';
}
}  // namespace

std::optional<TrayEvent> TrayEventFrom(LPARAM notification) {
  switch (notification) {
    case WM_MOUSEMOVE:
      return TrayEvent::kMouseMove;
    case WM_LBUTTONDOWN:
      return TrayEvent::kLeftButtonDown;
    case WM_LBUTTONUP:
      return TrayEvent::kLeftButtonUp;
    case WM_LBUTTONDBLCLK:
      return TrayEvent::kLeftDoubleClick;
    case WM_RBUTTONDOWN:
      return TrayEvent::kRightButtonDown;
    case WM_RBUTTONUP:
      return TrayEvent::kRightButtonUp;
    case WM_RBUTTONDBLCLK:
      return TrayEvent::kRightDoubleClick;
    case NIN_BALLOONSHOW:
      return TrayEvent::kBalloonShown;
    case NIN_BALLOONHIDE:
      return TrayEvent::kBalloonHidden;
    case NIN_BALLOONTIMEOUT:
      return TrayEvent::kBalloonTimedOut;
    case NIN_BALLOONUSERCLICK:
      return TrayEvent::kBalloonClicked;
    default:
      return std::nullopt;
  }
}

HICON IconOf(const Picture& picture) {
  return picture.IsIcon() ? reinterpret_cast<HICON>(picture.handle) : nullptr;
}

Picture PictureOf(HICON icon) {
  if (icon == nullptr) return Picture{};
  return Picture{Picture::Type::kIcon, reinterpret_cast<std::uintptr_t>(icon)};
}

NOTIFYICONDATAW WinNotifyIcon::Record() const {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kIconId;
  return data;
}

Picture WinNotifyIcon::ProgramIcon() { return PictureOf(program_icon_); }

Picture WinNotifyIcon::WarningIcon() {
  return PictureOf(warning_icon_ != nullptr ? warning_icon_ : program_icon_);
}

bool WinNotifyIcon::Add(const std::string& tip, const Picture& picture) {
  NOTIFYICONDATAW data = Record();
  data.uFlags = NIF_MESSAGE;
  data.uCallbackMessage = kTrayCallbackMessage;
  if (const HICON icon = IconOf(picture)) {
    data.uFlags |= NIF_ICON;
    data.hIcon = icon;
  }
  if (!tip.empty()) {
    data.uFlags |= NIF_TIP;
    CopyCut(data.szTip, tip);
  }
  if (send_(NIM_ADD, &data)) return true;
  // The shell refuses a second add of an icon it still has (a "TaskbarCreated" that did not
  // come from a restart): then the same record brings that icon up to date.
  return send_(NIM_MODIFY, &data) != FALSE;
}

void WinNotifyIcon::Remove() {
  NOTIFYICONDATAW data = Record();
  send_(NIM_DELETE, &data);
}

void WinNotifyIcon::SetTip(const std::string& tip) {
  NOTIFYICONDATAW data = Record();
  data.uFlags = NIF_TIP;
  CopyCut(data.szTip, tip);
  send_(NIM_MODIFY, &data);
}

void WinNotifyIcon::SetPicture(const Picture& picture) {
  NOTIFYICONDATAW data = Record();
  data.uFlags = NIF_ICON;
  data.hIcon = IconOf(picture);
  send_(NIM_MODIFY, &data);
}

void WinNotifyIcon::ShowBalloon(const std::string& title, const std::string& text,
                                unsigned timeout_ms) {
  NOTIFYICONDATAW data = Record();
  data.uFlags = NIF_INFO;
  CopyCut(data.szInfo, text);
  CopyCut(data.szInfoTitle, title);
  data.uTimeout = timeout_ms;
  data.dwInfoFlags = NIIF_NONE;
  send_(NIM_MODIFY, &data);
}

}  // namespace tess::win32
