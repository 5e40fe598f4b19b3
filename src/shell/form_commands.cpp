// The window's commands: each handler is one error trap, named after the handler, whose
// numbered steps call the subsystem that owns the work.
#include "base/error_trap.h"
#include "platform/dialogs.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr char kLocation[] = "in Tessaline2021/08/31.Form1.";
}  // namespace

ErrorTrap Form1::Trap(const char* handler) {
  return ErrorTrap(services_.dialogs, std::string(kLocation) + handler + " ");
}

void Form1::PushButton3_Click() {
  ErrorTrap trap = Trap("PushButton3_Click");
  history_.View(trap);
}

void Form1::PushButton4_Click() {
  ErrorTrap trap = Trap("PushButton4_Click");
  history_.CopyToClipboard(trap);
}

void Form1::PushButton12_Click() {
  ErrorTrap trap = Trap("PushButton12_Click");
  if (!history_.Clear(trap)) return;
  // Starting over empties the folder list too.
  trap.Step(104, [&] {
    ListView1.Clear();
    StoreFolderList();
  });
}

}  // namespace tess
