#include "shell/form1.h"

#include "base/path_text.h"
#include "base/product.h"
#include "ports/environment.h"
#include "ports/program_settings.h"

namespace tess {

namespace {
constexpr char kListView1ToolTip[] =
    "Drag and drop files here. Double-click item to remove it. Move | line to right and out "
    "of window to reveal full names.";
}  // namespace

Form1::Form1(Services services)
    : Frame1({120, 60, 7800, 850}, "Next backup will occur in xx:xx:xx"),
      ProgressBar1({240, 300, 7320, 405}),
      ListView1({120, 1020, 7800, 1575}),
      PushButton7({120, 2685, 7800, 405}, "Add Folder"),
      PushButton8({120, 3195, 3840, 405}, "Clear List"),
      PushButton9({4080, 3195, 3840, 405}, "Load Sample/Example Folders"),
      Frame3({120, 3675, 7800, 2080}, "Options"),
      Option3({240, 300, 4455, 255}, "Create new folder on backup"),
      Option4({225, 650, 3840, 255}, "Overwrite old backup folder on backup"),
      Check6({240, 1000, 3810, 255}, "Date/Time stamp in folder"),
      Check4({240, 1350, 3690, 255}, "Load this software on Windows startup"),
      Check8({240, 1700, 2100, 255}, "Start in system tray"),
      ListView2({8040, 120, 7800, 2790}),
      Frame2({8040, 2940, 7800, 1300}, "Save All Backups To This Folder"),
      Text5({240, 300, 6615, 345}),
      PushButton1({6960, 300, 600, 345}, "..."),
      PushButton2({240, 750, 7320, 405}, "View This Folder"),
      PushButton5({8040, 4350, 3840, 405}, "Turn On Auto Backup"),
      PushButton6({12000, 4350, 3840, 405}, "Backup Now (Test)"),
      PushButton3({8040, 4860, 3840, 405}, "View History Log"),
      PushButton4({12000, 4860, 3840, 405}, "Copy History To Clipboard"),
      PushButton11({8040, 5370, 3840, 405}, "Help"),
      PushButton12({12000, 5370, 3840, 405}, "Clear History Log"),
      cSysTray1(services.notify_icon, services.clock, services.pump),
      services_(services),
      settings_(services.settings),
      history_(services.files, services.shell, services.dialogs, services.pump),
      folders_(ListView1, settings_, services.shell),
      samples_(
          folders_,
          {services.files, services.pump, services.dialogs, services.shell, services.environment},
          [this](bool busy) { SetMousePointer(busy ? Pointer::kHourglass : Pointer::kDefault); }),
      destination_(Text5, settings_, services.shell),
      options_({Check4, Check6, Check8, Option3, Option4}, settings_, services.registry,
               services.environment),
      backup_({ListView1, [this] { return destination_.Text(); },
               [this] { return options_.Stamp(); }, Frame1},
              {services.files, services.pump, services.clock, services.dialogs, history_}),
      countdown_({ListView2, Timer1, ProgressBar1, Frame1, PushButton5}, settings_, services.pump,
                 services.clock, backup_) {
  ListView1.SetToolTip(kListView1ToolTip);
  Option3.SetPartner(&Option4);
  Option4.SetPartner(&Option3);
  Check4.on_click = [this] { Check4_Click(); };
  Check6.on_click = [this] { Check6_Click(); };
  Check8.on_click = [this] { Check8_Click(); };
  Option3.on_click = [this] { Option3_Click(); };
  Option4.on_click = [this] { Option4_Click(); };
  Text5.on_change = [this] { Text5_Change(); };
  cSysTray1.MouseUp = [this](int button, int id) { cSysTray1_MouseUp(button, id); };
  // The control's stored design puts the icon in the tray as the window is created, with the
  // program's icon and name: the shell never sees a default tip or an icon without a picture.
  cSysTray1.SetTrayTip(kProductName);
  cSysTray1.SetTrayIcon(services.notify_icon.ProgramIcon());
  cSysTray1.SetInTray(true);
}

void Form1::SetMousePointer(Pointer pointer) {
  if (mouse_pointer_ == pointer) return;
  mouse_pointer_ = pointer;
  NotifyWindow();
}

void Form1::SetCaption(const std::string& caption) {
  caption_ = caption;
  NotifyWindow();
}

void Form1::SetWindowState(WindowState state) {
  if (window_state_ == state) return;
  window_state_ = state;
  NotifyWindow();
  Form_Resize();
}

void Form1::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  NotifyWindow();
}

void Form1::SetBackColor(unsigned color) {
  back_color_ = color;
  NotifyWindow();
}

std::string Form1::AppPath() { return FolderOf(services_.environment.ModulePath()); }

}  // namespace tess
