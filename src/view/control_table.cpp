// The main window's child controls as the window's design lists them: one binding per control
// model, wired to the model's handlers for its events.

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "view/control_table.h"

#include "view/button_bindings.h"
#include "view/control_ids.h"
#include "view/list_view_binding.h"
#include "view/progress_bar_binding.h"
#include "view/text_box_binding.h"

namespace tess::view {

namespace {

class TableBuilder {
 public:
  explicit TableBuilder(const ControlSite& site) : site_(site) {}
  template <typename Binding>
  Binding& Add(typename Binding::Model& model, typename Binding::CreateArgs args) {
    auto binding = std::make_unique<Binding>(site_, model, std::move(args));
    Binding& added = *binding;
    controls_.push_back(std::move(binding));
    return added;
  }
  std::vector<std::unique_ptr<ControlBinding>> Take() { return std::move(controls_); }

 private:
  ControlSite site_;
  std::vector<std::unique_ptr<ControlBinding>> controls_;
};

}  // namespace

std::vector<std::unique_ptr<ControlBinding>> MakeControlTable(MainForm& f,
                                                              const ControlSite& site) {
  TableBuilder table(site);

  auto& status = table.Add<FrameBinding>(f.status_frame, {.id = kIdStatusFrame});
  table.Add<ProgressBarBinding>(f.progress_bar, {.id = kIdProgressBar, .frame = &f.status_frame});
  table.Add<ListViewBinding>(
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
           .dropped = [&f](const std::vector<std::string>& paths) { f.OnFolderListDrop(paths); }}});
  table.Add<PushButtonBinding>(
      f.add_folder_button, {.id = kIdAddFolderButton, .clicked = [&f] { f.OnAddFolderClick(); }});
  table.Add<PushButtonBinding>(
      f.clear_list_button, {.id = kIdClearListButton, .clicked = [&f] { f.OnClearListClick(); }});
  table.Add<PushButtonBinding>(f.samples_button,
                               {.id = kIdSamplesButton, .clicked = [&f] { f.OnSamplesClick(); }});
  auto& options = table.Add<FrameBinding>(f.options_frame, {.id = kIdOptionsFrame});
  table.Add<OptionButtonBinding>(
      f.create_new_option,
      {.id = kIdCreateNewOption, .frame = &f.options_frame, .starts_group = true});
  table.Add<OptionButtonBinding>(f.overwrite_option,
                                 {.id = kIdOverwriteOption, .frame = &f.options_frame});
  table.Add<CheckBoxBinding>(f.stamp_box, {.id = kIdStampBox, .frame = &f.options_frame});
  // Beside the stamp box it depends on, and next to it for the Tab key.
  table.Add<CheckBoxBinding>(f.keep_fewer_box, {.id = kIdKeepFewerBox, .frame = &f.options_frame});
  table.Add<CheckBoxBinding>(f.start_with_windows_box,
                             {.id = kIdStartWithWindowsBox, .frame = &f.options_frame});
  table.Add<CheckBoxBinding>(f.start_in_tray_box,
                             {.id = kIdStartInTrayBox, .frame = &f.options_frame});
  table.Add<ListViewBinding>(
      f.interval_list, {.id = kIdIntervalList,
                        .events = {.selected_by_user = [&f] { f.OnIntervalSelected(); },
                                   .clicked_selected_item = [&f] { f.OnIntervalListClick(); }}});
  auto& destination = table.Add<FrameBinding>(f.destination_frame, {.id = kIdDestinationFrame});
  table.Add<TextBoxBinding>(f.destination_box, {.id = kIdDestinationBox,
                                                .frame = &f.destination_frame,
                                                .got_focus = [&f] { f.OnDestinationGotFocus(); }});
  table.Add<PushButtonBinding>(f.browse_button, {.id = kIdBrowseButton,
                                                 .frame = &f.destination_frame,
                                                 .clicked = [&f] { f.OnBrowseClick(); }});
  table.Add<PushButtonBinding>(f.view_folder_button, {.id = kIdViewFolderButton,
                                                      .frame = &f.destination_frame,
                                                      .clicked = [&f] { f.OnViewFolderClick(); }});
  table.Add<PushButtonBinding>(f.auto_backup_button, {.id = kIdAutoBackupButton,
                                                      .clicked = [&f] { f.OnAutoBackupClick(); }});
  table.Add<PushButtonBinding>(
      f.backup_now_button, {.id = kIdBackupNowButton, .clicked = [&f] { f.OnBackupNowClick(); }});
  table.Add<PushButtonBinding>(f.view_history_button, {.id = kIdViewHistoryButton, .clicked = [&f] {
                                                         f.OnViewHistoryClick();
                                                       }});
  table.Add<PushButtonBinding>(f.copy_history_button, {.id = kIdCopyHistoryButton, .clicked = [&f] {
                                                         f.OnCopyHistoryClick();
                                                       }});
  table.Add<PushButtonBinding>(f.help_button,
                               {.id = kIdHelpButton, .clicked = [&f] { f.OnHelpClick(); }});
  table.Add<PushButtonBinding>(
      f.clear_history_button,
      {.id = kIdClearHistoryButton, .clicked = [&f] { f.OnClearHistoryClick(); }});
  for (FrameBinding* frame : {&status, &options, &destination}) frame->SendToBack();
  return table.Take();
}

}  // namespace tess::view
