#include "view/control_binding.h"

#include <commctrl.h>

#include "view/dpi.h"
#include "win32/text.h"

namespace tess::view {

namespace {
constexpr UINT_PTR kSubclassId = 0x7E50;
}  // namespace

ControlBinding::ControlBinding(const ControlSite& site, ControlModel& model, const WindowArgs& args)
    : boundary_(*site.boundary),
      model_(model),
      id_(args.id),
      place_(model.GetPlace()),
      frame_place_(args.frame != nullptr ? args.frame->GetPlace() : tess::Place{}) {
  window_ =
      CreateWindowExW(args.ex_style, args.window_class, L"", args.style, 0, 0, 0, 0, site.parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), site.instance, nullptr);
  if (window_ == nullptr) win32::ThrowLastError(GetLastError());
}

ControlBinding::~ControlBinding() { Detach(); }

void ControlBinding::Layout(int dpi, const ViewFonts& fonts) {
  if (window_ == nullptr) return;
  // Inside a frame the design counts from the frame's corner.
  const int x = TwipsToPixels(place_.left, dpi) + TwipsToPixels(frame_place_.left, dpi);
  const int y = TwipsToPixels(place_.top, dpi) + TwipsToPixels(frame_place_.top, dpi);
  SetWindowPos(window_, nullptr, x, y, TwipsToPixels(place_.width, dpi),
               TwipsToPixels(place_.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFrom(fonts)), TRUE);
  OnPlaced(dpi, fonts);
}

void ControlBinding::Attach() {
  if (attached_ || window_ == nullptr) return;
  SetWindowSubclass(window_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  attached_ = true;
  model_.SetViewListener([this] { Refresh(); });
  OnAttach();
  Refresh();
}

void ControlBinding::Detach() {
  if (!attached_) return;
  attached_ = false;
  model_.SetViewListener(nullptr);
  OnDetach();
  if (window_ != nullptr) RemoveWindowSubclass(window_, SubclassProc, kSubclassId);
}

void ControlBinding::Refresh() {
  if (!attached_ || window_ == nullptr || !IsWindow(window_)) return;
  ShowModel();
  const bool enabled = model_.Enabled();
  if ((IsWindowEnabled(window_) != FALSE) != enabled) EnableWindow(window_, enabled);
  const bool visible = model_.Visible();
  if (((GetWindowLongW(window_, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
    ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
  }
}

LRESULT CALLBACK ControlBinding::SubclassProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam, UINT_PTR, DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<ControlBinding*>(data);
  if (message == WM_NCDESTROY) {
    // Destroyed with its parent: the binding is left with nothing to show or to hear.
    self->Detach();
    self->window_ = nullptr;
  } else {
    // A handler that throws leaves the message to the control.
    const std::optional<LRESULT> result =
        Fenced([&] { return self->OnMessage(message, wparam, lparam); }, std::optional<LRESULT>());
    if (result) return *result;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace tess::view
