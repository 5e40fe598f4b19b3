#include "base/error_trap.h"
#include "base/product.h"
#include "platform/dialogs.h"
#include "shell/form1.h"

namespace tess {

void Form1::PushButton11_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton11_Click ");
  trap.Step(100, [&] {
    Svc().dialogs.MessageBox(
        std::string("Questions? Please contact Team Quintaro at ") + kContactPageAddress, "",
        BoxButtons::kOk, BoxIcon::kNone);
  });
}

}  // namespace tess
