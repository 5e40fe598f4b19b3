#include "ports/dialogs.h"

namespace tess {

void Dialogs::ShowApplicationError(const std::string& text) {
  MessageBox(text, kApplicationErrorTitle, BoxButtons::kOk, BoxIcon::kExclamation);
}

}  // namespace tess
