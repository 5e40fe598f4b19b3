#include "platform/win32/progress_text_bar.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/text.h"
#include "platform/win32/view_handles.h"

namespace tess::win32 {

namespace {
constexpr UINT_PTR kSubclassId = 0x7E55;

}  // namespace

ProgressTextBar::~ProgressTextBar() {
  if (bar_ != nullptr && IsWindow(bar_)) RemoveWindowSubclass(bar_, Proc, kSubclassId);
}

void ProgressTextBar::Attach(HWND bar) {
  bar_ = bar;
  SetWindowSubclass(bar_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void ProgressTextBar::SetFont(HFONT font) {
  font_ = font;
  if (bar_ != nullptr) InvalidateRect(bar_, nullptr, TRUE);
}

void ProgressTextBar::Show(const ProgressBarModel& model) {
  if (bar_ == nullptr) return;
  const int max = model.Max() > 0 ? model.Max() : 1;
  if (static_cast<int>(SendMessageW(bar_, PBM_GETRANGE, FALSE, 0)) != max) {
    SendMessageW(bar_, PBM_SETRANGE32, 0, max);
  }
  if (static_cast<int>(SendMessageW(bar_, PBM_GETPOS, 0, 0)) != model.Value()) {
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(model.Value()), 0);
  }
  const std::wstring text = Widen(model.Text());
  if (WindowText(bar_) != text) SetWindowTextW(bar_, text.c_str());
  ShowWindow(bar_, model.Visible() ? SW_SHOWNA : SW_HIDE);
  InvalidateRect(bar_, nullptr, TRUE);
}

void ProgressTextBar::Paint(HDC dc) {
  const int outer = SaveDC(dc);
  PaintInto(dc);
  RestoreDC(dc, outer);
}

void ProgressTextBar::PaintInto(HDC dc) {
  RECT client;
  GetClientRect(bar_, &client);
  FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
  InflateRect(&client, -1, -1);

  const int low = static_cast<int>(SendMessageW(bar_, PBM_GETRANGE, TRUE, 0));
  const int high = static_cast<int>(SendMessageW(bar_, PBM_GETRANGE, FALSE, 0));
  const int pos = static_cast<int>(SendMessageW(bar_, PBM_GETPOS, 0, 0));
  const int span = high - low;
  const int width = client.right - client.left;
  int filled = span > 0 ? MulDiv(pos - low, width, span) : 0;
  if (filled < 0) filled = 0;
  if (filled > width) filled = width;

  RECT done = client;
  done.right = client.left + filled;
  RECT rest = client;
  rest.left = done.right;
  FillRect(dc, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
  FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));

  const std::wstring text = WindowText(bar_);
  if (text.empty()) return;
  if (font_ != nullptr) SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  // The text reads in both halves: light over the filled part, dark over the rest.
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, done.left, done.top, done.right, done.bottom);
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  RECT area = client;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
  RestoreDC(dc, saved);
  IntersectClipRect(dc, rest.left, rest.top, rest.right, rest.bottom);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  area = client;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
}

LRESULT CALLBACK ProgressTextBar::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ProgressTextBar*>(data);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(window, &ps);
      if (dc != nullptr) {
        self->Paint(dc);
        EndPaint(window, &ps);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      self->Paint(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, Proc, kSubclassId);
      self->bar_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace tess::win32
