#include "win32/win_dialogs.h"

#include <cstring>

#include "base/platform_error.h"
#include "win32/text.h"

namespace tess::win32 {

BoxResult WinDialogs::MessageBox(const std::string& text, const std::string& title,
                                 BoxButtons buttons, BoxIcon icon) {
  UINT flags = buttons == BoxButtons::kYesNo ? MB_YESNO : MB_OK;
  if (icon == BoxIcon::kExclamation) flags |= MB_ICONEXCLAMATION;
  const HWND owner = owner_ ? owner_() : nullptr;
  // A hidden owner (the window sits in the tray) would leave the box without a taskbar entry.
  if (owner == nullptr || !IsWindowVisible(owner)) flags |= MB_TASKMODAL | MB_SETFOREGROUND;
  const std::wstring caption = Widen(title.empty() ? app_title_ : title);
  const int answer = ::MessageBoxW(owner != nullptr && IsWindowVisible(owner) ? owner : nullptr,
                                   Widen(text).c_str(), caption.c_str(), flags);
  switch (answer) {
    case IDYES:
      return BoxResult::kYes;
    case IDNO:
      return BoxResult::kNo;
    default:
      return BoxResult::kOk;
  }
}

void WinDialogs::SetClipboardText(const std::string& text) {
  const std::wstring wide = Widen(text);
  // Another program may hold the clipboard for a moment; try a few times.
  bool open = false;
  for (int attempt = 0; attempt < 10 && !open; ++attempt) {
    open = OpenClipboard(owner_ ? owner_() : nullptr) != FALSE;
    if (!open) Sleep(20);
  }
  if (!open) ThrowLastError(GetLastError());
  struct Closer {
    ~Closer() { CloseClipboard(); }
  } closer;
  EmptyClipboard();
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) ThrowLastError(GetLastError());
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    const DWORD error = GetLastError();
    GlobalFree(memory);
    ThrowLastError(error);
  }
  std::memcpy(target, wide.c_str(), bytes);
  GlobalUnlock(memory);
  if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
    const DWORD error = GetLastError();
    GlobalFree(memory);
    ThrowLastError(error);
  }
}

}  // namespace tess::win32
