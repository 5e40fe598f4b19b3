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
#include "tray/sys_tray.h"

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
};

enum class WindowState { kNormal, kMinimized };

inline constexpr unsigned kWhite = 0x00FFFFFF;
inline constexpr unsigned kButtonFace = 0x8000000F;

class Form1 {
 public:
  explicit Form1(Services services);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // ---- controls, as the window's design places them (twips) ----
  FrameModel Frame1;
  ProgressBarModel ProgressBar1;
  ListViewModel ListView1;
  PushButtonModel PushButton7;
  PushButtonModel PushButton8;
  PushButtonModel PushButton9;
  FrameModel Frame3;
  OptionButtonModel Option3;
  OptionButtonModel Option4;
  CheckBoxModel Check6;
  CheckBoxModel Check4;
  CheckBoxModel Check8;
  ListViewModel ListView2;
  FrameModel Frame2;
  TextBoxModel Text5;
  PushButtonModel PushButton1;
  PushButtonModel PushButton2;
  PushButtonModel PushButton5;
  PushButtonModel PushButton6;
  PushButtonModel PushButton3;
  PushButtonModel PushButton4;
  PushButtonModel PushButton11;
  PushButtonModel PushButton12;
  TimerModel Timer1;
  cSysTray cSysTray1;

  // ---- window-level state ----
  bool IsLoading = false;
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
  bool TrayNoticeShown = false;
  // Set by the close request: the view destroys the window and the program ends.
  bool Unloaded() const { return unloaded_; }

  // ---- start-up, close, minimise (shell) ----
  void Form_Load();
  // The session may be about to end: stores what the close request would, and nothing else,
  // because another program may still cancel the shutdown.
  void Form_QueryEndSession();
  void Form_QueryUnload();
  void Form_Unload();
  void Form_Resize();

  // The handlers below are short error-trap sequences over the subsystems; each subsystem
  // gets only the controls and services it uses.

  // ---- folder list and destination (folders) ----
  void ListView1_DblClick();
  // Delete removes the selected entry; Alt+Up and Alt+Down move it one place.
  void ListView1_KeyDown(Key key, int shift);
  // A press on the folder list: `entry` is the one under the pointer, 0 for none.
  void ListView1_MouseDown(int entry);
  // The mouse moved over the folder list; answers the entry to scroll into view, 0 for none.
  int ListView1_MouseMove(const ListRows& rows);
  void ListView1_MouseUp();
  // Something dragged from another program is over the folder list, or dropped on it.
  DropEffect ListView1_OLEDragOver(bool offers_file_list, const OfferedEffects& allowed);
  void ListView1_OLEDragDrop(const std::vector<std::string>& paths);
  void PushButton7_Click();  // Add Folder
  void PushButton8_Click();  // Clear List
  void PushButton9_Click();  // Load Sample/Example Folders
  void Text5_Change();
  void Text5_GotFocus();
  void PushButton1_Click();  // "..."
  void PushButton2_Click();  // View This Folder

  // ---- scheduler ----
  void Timer1_Timer();
  void ListView2_Click();
  // The user moved the interval selection (mouse or keyboard).
  void ListView2_ItemSelected();
  void PushButton5_Click();  // auto backup on/off
  void PushButton6_Click();  // Backup Now

  // ---- history ----
  void PushButton3_Click();   // View History Log
  void PushButton4_Click();   // Copy History To Clipboard
  void PushButton12_Click();  // Clear History Log

  // ---- options ----
  void Check4_Click();
  void Check6_Click();
  void Check8_Click();
  void Option3_Click();
  void Option4_Click();

  // ---- tray ----
  void cSysTray1_MouseUp(int button, int id);

  // The program was started again in this session: this copy shows its window, in its normal
  // state, also from the tray, and the new start ends.
  void OnSecondStart();

  // ---- appearance ----
  void ApplySkin();
  void PushButton11_Click();  // Help
  // The mouse moved over a push button (every one shares this handler) or over a background
  // area: the window itself, a frame, either list or the destination box.
  void PushButton_MouseMove();
  void Background_MouseMove();

  // The subsystems behind the handlers, for tests.
  HistoryLog& History() { return history_; }
  BackupRun& Backup() { return backup_; }
  Countdown& Schedule() { return countdown_; }

 private:
  // A trap whose reports name the handler: "in Tessaline2021/08/31.Form1.<handler> ".
  ErrorTrap Trap(const char* handler);
  // The program's own folder, without a trailing backslash except at a drive root.
  std::string AppPath();
  void NotifyWindow() const {
    if (window_view_) window_view_();
  }
  Services services_;
  ProgramSettings settings_;
  HistoryLog history_;
  FolderList folders_;
  SampleFolders samples_;
  Destination destination_;
  OptionControls options_;
  BackupRun backup_;
  Countdown countdown_;
  Pointer mouse_pointer_ = Pointer::kDefault;
  std::string caption_ = "Form1";
  WindowState window_state_ = WindowState::kNormal;
  bool visible_ = true;
  unsigned back_color_ = kWhite;
  std::string custom_cursor_path_;
  bool unloaded_ = false;
  std::function<void()> window_view_;
};

}  // namespace tess
