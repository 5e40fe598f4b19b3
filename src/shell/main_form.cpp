#include "shell/main_form.h"

#include "backup/path_rules.h"
#include "base/path_text.h"
#include "base/product.h"
#include "ports/environment.h"
#include "ports/program_settings.h"

namespace tess {

namespace {
constexpr char kFolderListToolTip[] =
    "Drag and drop files here. Double-click item to remove it. Move | line to right and out "
    "of window to reveal full names.";
}  // namespace

MainForm::MainForm(Services services)
    : status_frame({120, 60, 7800, 850}, "Next backup will occur in xx:xx:xx"),
      progress_bar({240, 300, 7320, 405}),
      folder_list({120, 1020, 7800, 1575}),
      add_folder_button({120, 2685, 7800, 405}, "Add Folder"),
      clear_list_button({120, 3195, 3840, 405}, "Clear List"),
      samples_button({4080, 3195, 3840, 405}, "Load Sample/Example Folders"),
      options_frame({120, 3675, 7800, 2080}, "Options"),
      create_new_option({240, 300, 4455, 255}, "Create new folder on backup"),
      overwrite_option({225, 650, 3840, 255}, "Overwrite old backup folder on backup"),
      stamp_box({240, 1000, 3810, 255}, "Date/Time stamp in folder"),
      start_with_windows_box({240, 1350, 3690, 255}, "Load this software on Windows startup"),
      start_in_tray_box({240, 1700, 2100, 255}, "Start in system tray"),
      keep_fewer_box({4200, 1000, 3480, 255}, "Keep fewer old backup folders"),
      interval_list({8040, 120, 7800, 2790}),
      destination_frame({8040, 2940, 7800, 1300}, "Save All Backups To This Folder"),
      destination_box({240, 300, 6615, 345}),
      browse_button({6960, 300, 600, 345}, "..."),
      view_folder_button({240, 750, 7320, 405}, "View This Folder"),
      auto_backup_button({8040, 4350, 3840, 405}, "Turn On Auto Backup"),
      backup_now_button({12000, 4350, 3840, 405}, "Backup Now (Test)"),
      view_history_button({8040, 4860, 3840, 405}, "View History Log"),
      copy_history_button({12000, 4860, 3840, 405}, "Copy History To Clipboard"),
      help_button({8040, 5370, 3840, 405}, "Help"),
      clear_history_button({12000, 5370, 3840, 405}, "Clear History Log"),
      tray_icon(services.notify_icon, services.clock, services.pump),
      services_(services),
      settings_(services.settings),
      history_(services.files, services.shell, services.dialogs, services.pump),
      folders_(folder_list, settings_, services.shell),
      samples_(
          folders_,
          {services.files, services.pump, services.dialogs, services.shell, services.environment},
          [this](bool busy) { SetMousePointer(busy ? Pointer::kHourglass : Pointer::kDefault); }),
      destination_(destination_box, settings_, services.shell),
      options_({start_with_windows_box, stamp_box, start_in_tray_box, create_new_option,
                overwrite_option, keep_fewer_box},
               settings_, services.registry, services.environment),
      backup_(
          {folder_list, [this] { return destination_.Text(); }, [this] { return options_.Stamp(); },
           status_frame, [this] { return settings_.GetSetting(kKeySnapshotLinks, kOn) != kOff; },
           nullptr, [this] { return options_.KeepFewer(); },
           [this](const std::string& text, int value) { ShowRunProgress(text, value); }},
          {services.files, services.pump, services.clock, services.dialogs, history_, services.copy,
           &settings_, services.hash, &services.environment}),
      countdown_({interval_list, timer, progress_bar, status_frame, auto_backup_button},
                 {settings_, services.pump, services.clock, backup_,
                  [this] { return DestinationFound(); }}),
      latest_outcome_(tray_icon, services.notify_icon, settings_) {
  folder_list.SetToolTip(kFolderListToolTip);
  create_new_option.SetPartner(&overwrite_option);
  overwrite_option.SetPartner(&create_new_option);
  start_with_windows_box.on_click = [this] { OnStartWithWindowsClick(); };
  stamp_box.on_click = [this] { OnStampClick(); };
  start_in_tray_box.on_click = [this] { OnStartInTrayClick(); };
  keep_fewer_box.on_click = [this] { OnKeepFewerClick(); };
  create_new_option.on_click = [this] { OnCreateNewClick(); };
  overwrite_option.on_click = [this] { OnOverwriteClick(); };
  destination_box.on_change = [this] { OnDestinationChange(); };
  tray_icon.MouseUp = [this](int button, int id) { OnTrayIconMouseUp(button, id); };
  // The control's stored design puts the icon in the tray as the window is created, with the
  // program's icon and name: the shell never sees a default tip or an icon without a picture.
  tray_icon.SetTrayTip(kProductName);
  tray_icon.SetIcon(services.notify_icon.ProgramIcon());
  tray_icon.SetInTray(true);
}

void MainForm::SetMousePointer(Pointer pointer) {
  if (mouse_pointer_ == pointer) return;
  mouse_pointer_ = pointer;
  NotifyWindow();
}

void MainForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  NotifyWindow();
}

void MainForm::SetWindowState(WindowState state) {
  if (window_state_ == state) return;
  window_state_ = state;
  NotifyWindow();
  OnResize();
}

void MainForm::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  NotifyWindow();
}

void MainForm::SetBackColor(unsigned color) {
  back_color_ = color;
  NotifyWindow();
}

std::string MainForm::AppPath() { return FolderOf(services_.environment.ModulePath()); }

void MainForm::ShowRunProgress(const std::string& text, int value) {
  try {
    progress_bar.SetMax(kProgressSteps);
    progress_bar.SetValue(value);
    progress_bar.SetText(text);
    latest_outcome_.ShowProgress(text);
  } catch (...) {
    // Progress that cannot be shown leaves the run to go on.
  }
}

bool MainForm::DestinationFound() {
  try {
    return PathFound(services_.files, destination_.Text());
  } catch (...) {
    return false;
  }
}

}  // namespace tess
