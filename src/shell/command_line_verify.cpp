#include "shell/command_line_verify.h"

#include <exception>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_folder_names.h"
#include "backup/backup_names.h"
#include "backup/folder_naming.h"
#include "backup/manifest_file.h"
#include "backup/path_rules.h"
#include "backup/read_back.h"
#include "backup/run_report.h"
#include "backup/verify.h"
#include "base/name_case.h"
#include "copy/copy_paths.h"
#include "folders/folder_text.h"
#include "history/history_log.h"
#include "ports/console.h"
#include "ports/dialogs.h"
#include "ports/environment.h"
#include "ports/file_queries.h"
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

// A damaged copy that /verify finds gets what a run's reading back gives one: written again in
// place from its unchanged source, or, beyond mending, copied afresh by the next run rather than
// linked (kept in the read-back's state).
class Mender {
 public:
  Mender(VerifyServices& s, ProgramSettings& settings, std::function<void(const std::string&)> tell)
      : s_(s), settings_(settings), tell_(std::move(tell)), reader_(s.files, s.hash, [] {}) {
    try {
      kept_ = ReadReadBackState(settings_.GetSetting(kKeyReadBackState, ""));
    } catch (const std::exception&) {
    }
    before_ = kept_;
  }
  ~Mender() {
    if (kept_ == before_) return;
    try {
      // Read again: a run may have moved on, or found damage, while this one read.
      const std::map<std::string, EntryReadBack> stored =
          ReadReadBackState(settings_.GetSetting(kKeyReadBackState, ""));
      settings_.SaveSetting(kKeyReadBackState,
                            ReadBackStateText(MergeReadBackState(stored, before_, kept_)));
    } catch (const std::exception& e) {
      s_.console.WriteLine(std::string("The settings cannot be written: ") + e.what());
    }
  }

  // The findings of one manifest (in full form, beside folder) of entry; root is the destination
  // in full form, and holders the entry's backup folders in it.
  void Mend(const std::vector<VerifyFinding>& findings, const std::string& entry,
            const std::string& root, const std::string& manifest, const std::string& folder,
            const std::vector<std::string>& holders) {
    ReadBackPlace place;
    for (const VerifyFinding& found : findings) {
      if (found.named.empty()) continue;
      if (place.folder.empty() && !Locate(entry, manifest, folder, &place)) return;
      ReadBackResult totals;
      ReadBackFinding finding = reader_.Check(place, found.named, &totals);
      if (finding.verdict == ReadBackVerdict::kWhole ||
          finding.verdict == ReadBackVerdict::kNoLine) {
        continue;  // mended already through another of its names
      }
      if (finding.verdict != ReadBackVerdict::kSourceDamaged && !finding.repaired) {
        kept_[entry].distrusted.insert(finding.path);
      }
      const auto holding = FoldersHolding(s_.files, root, holders, place.folder, finding);
      const std::string source = EntryFolder(entry);
      finding.source = s_.files.Shown(finding.source);
      tell_(ReadBackLine(SourceName(CopySource(source)), NowText(s_.clock), finding, holding));
    }
  }

 private:
  // Where the manifest's lines start in the backup and in the source; false when the source
  // cannot be told (nothing is mended then, and the findings stand as they are).
  bool Locate(const std::string& entry, const std::string& manifest, const std::string& folder,
              ReadBackPlace* place) {
    std::string source = EntryFolder(entry);
    if (!source.empty() && source.back() == '\\') source = CopySource(source);
    std::string full;
    if (s_.files.FullPath(folder, &place->folder).Failed() ||
        s_.files.FullPath(source, &full).Failed()) {
      return false;
    }
    place->source = IsFolder(s_.files, source) ? full : copy_path::ParentPath(full);
    place->lines = ReadManifestFile(s_.files, manifest).reading.lines;
    bool fine = true;
    s_.files.KeepsFineWriteTimes(place->folder, &fine);
    place->coarse_times = !fine;
    return true;
  }

  VerifyServices& s_;
  ProgramSettings& settings_;
  std::function<void(const std::string&)> tell_;
  ReadBack reader_;
  std::map<std::string, EntryReadBack> kept_;
  std::map<std::string, EntryReadBack> before_;
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
  {
    Mender mender(s, settings, tell);
    for (std::size_t index = 0; index < names.size(); ++index) {
      const std::vector<ManifestPlace> places = ManifestsOfEntry(listing, names, index, texts);
      std::vector<std::string> holders;
      for (const ManifestPlace& place : places) {
        if (!place.folder.empty()) holders.push_back(place.folder);
      }
      for (const ManifestPlace& place : places) {
        if (!checked.insert(NameKey(place.manifest)).second) continue;
        any = true;
        std::vector<VerifyFinding> findings;
        const std::string manifest = CleanPath(root + "\\" + place.manifest);
        const std::string folder =
            place.folder.empty() ? root : CleanPath(root + "\\" + place.folder);
        verifier.Check(manifest, folder, &findings);
        for (const VerifyFinding& finding : findings) tell(FindingText(finding));
        mender.Mend(findings, entries[index], root, manifest, folder, holders);
      }
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
