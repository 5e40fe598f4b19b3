// The main window as a platform-free model: every control of the window, the window-level
// state, one member function per control event, and the subsystems those handlers call. The
// Win32 view mirrors it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "backup/backup_run.h"
#include "base/error_trap.h"
#include "controls/controls.h"
#include "controls/keys.h"
#include "folders/destination.h"
#include "folders/drop_rules.h"
#include "folders/folder_list.h"
#include "folders/reorder_drag.h"
#include "folders/sample_folders.h"
#include "history/history_log.h"
#include "options/option_controls.h"
#include "ports/program_settings.h"
#include "schedule/countdown.h"
#include "shell/handler_labels.h"
#include "tray/latest_outcome.h"
#include "tray/tray_icon.h"

namespace tess {

class SettingsStore;
class FileSystem;
class Shell;
class Registry;
class Environment;
class Dialogs;
class NotifyIcon;
class Clock;
class EventPump;
class ContentHash;

// The Windows services the window uses, wired once by WinMain or a test fixture.
struct Services {
  SettingsStore& settings;
  FileSystem& files;
  Shell& shell;
  Registry& registry;
  Environment& environment;
  Dialogs& dialogs;
  NotifyIcon& notify_icon;
  Clock& clock;
  EventPump& pump;
  // The backup run's copy; null for the copy core over files. A test may watch it.
  FolderCopy copy = nullptr;
  // What hashes the files each backup folder's manifest lists; null: no manifests.
  ContentHash* hash = nullptr;
};

enum class WindowState { kNormal, kMinimized };

inline constexpr unsigned kWhite = 0x00FFFFFF;
inline constexpr unsigned kButtonFace = 0x8000000F;

class MainForm {
 public:
  explicit MainForm(Services services);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // ---- controls, as the window's design places them (twips) ----
  FrameModel status_frame;
  ProgressBarModel progress_bar;
  ListViewModel folder_list;
  PushButtonModel add_folder_button;
  PushButtonModel clear_list_button;
  PushButtonModel samples_button;
  FrameModel options_frame;
  OptionButtonModel create_new_option;
  OptionButtonModel overwrite_option;
  CheckBoxModel stamp_box;
  CheckBoxModel start_with_windows_box;
  CheckBoxModel start_in_tray_box;
  CheckBoxModel keep_fewer_box;  // beside the stamp box, which it depends on
  ListViewModel interval_list;
  FrameModel destination_frame;
  TextBoxModel destination_box;
  PushButtonModel browse_button;
  PushButtonModel view_folder_button;
  PushButtonModel auto_backup_button;
  PushButtonModel backup_now_button;
  PushButtonModel view_history_button;
  PushButtonModel copy_history_button;
  PushButtonModel help_button;
  PushButtonModel clear_history_button;
  TimerModel timer;
  TrayIcon tray_icon;

  // ---- window-level state ----
  bool is_loading = false;
  Pointer MousePointer() const { return mouse_pointer_; }
  void SetMousePointer(Pointer pointer);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  WindowState State() const { return window_state_; }
  // A change of state runs the resize handling, as the window system would.
  void SetWindowState(WindowState state);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  unsigned BackColor() const { return back_color_; }
  void SetBackColor(unsigned color);
  bool HasCustomCursor() const { return !custom_cursor_path_.empty(); }
  const std::string& CustomCursorPath() const { return custom_cursor_path_; }
  void SetWindowListener(std::function<void()> listener) { window_view_ = std::move(listener); }

  // Program-wide values that live for the whole run.
  bool tray_notice_shown = false;
  // Set by the close request: the view destroys the window and the program ends.
  bool Unloaded() const { return unloaded_; }

  // ---- start-up, close, minimise (shell) ----
  void OnLoad();
  // The session may be about to end: stores what the close request would, and nothing else,
  // because another program may still cancel the shutdown.
  void OnQueryEndSession();
  void OnQueryUnload();
  void OnUnload();
  void OnResize();

