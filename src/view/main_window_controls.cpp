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

void MainWindow::CreateControls(MainForm& f) {
  controls_.reserve(23);
  auto& frame1 = Add<FrameBinding>(f.status_frame, {.id = kIdStatusFrame});
  Add<ProgressBarBinding>(f.progress_bar, {.id = kIdProgressBar, .frame = &f.status_frame});
  Add<ListViewBinding>(
      f.folder_list,
      {.id = kIdFolderList,
       .events = {
           .double_clicked = [&f] { f.OnFolderListDoubleClick(); },
           .key_down = [&f](Key key, int shift) { f.OnFolderListKeyDown(key, shift); },
           .pressed = [&f](int entry) { f.OnFolderListMouseDown(entry); },
           .dragged = [&f](const ListRows& rows) { return f.OnFolderListMouseMove(rows); },
           .released = [&f] { f.OnFolderListMouseUp(); },
           .drag_over =
               [&f](bool offers_file_list, const OfferedEffects& allowed) {
                 return f.OnFolderListDragOver(offers_file_list, allowed);
               },
           .dropped =
               [&f](const std::vector<std::string>& paths) { f.OnFolderListDrop(paths); }}});
  Add<PushButtonBinding>(f.add_folder_button,
                         {.id = kIdAddFolderButton, .clicked = [&f] { f.OnAddFolderClick(); }});
  Add<PushButtonBinding>(f.clear_list_button,
                         {.id = kIdClearListButton, .clicked = [&f] { f.OnClearListClick(); }});
  Add<PushButtonBinding>(f.samples_button,
                         {.id = kIdSamplesButton, .clicked = [&f] { f.OnSamplesClick(); }});
  auto& frame3 = Add<FrameBinding>(f.options_frame, {.id = kIdOptionsFrame});
  Add<OptionButtonBinding>(f.create_new_option, {.id = kIdCreateNewOption, .frame = &f.options_frame, .starts_group = true});
  Add<OptionButtonBinding>(f.overwrite_option, {.id = kIdOverwriteOption, .frame = &f.options_frame});
  Add<CheckBoxBinding>(f.stamp_box, {.id = kIdStampBox, .frame = &f.options_frame});
  Add<CheckBoxBinding>(f.start_with_windows_box, {.id = kIdStartWithWindowsBox, .frame = &f.options_frame});
  Add<CheckBoxBinding>(f.start_in_tray_box, {.id = kIdStartInTrayBox, .frame = &f.options_frame});
  Add<ListViewBinding>(f.interval_list,
                       {.id = kIdIntervalList,
                        .events = {.selected_by_user = [&f] { f.OnIntervalSelected(); },
                                   .clicked_selected_item = [&f] { f.OnIntervalListClick(); }}});
  auto& frame2 = Add<FrameBinding>(f.destination_frame, {.id = kIdDestinationFrame});
  Add<TextBoxBinding>(
      f.destination_box, {.id = kIdDestinationBox, .frame = &f.destination_frame, .got_focus = [&f] { f.OnDestinationGotFocus(); }});
  Add<PushButtonBinding>(f.browse_button, {.id = kIdBrowseButton, .frame = &f.destination_frame, .clicked = [&f] {
                                           f.OnBrowseClick();
                                         }});
  Add<PushButtonBinding>(f.view_folder_button, {.id = kIdViewFolderButton, .frame = &f.destination_frame, .clicked = [&f] {
                                           f.OnViewFolderClick();
                                         }});
  Add<PushButtonBinding>(f.auto_backup_button,
                         {.id = kIdAutoBackupButton, .clicked = [&f] { f.OnAutoBackupClick(); }});
  Add<PushButtonBinding>(f.backup_now_button,
                         {.id = kIdBackupNowButton, .clicked = [&f] { f.OnBackupNowClick(); }});
  Add<PushButtonBinding>(f.view_history_button,
                         {.id = kIdViewHistoryButton, .clicked = [&f] { f.OnViewHistoryClick(); }});
  Add<PushButtonBinding>(f.copy_history_button,
                         {.id = kIdCopyHistoryButton, .clicked = [&f] { f.OnCopyHistoryClick(); }});
  Add<PushButtonBinding>(f.help_button,
                         {.id = kIdHelpButton, .clicked = [&f] { f.OnHelpClick(); }});
  Add<PushButtonBinding>(f.clear_history_button,
                         {.id = kIdClearHistoryButton, .clicked = [&f] { f.OnClearHistoryClick(); }});
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

}  // namespace tess::win32
