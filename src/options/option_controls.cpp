// The option controls save their state the moment it changes; two also change other controls.
#include "options/startup_entry.h"
#include "platform/environment.h"
#include "platform/program_settings.h"
#include "shell/form1.h"

namespace tess {

void Form1::Check4_Click() {
  if (IsLoading) return;
  if (Check4.Checked()) {
    Check8.SetVisible(true);
    SaveSetting(kKeyWindowsStartup, kOn);
    AddToWindowsStartup(Svc().registry, Svc().environment.ModulePath());
  } else {
    Check8.SetValue(0);
    Check8.SetVisible(false);
    SaveSetting(kKeyWindowsStartup, kOff);
    RemoveFromWindowsStartup(Svc().registry, Svc().environment.ModulePath());
  }
}

void Form1::Check8_Click() { SaveSetting(kKeyMinimized, Check8.Checked() ? kOn : kOff); }

void Form1::Check6_Click() {
  if (Check6.Checked()) {
    SaveSetting(kKeyIncludeDate, kOn);
    Option3.SetEnabled(true);
    Option4.SetEnabled(true);
  } else {
    Option3.SetEnabled(false);
    Option4.SetEnabled(false);
    SaveSetting(kKeyIncludeDate, kOff);
  }
}

void Form1::Option3_Click() { SaveSetting(kKeyBackupOption, "1"); }

void Form1::Option4_Click() { SaveSetting(kKeyBackupOption, "2"); }

}  // namespace tess
