// Add Folder: the shell's folder-browse dialog appends its choice to the list.
#include "base/error_trap.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "shell/form1.h"

namespace tess {

void Form1::PushButton7_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton7_Click ");
  std::string chosen;
  trap.Step(100, [&] { chosen = Svc().shell.BrowseForFolder("Browse for folder:", ""); });
  if (trap.Test(102, [&] { return chosen.empty(); })) return;
  trap.Step(104, [&] {
    ListView1.Append(chosen);
    StoreFolderList();
  });
}

}  // namespace tess
