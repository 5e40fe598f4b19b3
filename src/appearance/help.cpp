#include "appearance/help.h"

#include <string>

#include "base/product.h"
#include "ports/dialogs.h"

namespace tess {

void ShowHelp(Dialogs& dialogs) {
  dialogs.MessageBox(
      std::string("Questions? Please contact Team Quintaro at ") + kContactPageAddress, "",
      BoxButtons::kOk, BoxIcon::kNone);
}

}  // namespace tess
