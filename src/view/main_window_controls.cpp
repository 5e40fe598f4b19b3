// The main window's child controls: one binding per control of the model's design, placed
// from its twips at the window's DPI, and the window's notifications routed to them by the
// control's identifier.

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "view/button_bindings.h"
#include "view/control_ids.h"
#include "view/list_view_binding.h"
#include "view/main_window.h"
#include "view/progress_bar_binding.h"
#include "view/text_box_binding.h"

namespace tess::win32 {

namespace {
constexpr int kTextPoints100 = 900;     // Arial bold 9 pt
constexpr int kButtonPoints100 = 1125;  // Arial bold 11.25 pt on push buttons

HFONT MakeArialBold(int points100, int dpi) {
  return CreateFontW(-MulDiv(points100, dpi, 7200), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Arial");
}
}  // namespace

template <typename Binding>
Binding& MainWindow::Add(typename Binding::Model& model, typename Binding::CreateArgs args) {
  const ControlSite site{window_.Get(), instance_, &boundary_};
  auto binding = std::make_unique<Binding>(site, model, std::move(args));
  Binding& added = *binding;
  controls_.push_back(std::move(binding));
  return added;
}

void MainWindow::CreateControls(Form1& f) {
  controls_.reserve(23);
  auto& frame1 = Add<FrameBinding>(f.Frame1, {.id = kIdFrame1});
  Add<ProgressBarBinding>(f.ProgressBar1, {.id = kIdProgressBar1, .frame = &f.Frame1});
  Add<ListViewBinding>(
      f.ListView1,
      {.id = kIdListView1,
       .events = {
           .double_clicked = [&f] { f.ListView1_DblClick(); },
           .key_down = [&f](Key key, int shift) { f.ListView1_KeyDown(key, shift); },
           .pressed = [&f](int entry) { f.ListView1_MouseDown(entry); },
           .dragged = [&f](const ListRows& rows) { return f.ListView1_MouseMove(rows); },
           .released = [&f] { f.ListView1_MouseUp(); },
           .drag_over =
               [&f](bool offers_file_list, const OfferedEffects& allowed) {
                 return f.ListView1_OLEDragOver(offers_file_list, allowed);
               },
           .dropped =
               [&f](const std::vector<std::string>& paths) { f.ListView1_OLEDragDrop(paths); }}});
  Add<PushButtonBinding>(f.PushButton7,
                         {.id = kIdPushButton7, .clicked = [&f] { f.PushButton7_Click(); }});
  Add<PushButtonBinding>(f.PushButton8,
                         {.id = kIdPushButton8, .clicked = [&f] { f.PushButton8_Click(); }});
  Add<PushButtonBinding>(f.PushButton9,
                         {.id = kIdPushButton9, .clicked = [&f] { f.PushButton9_Click(); }});
  auto& frame3 = Add<FrameBinding>(f.Frame3, {.id = kIdFrame3});
  Add<OptionButtonBinding>(f.Option3, {.id = kIdOption3, .frame = &f.Frame3, .starts_group = true});
  Add<OptionButtonBinding>(f.Option4, {.id = kIdOption4, .frame = &f.Frame3});
  Add<CheckBoxBinding>(f.Check6, {.id = kIdCheck6, .frame = &f.Frame3});
  Add<CheckBoxBinding>(f.Check4, {.id = kIdCheck4, .frame = &f.Frame3});
  Add<CheckBoxBinding>(f.Check8, {.id = kIdCheck8, .frame = &f.Frame3});
  Add<ListViewBinding>(f.ListView2,
                       {.id = kIdListView2,
                        .events = {.selected_by_user = [&f] { f.ListView2_ItemSelected(); },
                                   .clicked_selected_item = [&f] { f.ListView2_Click(); }}});
  auto& frame2 = Add<FrameBinding>(f.Frame2, {.id = kIdFrame2});
  Add<TextBoxBinding>(
      f.Text5, {.id = kIdText5, .frame = &f.Frame2, .got_focus = [&f] { f.Text5_GotFocus(); }});
  Add<PushButtonBinding>(f.PushButton1, {.id = kIdPushButton1, .frame = &f.Frame2, .clicked = [&f] {
                                           f.PushButton1_Click();
                                         }});
  Add<PushButtonBinding>(f.PushButton2, {.id = kIdPushButton2, .frame = &f.Frame2, .clicked = [&f] {
                                           f.PushButton2_Click();
                                         }});
  Add<PushButtonBinding>(f.PushButton5,
                         {.id = kIdPushButton5, .clicked = [&f] { f.PushButton5_Click(); }});
  Add<PushButtonBinding>(f.PushButton6,
                         {.id = kIdPushButton6, .clicked = [&f] { f.PushButton6_Click(); }});
  Add<PushButtonBinding>(f.PushButton3,
                         {.id = kIdPushButton3, .clicked = [&f] { f.PushButton3_Click(); }});
  Add<PushButtonBinding>(f.PushButton4,
                         {.id = kIdPushButton4, .clicked = [&f] { f.PushButton4_Click(); }});
  Add<PushButtonBinding>(f.PushButton11,
                         {.id = kIdPushButton11, .clicked = [&f] { f.PushButton11_Click(); }});
  Add<PushButtonBinding>(f.PushButton12,
                         {.id = kIdPushButton12, .clicked = [&f] { f.PushButton12_Click(); }});
  for (FrameBinding* frame : {&frame1, &frame3, &frame2}) frame->SendToBack();
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
    boundary_.Run([&] { form_->PushButton_MouseMove(); });
  } else if (area == HoverArea::kBackground) {
    boundary_.Run([&] { form_->Background_MouseMove(); });
  }
}

HBRUSH MainWindow::OnControlColor(HDC dc, HWND control) {
  const ControlBinding* binding = Find(control);
  if (binding == nullptr || !binding->ShowsWindowBackground()) return nullptr;
  return appearance_.ControlBackground(dc);
}

}  // namespace tess::win32
