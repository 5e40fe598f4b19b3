// The automatic-backup switch and Backup Now.
#include "shell/error_trap.h"
#include "shell/form1.h"
#include "shell/settings_keys.h"

namespace tess {

namespace {
constexpr char kTurnOn[] = "Turn On Auto Backup";
constexpr char kTurnOff[] = "Turn Off Auto Backup";
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

void Form1::PushButton6_Click() {
  // Backup Now: filled in with the backup run.
}

}  // namespace tess
