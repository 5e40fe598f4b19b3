// The start-up sequence: every saved choice goes back into the window's controls, each step
// under the window's error trap so one bad value never stops the rest. The subsystems restore
// their own controls as numbered steps of the same trap.
#include "appearance/pointer.h"
#include "base/product.h"
#include "ports/environment.h"
#include "shell/main_form.h"
#include "shell/startup.h"

namespace tess {

void MainForm::OnLoad() {
  ErrorTrap trap = Trap(labels::kLoad);
  trap.Step(100, [&] { ApplySkin(); });
  trap.Step(102, [&] { is_loading = true; });
  trap.Step(104, [&] { SetCaption(kProductName); });
  trap.Step(106, [&] { SetApplicationTitle(services_.dialogs); });
  trap.Step(108, [&] { VisitWebSiteAtRandom(services_.clock, services_.shell); });
  trap.Step(110, [&] {
    // The folder list's drag pointer comes from the same folder as the window's hand.
    folder_list.SetMouseIcon(DragCursorIn(services_.files, AppPath()));
    const std::string cursor = CustomCursorIn(services_.files, AppPath());
    if (cursor.empty()) return;
    custom_cursor_path_ = cursor;
    NotifyWindow();
  });
  folders_.Restore(trap);  // steps 112 to 118
  trap.Step(120, [&] { destination_.Restore(); });
  // The log's place is known before the timer can start: a tick inside an error box below, or
  // inside the balloon wait of a start in the tray, may run a timed backup that logs.
  trap.Step(121, [&] { history_.Locate(services_.environment.Variable("TEMP")); });
  countdown_.Restore(trap);  // steps 122 to 137
  trap.Step(138, [&] {
    tray_icon.SetTrayTip(kProductName);
    tray_icon.SetInTray(true);
  });
  // The tip and the icon tell how the latest run went, whenever it ran.
  trap.Step(139, [&] { latest_outcome_.Restore(); });
  options_.Restore(trap);  // steps 140 to 149
  // Loading is over before the minimise: its balloon wait lets the user bring the window back
  // and use it, and a click on "Load this software on Windows startup" must then count.
  trap.Step(150, [&] { is_loading = false; });
  trap.Step(152, [&] {
    if (start_in_tray_box.Checked()) SetWindowState(WindowState::kMinimized);
  });
}

}  // namespace tess
