#include "shell/command_line_verify.h"

#include <exception>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_folder_names.h"
#include "backup/backup_names.h"
#include "backup/folder_naming.h"
#include "backup/path_rules.h"
#include "backup/run_report.h"
#include "backup/verify.h"
#include "base/name_case.h"
#include "folders/folder_text.h"
#include "history/history_log.h"
#include "ports/console.h"
#include "ports/dialogs.h"
#include "ports/environment.h"
#include "ports/file_system.h"
#include "ports/program_settings.h"
#include "shell/command_line.h"
#include "shell/command_line_backup.h"

namespace tess {

namespace {

// A verify shows no boxes; a failure the history log would report is told on the console.
class SilentDialogs : public Dialogs {
 public:
  BoxResult MessageBox(const std::string&, const std::string&, BoxButtons, BoxIcon) override {
    return BoxResult::kOk;
  }
  void SetApplicationTitle(const std::string&) override {}
  void SetClipboardText(const std::string&) override {}
};

}  // namespace

int VerifyFromCommandLine(VerifyServices s) {
  ProgramSettings settings(s.settings);
  std::vector<std::string> entries;
  std::string destination;
  try {
    entries = SplitFolderEntries(settings.GetSetting(kKeyFolders, ""));
    destination = StoredDestination(settings, s.shell);
  } catch (const std::exception& e) {
    s.console.WriteLine(std::string("The stored settings cannot be read: ") + e.what());
    return kExitNothingRan;
  }
  if (entries.empty()) {
    s.console.WriteLine(kNoFilesStatus);
    return kExitNothingRan;
  }
  std::string root;
  std::vector<TreeEntry> listing;
  if (destination.empty() || s.files.FullPath(CleanPath(destination), &root).Failed() ||
      s.files.List(root, &listing).Failed()) {
    s.console.WriteLine(destination + kDoesNotExist);
    return kExitNothingRan;
  }

  SilentDialogs dialogs;
  HistoryLog history(s.files, s.shell, dialogs, s.pump);
  history.Locate(s.environment.Variable("TEMP"));
  const auto tell = [&](const std::string& line) {
    s.console.WriteLine(line);
    try {
      history.AppendHistoryLine(line);
    } catch (const std::exception& e) {
      s.console.WriteLine(std::string("The history log cannot be written: ") + e.what());
    }
  };
  const StampTexts texts = StampTexts::From(s.clock);
  const std::vector<std::string> names = BackupFolderNames(entries);
  BackupVerifier verifier(s.files, s.hash, s.workers);
  bool any = false;
  std::set<std::string> checked;  // a folder two entries could claim is read once
  for (std::size_t index = 0; index < names.size(); ++index) {
    for (const ManifestPlace& place : ManifestsOfEntry(listing, names, index, texts)) {
      if (!checked.insert(NameKey(place.manifest)).second) continue;
      any = true;
      std::vector<VerifyFinding> findings;
      verifier.Check(CleanPath(root + "\\" + place.manifest),
                     place.folder.empty() ? root : CleanPath(root + "\\" + place.folder),
                     &findings);
      for (const VerifyFinding& finding : findings) tell(FindingText(finding));
    }
  }
  if (!any) {
    s.console.WriteLine("No backup folder with a manifest was found in " + destination);
    return kExitNothingRan;
  }
  const VerifyTotals& totals = verifier.Totals();
  tell(VerifySummary(totals, [&](double value,
                                 int decimals) { return s.clock.NumberText(value, decimals); }) +
       " at " + NowText(s.clock));
  return totals.Whole() ? kExitAllSaved : kExitSomeNotSaved;
}

}  // namespace tess
