#include "shell/startup.h"

#include <cmath>

#include "base/product.h"
#include "ports/clock.h"
#include "ports/dialogs.h"
#include "ports/shell.h"

namespace tess {

std::string ApplicationTitleFor(const std::string& product_name) {
  std::string title = product_name;
  do {
    const auto blank = title.rfind(' ');
    if (blank == std::string::npos) break;  // one word: nothing to cut, keep it whole
    title = title.substr(0, blank);
  } while (title.size() > 40);
  return title;
}

void SetApplicationTitle(Dialogs& dialogs) {
  dialogs.SetApplicationTitle(ApplicationTitleFor(kProductName));
}

bool VisitWebSiteAtRandom(Clock& clock, Shell& shell) {
  const int draw = static_cast<int>(std::floor(clock.RandomFraction() * 100)) + 1;
  if (draw != 7) return false;
  shell.StartProcess(FileManagerPath(shell), kWebSiteAddress, true);
  return true;
}

}  // namespace tess
