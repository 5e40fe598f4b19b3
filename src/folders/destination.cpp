// The destination folder: the text box is the one source of truth and "Path" mirrors it.
#include "base/error_trap.h"
#include "platform/dialogs.h"
#include "platform/program_settings.h"
#include "platform/shell.h"
#include "shell/form1.h"

namespace tess {

void Form1::Text5_Change() { SaveSetting(kKeyPath, Text5.Text()); }

void Form1::Text5_GotFocus() { Text5.SetSelection(0, static_cast<int>(Text5.Text().size())); }

void Form1::PushButton1_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton1_Click ");
  std::string chosen;
  trap.Step(100, [&] {
    const std::string last_folder = GetSetting(kKeyLastFolder, "");
    chosen = Svc().shell.BrowseForFolder("Please select folder:", last_folder);
  });
  if (trap.Test(102, [&] { return chosen.empty(); })) return;
  trap.Step(104, [&] { Text5.SetText(chosen); });
}

void Form1::PushButton2_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton2_Click ");
  trap.Step(100, [&] { Svc().shell.StartProcess("explorer", Text5.Text(), false); });
}

}  // namespace tess