  // The handlers below are short error-trap sequences over the subsystems; each subsystem
  // gets only the controls and services it uses.

  // ---- folder list and destination (folders) ----
  void OnFolderListDoubleClick();
  // Delete removes the selected entry; Alt+Up and Alt+Down move it one place.
  void OnFolderListKeyDown(Key key, int shift);
  // A press on the folder list: `entry` is the one under the pointer, 0 for none.
  void OnFolderListMouseDown(int entry);
  // The mouse moved over the folder list; answers the entry to scroll into view, 0 for none.
  int OnFolderListMouseMove(const ListRows& rows);
  void OnFolderListMouseUp();
  // Something dragged from another program is over the folder list, or dropped on it.
  DropEffect OnFolderListDragOver(bool offers_file_list, const OfferedEffects& allowed);
  void OnFolderListDrop(const std::vector<std::string>& paths);
  void OnAddFolderClick();  // Add Folder
  void OnClearListClick();  // Clear List
  void OnSamplesClick();    // Load Sample/Example Folders
  void OnDestinationChange();
  void OnDestinationGotFocus();
  void OnBrowseClick();      // "..."
  void OnViewFolderClick();  // View This Folder

  // ---- scheduler ----
  void OnTimerTick();
  // The machine woke from sleep.
  void OnResume();
  // A run from the command line beside this window stored its outcome: the tray shows it.
  void OnLatestOutcomeStored();
  void OnIntervalListClick();
  // The user moved the interval selection (mouse or keyboard).
  void OnIntervalSelected();
  void OnAutoBackupClick();  // auto backup on/off
  void OnBackupNowClick();   // Backup Now

  // ---- history ----
  void OnViewHistoryClick();   // View History Log
  void OnCopyHistoryClick();   // Copy History To Clipboard
  void OnClearHistoryClick();  // Clear History Log

  // ---- options ----
  void OnStartWithWindowsClick();
  void OnStampClick();
  void OnStartInTrayClick();
  void OnCreateNewClick();
  void OnOverwriteClick();
  void OnKeepFewerClick();

  // ---- tray ----
  void OnTrayIconMouseUp(int button, int id);

  // The program was started again in this session: this copy shows its window, in its normal
  // state, also from the tray, and the new start ends.
  void OnSecondStart();

  // ---- appearance ----
  void ApplySkin();
  void OnHelpClick();  // Help
  // The mouse moved over a push button (every one shares this handler) or over a background
  // area: the window itself, a frame, either list or the destination box.
  void OnPushButtonMouseMove();
  void OnBackgroundMouseMove();

  // The subsystems behind the handlers, for tests.
  HistoryLog& History() { return history_; }
  BackupRun& Backup() { return backup_; }
  Countdown& Schedule() { return countdown_; }

 private:
  // A trap whose reports carry the handler's label from the one table of labels.
  ErrorTrap Trap(const HandlerLabel& label);
  // The program's own folder, without a trailing backslash except at a drive root.
  std::string AppPath();
  void NotifyWindow() const {
    if (window_view_) window_view_();
  }
  // A run ended: the countdown and the tray learn its outcome.
  void RunEnded(const RunOutcome& outcome);
  // Whether the destination is there now, asked without a word to anyone.
  bool DestinationFound();
  // A run's progress on the bar and in the tray's tip.
  void ShowRunProgress(const std::string& text, int value);
  Services services_;
  ProgramSettings settings_;
  HistoryLog history_;
  FolderList folders_;
  SampleFolders samples_;
  Destination destination_;
  OptionControls options_;
  BackupRun backup_;
  Countdown countdown_;
  LatestOutcome latest_outcome_;
  Pointer mouse_pointer_ = Pointer::kDefault;
  std::string caption_ = "Form1";  // as designed, until the start-up names the window
  WindowState window_state_ = WindowState::kNormal;
  bool visible_ = true;
  unsigned back_color_ = kWhite;
  std::string custom_cursor_path_;
  bool unloaded_ = false;
  std::function<void()> window_view_;
};

}  // namespace tess
