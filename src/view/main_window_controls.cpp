// The main window's child controls: made from the control table, placed from their twips at
// the window's DPI, and the window's notifications routed to them by the control's identifier.

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "view/control_table.h"
#include "view/main_window.h"

namespace tess::view {

namespace {
constexpr int kTextPoints100 = 900;     // Arial bold 9 pt
constexpr int kButtonPoints100 = 1125;  // Arial bold 11.25 pt on push buttons

HFONT MakeArialBold(int points100, int dpi) {
  return CreateFontW(-MulDiv(points100, dpi, 7200), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Arial");
}
}  // namespace

void MainWindow::CreateControls(MainForm& form) {
  controls_ = MakeControlTable(form, ControlSite{window_.Get(), instance_, &boundary_});
}

void MainWindow::MakeFonts() {
  text_font_.Reset(MakeArialBold(kTextPoints100, dpi_));
  button_font_.Reset(MakeArialBold(kButtonPoints100, dpi_));
}

void MainWindow::Layout() {
  const ViewFonts fonts{text_font_.Get(), button_font_.Get()};
  for (const auto& control : controls_) control->Layout(dpi_, fonts);
  InvalidateRect(window_.Get(), nullptr, TRUE);
}

ControlBinding* MainWindow::Find(int id) const {
  for (const auto& control : controls_) {
    if (control->Id() == id) return control.get();
  }
  return nullptr;
}

ControlBinding* MainWindow::Find(HWND control) const {
  if (control == nullptr) return nullptr;
  for (const auto& binding : controls_) {
    if (binding->Window() == control) return binding.get();
  }
  return nullptr;
}

HWND MainWindow::Control(int id) const {
  const ControlBinding* binding = Find(id);
  return binding != nullptr ? binding->Window() : nullptr;
}

void MainWindow::OnCommand(int id, int code, HWND control) {
  ControlBinding* binding = Find(id);
  if (binding != nullptr && binding->Window() == control) binding->OnCommand(code);
}

void MainWindow::OnNotify(const NMHDR& header) {
  ControlBinding* binding = Find(static_cast<int>(header.idFrom));
  if (binding != nullptr && binding->Window() == header.hwndFrom) binding->OnNotify(header);
}

void MainWindow::OnPointerOver(HWND over, LPARAM hit) {
  if (LOWORD(hit) != HTCLIENT || form_ == nullptr) return;
  const ControlBinding* binding = Find(over);
  const HoverArea area = over == window_.Get() ? HoverArea::kBackground
                         : binding != nullptr  ? binding->Hover()
                                               : HoverArea::kKeepsPointer;
  if (area == HoverArea::kPushButton) {
    boundary_.Run([&] { form_->OnPushButtonMouseMove(); });
  } else if (area == HoverArea::kBackground) {
    boundary_.Run([&] { form_->OnBackgroundMouseMove(); });
  }
}

HBRUSH MainWindow::OnControlColor(HDC dc, HWND control) {
  const ControlBinding* binding = Find(control);
  if (binding == nullptr || !binding->ShowsWindowBackground()) return nullptr;
  return appearance_.ControlBackground(dc);
}

}  // namespace tess::view
