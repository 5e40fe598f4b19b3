// The start-up sequence: every saved choice goes back into the window's controls, each step
// under the window's error trap so one bad value never stops the rest.
#include <string>
#include <vector>

#include "base/conversions.h"
#include "base/error_trap.h"
#include "base/path_text.h"
#include "base/platform_error.h"
#include "base/product.h"
#include "folders/folder_text.h"
#include "history/history_log.h"
#include "platform/dialogs.h"
#include "platform/environment.h"
#include "platform/file_queries.h"
#include "platform/program_settings.h"
#include "schedule/intervals.h"
#include "shell/form1.h"
#include "shell/startup.h"

namespace tess {

namespace {
constexpr char kFormLoadLocation[] = "in Tessaline2021/08/31.Form1.Form_Load ";
constexpr int kColumnWidthTwips = 7000;
constexpr char kCursorFile[] = "HAND-M.CUR";
}  // namespace

void Form1::Form_Load() {
  ErrorTrap trap(Svc().dialogs, kFormLoadLocation);
  trap.Step(100, [&] { ApplySkin(); });
  trap.Step(102, [&] { IsLoading = true; });
  trap.Step(104, [&] { SetCaption(kProductName); });
  trap.Step(106, [&] { SetApplicationTitle(Svc().dialogs); });
  trap.Step(108, [&] { VisitWebSiteAtRandom(Svc().clock, Svc().shell); });
  trap.Step(110, [&] {
    const std::string cursor = WithTrailingBackslash(AppPath()) + kCursorFile;
    if (PathExists(Svc().files, cursor)) {
      custom_cursor_path_ = cursor;
      NotifyWindow();
    }
  });
  folders_.Restore(trap);  // steps 112 to 118
  trap.Step(120, [&] { destination_.Restore(); });
  countdown_.Restore(trap);  // steps 122 to 136
  trap.Step(138, [&] {
    cSysTray1.SetTrayTip(kProductName);
    cSysTray1.SetInTray(true);
  });
  options_.Restore(trap);  // steps 140 to 148
  trap.Step(150, [&] {
    if (Check8.Checked()) SetWindowState(WindowState::kMinimized);
  });
  trap.Step(152, [&] { history_.Locate(Svc().environment.Variable("TEMP")); });
  trap.Step(154, [&] { IsLoading = false; });
}

}  // namespace tess
