// The automatic-backup switch and Backup Now.
#include <string>

#include "backup/path_rules.h"
#include "base/error_trap.h"
#include "platform/dialogs.h"
#include "platform/program_settings.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr char kTurnOn[] = "Turn On Auto Backup";
constexpr char kTurnOff[] = "Turn Off Auto Backup";
constexpr char kBackingUp[] = "Backing up files...";
constexpr char kProgressBarText[] = "Progress Bar";
constexpr double kStatusHoldSeconds = 5;
}  // namespace

void Form1::PushButton5_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton5_Click ");
  if (trap.Test(100, [&] { return PushButton5.Caption() == kTurnOn; })) {
    trap.Step(102, [&] { PushButton5.SetCaption(kTurnOff); });
    trap.Step(104, [&] { Timer1.SetInterval(1000); });
    trap.Step(106, [&] { SaveSetting(kKeyStartStopState, kOn); });
  } else if (trap.Test(108, [&] { return PushButton5.Caption() == kTurnOff; })) {
    trap.Step(110, [&] { PushButton5.SetCaption(kTurnOn); });
    trap.Step(112, [&] { Timer1.SetInterval(0); });
    trap.Step(114, [&] { SaveSetting(kKeyStartStopState, kOff); });
  }
}

// Runs one backup at once under the busy pointer, leaves the run's own status in view for a
// few seconds, then puts back what the status line said before.
void Form1::PushButton6_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton6_Click ");
  std::string before;
  trap.Step(100, [&] { before = Frame1.Caption(); });
  trap.Step(102, [&] { Frame1.SetCaption(kBackingUp); });
  trap.Step(104, [&] { SetMousePointer(Pointer::kHourglass); });
  trap.Step(106, [&] { backup_.SaveAll(); });
  trap.Step(108, [&] { SetMousePointer(Pointer::kDefault); });
  trap.Step(110, [&] {
    ProgressBar1.SetValue(0);
    ProgressBar1.SetText(kProgressBarText);
  });
  trap.Step(112, [&] { Pause(kStatusHoldSeconds, Svc().clock, Svc().pump); });
  trap.Step(114, [&] { Frame1.SetCaption(before); });
}

}  // namespace tess
