// The folder list: removal by double-click or Delete, Clear List, and keeping the stored copy
// current after every change so a crash or a kill loses nothing the user did.
#include "base/error_trap.h"
#include "folders/folder_text.h"
#include "platform/dialogs.h"
#include "platform/program_settings.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr int kDeleteKey = 46;
}

void Form1::StoreFolderList() {
  try {
    SaveSetting(kKeyFolders, JoinFolderEntries(ListView1.Items()));
  } catch (...) {
    // The close request writes the list again and reports a failure there.
  }
}

void Form1::ListView1_DblClick() {
  if (MousePointer() == Pointer::kHourglass) return;
  if (ListView1.Count() == 0 || ListView1.Selected() == 0) return;
  ListView1.Remove(ListView1.Selected());
  StoreFolderList();
}

void Form1::ListView1_KeyDown(int key_code, int /*shift*/) {
  if (key_code == kDeleteKey) ListView1_DblClick();
}

void Form1::PushButton8_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton8_Click ");
  trap.Step(100, [&] {
    if (MousePointer() == Pointer::kHourglass) return;
    ListView1.Clear();
    StoreFolderList();
  });
}

}  // namespace tess
