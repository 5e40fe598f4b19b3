#include "shell/command_line_backup.h"

#include <exception>
#include <string>

#include "backup/backup_run.h"
#include "base/conversions.h"
#include "base/platform_error.h"
#include "controls/controls.h"
#include "folders/destination.h"
#include "folders/folder_text.h"
#include "history/history_log.h"
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

// The naming the option controls would restore: the stamp box from "Include Date", the mode
// from "Backup Option" ("1" creates new folders; anything else, a text that is no number
// included, overwrites).
FolderStamp StoredStamp(ProgramSettings& settings) {
  if (settings.GetSetting(kKeyIncludeDate, kOn) != kOn) return FolderStamp::kNone;
  short option = 0;
  try {
    option = ToInteger16(settings.GetSetting(kKeyBackupOption, "1"));
  } catch (const std::exception&) {
    option = 0;
  }
  return option == 1 ? FolderStamp::kDateAndTime : FolderStamp::kDate;
}

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
  ListViewModel entries({0, 0, 0, 0});
  std::string destination;
  FolderStamp stamp = FolderStamp::kNone;
  try {
    for (const std::string& entry : SplitFolderEntries(settings.GetSetting(kKeyFolders, ""))) {
      entries.Append(entry);
    }
    destination = StoredDestination(settings, s.shell);
    stamp = StoredStamp(settings);
  } catch (const std::exception& e) {
    s.console.WriteLine(std::string("The stored settings cannot be read: ") + e.what());
    return kExitNothingRan;
  }

  HistoryLog history(s.files, s.shell, dialogs, s.pump);
  history.Locate(s.environment.Variable("TEMP"));
  CaptionModel status({0, 0, 0, 0}, "");
  // Read as the window's run reads them; a setting that cannot be read leaves links on and
  // keeps every backup folder, as when it was never written.
  BackupRun run(
      {entries, [&] { return destination; }, [&] { return stamp; }, status,
       [&] { return settings.GetSetting(kKeySnapshotLinks, kOn) != kOff; },
       [&](const std::string& line) { s.console.WriteLine(line); },
       [&] {
         return stamp != FolderStamp::kNone &&
                settings.GetSetting(kKeyKeepFewerBackups, kOff) == kOn;
       },
       [&](const std::string& text, int) { s.console.ShowProgress(text); }},
      {s.files, s.pump, s.clock, dialogs, history, s.copy, &settings, s.hash, &s.environment});
  // Nobody may be there to answer: what a window would show in a box goes to the history log.
  const RunOutcome outcome = run.SaveAll(Attendance::kUnattended);
  s.console.WriteLine(outcome.final_status);
  // The window's tray tells how the latest run went, this one included.
  StoreLatestOutcome(settings, outcome.final_status, outcome.Clean());
  if (s.outcome_stored) s.outcome_stored();
  return BackupExitCode(outcome, entries.Count(), dialogs.FailuresReported());
}

}  // namespace tess
