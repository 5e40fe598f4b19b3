// Closing and minimising the main window, and bringing it back from the tray.
#include "base/product.h"
#include "ports/event_pump.h"
#include "shell/main_form.h"

namespace tess {

namespace {
constexpr char kTrayNotice[] =
    "has been minimized to the system tray.\r\nClick on the blue 'Q' icon (Q for Quintaro) to "
    "bring the software back.";
constexpr int kTrayNoticeSeconds = 5;
}  // namespace

void MainForm::OnQueryEndSession() {
  ErrorTrap trap = Trap(labels::kQueryEndSession);
  trap.Step(102, [&] { folders_.Store(); });
}

void MainForm::OnQueryUnload() {
  ErrorTrap trap = Trap(labels::kQueryUnload);
  trap.Step(102, [&] { folders_.Store(); });
  trap.Step(104, [&] { timer.SetInterval(0); });
  trap.Step(106, [&] { tray_icon.SetInTray(false); });
  trap.Step(108, [&] {
    services_.pump.ProcessPendingEvents();
    services_.pump.ProcessPendingEvents();
  });
}

void MainForm::OnUnload() { unloaded_ = true; }

// The first minimise of a run hides the window in the tray, once, with a notice; later ones
// leave it minimised on the taskbar. So does a minimise while the shell shows no icon (none
// running yet at log-on): a window hidden then could never be brought back. It did not go to
// the tray, so a later minimise, with the icon there, still may.
void MainForm::OnResize() {
  if (window_state_ != WindowState::kMinimized) return;
  if (tray_notice_shown) return;
  if (!tray_icon.IconShown()) return;
  SetVisible(false);
  SetWindowState(WindowState::kNormal);
  tray_notice_shown = true;
  tray_icon.ShowBalloon(kTrayNotice, kProductName, kTrayNoticeSeconds, true);
}

void MainForm::OnTrayIconMouseUp(int button, int /*id*/) {
  if (button != TrayIcon::kLeftButton) return;
  if (window_state_ == WindowState::kMinimized || !visible_) {
    SetWindowState(WindowState::kNormal);
    SetVisible(true);
  }
}

void MainForm::OnSecondStart() {
  SetWindowState(WindowState::kNormal);
  SetVisible(true);
}

}  // namespace tess
