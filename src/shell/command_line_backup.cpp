#include "shell/command_line_backup.h"

#include <exception>
#include <string>
#include <vector>

#include "backup/backup_run.h"
#include "base/platform_error.h"
#include "folders/destination.h"
#include "folders/folder_text.h"
#include "history/history_log.h"
#include "options/option_controls.h"
#include "ports/console.h"
#include "ports/dialogs.h"
#include "ports/environment.h"
#include "ports/program_settings.h"
#include "shell/command_line.h"
#include "tray/latest_outcome.h"

namespace tess {

namespace {

// Boxes and failure reports as lines on the console: nobody is there to press OK, and a run
// from Task Scheduler must never wait for a click.
class ConsoleDialogs : public Dialogs {
 public:
  explicit ConsoleDialogs(Console& console) : console_(console) {}
  BoxResult MessageBox(const std::string& text, const std::string& title, BoxButtons buttons,
                       BoxIcon) override {
    if (title == kApplicationErrorTitle) ++failures_reported_;
    console_.WriteLine(title.empty() ? text : title + ": " + text);
    // A question is answered with the choice that changes nothing.
    return buttons == BoxButtons::kYesNo ? BoxResult::kNo : BoxResult::kOk;
  }
  void SetApplicationTitle(const std::string&) override {}
  void SetClipboardText(const std::string&) override {
    throw PlatformError(kErrPermissionDenied, "Permission denied");
  }
  int FailuresReported() const { return failures_reported_; }

 private:
  Console& console_;
  int failures_reported_ = 0;
};

}  // namespace

std::string StoredDestination(ProgramSettings& settings, Shell& shell) {
  std::string desktop;
  try {
    desktop = GetDesktopFolder(shell);
  } catch (const std::exception&) {
  }
  return settings.GetSetting(kKeyPath, desktop);
}

int RunBackupFromCommandLine(CommandLineServices s) {
  ConsoleDialogs dialogs(s.console);
  ProgramSettings settings(s.settings);
  std::vector<std::string> entries;
  std::string destination;
  RunChoices choices;
  try {
    entries = SplitFolderEntries(settings.GetSetting(kKeyFolders, ""));
    destination = StoredDestination(settings, s.shell);
    choices = StoredRunChoices(settings);
  } catch (const std::exception& e) {
    s.console.WriteLine(std::string("The stored settings cannot be read: ") + e.what());
    return kExitNothingRan;
  }

  HistoryLog history(s.files, s.shell, dialogs, s.pump);
  history.Locate(s.environment.Variable("TEMP"));
  BackupRun run({.entries = [&] { return entries; },
                 .destination = [&] { return destination; },
                 .choices = [&] { return choices; },
                 .status = [](const std::string&) {},
                 .tell = [&](const std::string& line) { s.console.WriteLine(line); },
                 .progress = [&](const std::string& text, int) { s.console.ShowProgress(text); }},
                {.files = s.files,
                 .pump = s.pump,
                 .clock = s.clock,
                 .dialogs = dialogs,
                 .history = history,
                 .copy = s.copy,
                 .settings = &settings,
                 .hash = s.hash,
                 .environment = &s.environment});
  // Nobody may be there to answer: what a window would show in a box goes to the history log.
  const RunOutcome outcome = run.SaveAll(Attendance::kUnattended);
  s.console.WriteLine(outcome.final_status);
  // The window's tray tells how the latest run went, this one included.
  StoreLatestOutcome(settings, outcome.final_status, outcome.Clean());
  if (s.outcome_stored) s.outcome_stored();
  return BackupExitCode(outcome, static_cast<int>(entries.size()), dialogs.FailuresReported());
}

}  // namespace tess
