#include "view/progress_bar_binding.h"

#include <commctrl.h>

#include <string>

#include "view/view_handles.h"
#include "win32/text.h"

namespace tess::view {

ProgressBarBinding::ProgressBarBinding(const ControlSite& site, ProgressBarModel& model,
                                       const CreateArgs& args)
    : ControlBinding(site, model,
                     {.id = args.id,
                      .frame = args.frame,
                      .window_class = PROGRESS_CLASSW,
                      .style = kChildStyle | PBS_SMOOTH}),
      model_(model) {}

void ProgressBarBinding::OnPlaced(int, const ViewFonts& fonts) {
  font_ = fonts.text;
  InvalidateRect(Window(), nullptr, TRUE);
}

void ProgressBarBinding::ShowModel() {
  const HWND bar = Window();
  const int max = model_.Max() > 0 ? model_.Max() : 1;
  if (static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0)) != max) {
    SendMessageW(bar, PBM_SETRANGE32, 0, max);
  }
  if (static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)) != model_.Value()) {
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(model_.Value()), 0);
  }
  ShowWindowText(bar, win32::Widen(model_.Text()));
  ShowWindow(bar, model_.Visible() ? SW_SHOWNA : SW_HIDE);
  InvalidateRect(bar, nullptr, TRUE);
}

void ProgressBarBinding::Paint(HDC dc) {
  const int outer = SaveDC(dc);
  PaintInto(dc);
  RestoreDC(dc, outer);
}

void ProgressBarBinding::PaintInto(HDC dc) {
  const HWND bar = Window();
  RECT client;
  GetClientRect(bar, &client);
  FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
  InflateRect(&client, -1, -1);

  const int low = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, TRUE, 0));
  const int high = static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
  const int pos = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
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

  const std::wstring text = WindowText(bar);
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

std::optional<LRESULT> ProgressBarBinding::OnMessage(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(Window(), &ps);
      if (dc != nullptr) {
        Paint(dc);
        EndPaint(Window(), &ps);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wparam));
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace tess::view
