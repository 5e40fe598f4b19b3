// Closing and minimising the main window, and bringing it back from the tray.
#include "base/product.h"
#include "ports/event_pump.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr char kTrayNotice[] =
    "has been minimized to the system tray.\r\nClick on the blue 'Q' icon (Q for Quintaro) to "
    "bring the software back.";
constexpr int kTrayNoticeSeconds = 5;
}  // namespace

void Form1::Form_QueryEndSession() {
  ErrorTrap trap = Trap("Form_QueryEndSession");
  trap.Step(102, [&] { folders_.Store(); });
}

void Form1::Form_QueryUnload() {
  ErrorTrap trap = Trap("Form_QueryUnload");
  trap.Step(102, [&] { folders_.Store(); });
  trap.Step(104, [&] { Timer1.SetInterval(0); });
  trap.Step(106, [&] { cSysTray1.SetInTray(false); });
  trap.Step(108, [&] {
    services_.pump.ProcessPendingEvents();
    services_.pump.ProcessPendingEvents();
  });
}

void Form1::Form_Unload() { unloaded_ = true; }

// The first minimise of a run hides the window in the tray, once, with a notice; later ones
// leave it minimised on the taskbar. So does a minimise while the shell shows no icon (none
// running yet at log-on): a window hidden then could never be brought back. It did not go to
// the tray, so a later minimise, with the icon there, still may.
void Form1::Form_Resize() {
  if (window_state_ != WindowState::kMinimized) return;
  if (TrayNoticeShown) return;
  if (!cSysTray1.IconShown()) return;
  SetVisible(false);
  SetWindowState(WindowState::kNormal);
  TrayNoticeShown = true;
  cSysTray1.ShowBalloon(kTrayNotice, kProductName, kTrayNoticeSeconds, true);
}

void Form1::cSysTray1_MouseUp(int button, int /*id*/) {
  if (button != cSysTray::kLeftButton) return;
  if (window_state_ == WindowState::kMinimized || !visible_) {
    SetWindowState(WindowState::kNormal);
    SetVisible(true);
  }
}

void Form1::OnSecondStart() {
  SetWindowState(WindowState::kNormal);
  SetVisible(true);
}

}  // namespace tess
