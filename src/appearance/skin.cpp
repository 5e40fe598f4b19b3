// The optional skin: present only when its file ships beside the program. There is no skin
// engine, so applying it means the system's button-face colours instead of white.
#include "base/path_text.h"
#include "platform/file_system.h"
#include "shell/form1.h"

namespace tess {

void Form1::ApplySkin() {
  const std::string skin = WithTrailingBackslash(AppPath()) + "x\\o.cjs";
  if (!Svc().files.OrdinaryFileExists(skin)) return;
  SetBackColor(kButtonFace);
}

}  // namespace tess
