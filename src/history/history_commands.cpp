// View, copy and clear the history log.
#include <optional>
#include <string>

#include "base/error_trap.h"
#include "history/history_log.h"
#include "platform/dialogs.h"
#include "platform/file_queries.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr char kTextEditor[] = "notepad";
}  // namespace

void Form1::PushButton3_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton3_Click ");
  if (trap.Test(100, [&] { return PathExists(Svc().files, HistoryLogPath); })) {
    // The editor gets the path as one quoted argument, so blanks in TEMP do no harm.
    trap.Step(102, [&] { Svc().shell.StartProcess(kTextEditor, HistoryLogPath, false); });
    return;
  }
  trap.Step(104, [&] {
    Svc().dialogs.MessageBox(kNoHistoryMessage, "", BoxButtons::kOk, BoxIcon::kNone);
  });
}

void Form1::PushButton4_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton4_Click ");
  if (!trap.Test(100, [&] { return PathExists(Svc().files, HistoryLogPath); })) return;
  // The whole file goes straight to the clipboard; a log that could not be read leaves the
  // clipboard as it was rather than putting stale or empty text there.
  std::optional<std::string> text;
  trap.Step(102, [&] { text = Svc().files.ReadAnsiText(HistoryLogPath); });
  trap.Step(108, [&] {
    if (text) Svc().dialogs.SetClipboardText(*text);
  });
}

void Form1::PushButton12_Click() {
  ErrorTrap trap(Svc().dialogs, "in Tessaline2021/08/31.Form1.PushButton12_Click ");
  if (!trap.Test(100, [&] {
        return Svc().dialogs.MessageBox(kClearHistoryQuestion, "", BoxButtons::kYesNo,
                                        BoxIcon::kNone) == BoxResult::kYes;
      })) {
    return;
  }
  trap.Step(102, [&] { DeleteFileWithFallback(Svc().files, Svc().pump, HistoryLogPath); });
  trap.Step(104, [&] {
    ListView1.Clear();
    StoreFolderList();
  });
}

}  // namespace tess
