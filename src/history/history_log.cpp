#include "history/history_log.h"

#include <optional>

#include "base/error_trap.h"
#include "base/product.h"
#include "base/text.h"
#include "history/log_forms.h"
#include "ports/dialogs.h"
#include "ports/file_queries.h"
#include "ports/file_system.h"
#include "ports/shell.h"

namespace tess {

std::string ComputeHistoryLogPath(const std::string& temp_folder) {
  return temp_folder + "\\" + RemoveFileNameChars(StripTrailingWord(kProductName, "Software")) +
         ".txt";
}

void HistoryLog::AppendHistoryLine(const std::string& line) { AppendLogLine(files_, path_, line); }

void HistoryLog::View(ErrorTrap& trap) {
  if (trap.Test(100, [&] { return PathExists(files_, path_); })) {
    // The editor gets the path as one quoted argument, so blanks in TEMP do no harm.
    trap.Step(102, [&] { shell_.StartProcess(TextEditorPath(shell_), path_, false); });
    return;
  }
  trap.Step(104,
            [&] { dialogs_.MessageBox(kNoHistoryMessage, "", BoxButtons::kOk, BoxIcon::kNone); });
}

void HistoryLog::CopyToClipboard(ErrorTrap& trap) {
  if (!trap.Test(100, [&] { return PathExists(files_, path_); })) return;
  // The whole file goes straight to the clipboard; a log that could not be read leaves the
  // clipboard as it was rather than putting stale or empty text there.
  std::optional<std::string> text;
  trap.Step(102, [&] { text = ReadLogText(files_, path_); });
  trap.Step(108, [&] {
    if (text) dialogs_.SetClipboardText(*text);
  });
}

bool HistoryLog::Clear(ErrorTrap& trap) {
  if (!trap.Test(100, [&] {
        return dialogs_.MessageBox(kClearHistoryQuestion, "", BoxButtons::kYesNo, BoxIcon::kNone) ==
               BoxResult::kYes;
      })) {
    return false;
  }
  trap.Step(102, [&] { DeleteFileWithFallback(files_, pump_, path_); });
  return true;
}

}  // namespace tess
