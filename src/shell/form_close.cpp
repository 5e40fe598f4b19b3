// Closing and minimising the main window.
#include "base/error_trap.h"
#include "base/product.h"
#include "folders/folder_text.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/program_settings.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr char kQueryUnloadLocation[] = "in Tessaline2021/08/31.Form1.Form_QueryUnload ";
constexpr char kTrayNotice[] =
    "has been minimized to the system tray.\r\nClick on the blue 'Q' icon (Q for Quintaro) to "
    "bring the software back.";
}  // namespace

void Form1::Form_QueryUnload() {
  ErrorTrap trap(Svc().dialogs, kQueryUnloadLocation);
  trap.Step(102, [&] { folders_.Store(); });
  trap.Step(104, [&] { Timer1.SetInterval(0); });
  trap.Step(106, [&] { cSysTray1.SetInTray(false); });
  trap.Step(108, [&] {
    Svc().pump.ProcessPendingEvents();
    Svc().pump.ProcessPendingEvents();
  });
}

void Form1::Form_Resize() {
  if (window_state_ != WindowState::kMinimized) return;
  if (TrayNoticeShown) return;
  SetVisible(false);
  SetWindowState(WindowState::kNormal);
  TrayNoticeShown = true;
  cSysTray1.ShowBalloon(kTrayNotice, kProductName, 5, true);
}

void Form1::cSysTray1_MouseUp(int button, int /*id*/) {
  if (button != 1) return;
  if (window_state_ == WindowState::kMinimized || !visible_) {
    SetWindowState(WindowState::kNormal);
    SetVisible(true);
  }
}

}  // namespace tess
