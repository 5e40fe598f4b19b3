#include "view/window_appearance.h"

#include "win32/text.h"

namespace tess::view {

namespace {
COLORREF ColorFor(unsigned color) {
  // The high bit marks a system colour, its low byte the index.
  if ((color & 0x80000000u) != 0) return GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}
}  // namespace

UniqueCursor PointerFromIconFile(const std::string& path) {
  if (path.empty()) return UniqueCursor();
  const UniqueCursor icon(static_cast<HCURSOR>(LoadImageW(
      nullptr, win32::Widen(path).c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
  ICONINFO info = {};
  if (!icon.Valid() || !GetIconInfo(icon.Get(), &info)) return UniqueCursor();
  info.fIcon = FALSE;
  info.xHotspot = 0;
  info.yHotspot = 0;
  UniqueCursor pointer(CreateIconIndirect(&info));
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  return pointer;
}

bool WindowAppearance::Show(const MainForm& form, HWND window) {
  bool background_changed = false;
  if (form.BackColor() != back_color_ || !back_brush_.Valid()) {
    back_color_ = form.BackColor();
    back_colorref_ = ColorFor(back_color_);
    back_brush_.Reset(CreateSolidBrush(back_colorref_));
    background_changed = true;
  }
  if (form.CustomCursorPath() != custom_cursor_path_) {
    custom_cursor_path_ = form.CustomCursorPath();
    custom_cursor_.Reset(custom_cursor_path_.empty()
                             ? nullptr
                             : LoadCursorFromFileW(win32::Widen(custom_cursor_path_).c_str()));
  }
  if (form.MousePointer() != shown_pointer_) {
    shown_pointer_ = form.MousePointer();
    // The pointer follows the new setting at once, without waiting for the mouse to move.
    POINT cursor;
    const HWND under = GetCursorPos(&cursor) ? WindowFromPoint(cursor) : nullptr;
    if (under != nullptr && GetAncestor(under, GA_ROOT) == window) {
      SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
  }
  return background_changed;
}

void WindowAppearance::PaintBackground(HWND window, HDC dc) const {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, back_brush_.Valid() ? back_brush_.Get() : GetSysColorBrush(COLOR_WINDOW));
}

HBRUSH WindowAppearance::ControlBackground(HDC dc) const {
  if (!back_brush_.Valid()) return nullptr;
  SetBkColor(dc, back_colorref_);
  return back_brush_.Get();
}

bool WindowAppearance::SetPointer(Pointer pointer, LPARAM hit, HWND over, HWND window) const {
  if (LOWORD(hit) != HTCLIENT) return false;
  switch (pointer) {
    case Pointer::kHourglass:
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      return true;
    case Pointer::kCustom:
      SetCursor(custom_cursor_.Valid() ? custom_cursor_.Get() : LoadCursorW(nullptr, IDC_ARROW));
      return true;
    case Pointer::kDefault:
      // Over a child the control chooses (the text box its I-beam).
      if (over != window) return false;
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return true;
  }
  return false;
}

}  // namespace tess::view
