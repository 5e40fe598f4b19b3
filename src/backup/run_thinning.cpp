// Keeping fewer older backup folders, as a backup run does it after an entry's copy: which of
// the entry's dated folders the rule lets go, each removed safely, and the history lines that
// say what went and what could not.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_run.h"
#include "backup/manifest.h"
#include "backup/manifest_file.h"
#include "backup/path_rules.h"
#include "backup/thinning.h"
#include "backup/thinning_rule.h"
#include "base/name_case.h"
#include "base/text.h"
#include "copy/copy_paths.h"
#include "history/history_log.h"
#include "ports/event_pump.h"
#include "ports/file_system.h"

namespace tess {

namespace {

std::string Removed(const std::string& name, int count, const std::string& when) {
  return name + " had " + std::to_string(count) +
         (count == 1 ? " older backup folder" : " older backup folders") + " removed at " + when;
}

std::string NotRemoved(const std::string& name, const std::string& folder,
                       const FolderRemoval& removal, const std::string& when) {
  if (removal.kind == FolderRemoval::Kind::kKept) {
    return name + " kept its older backup folder " + folder + " at " + when +
           ", which could not be removed: " + OneLine(removal.reason);
  }
  return name + " had its older backup folder " + folder + " only partly removed at " + when +
         ": " + OneLine(removal.reason) + "; the next run removes the rest, now named " +
         removal.leftover;
}

std::string LeftoverNotRemoved(const LeftoverFailure& failure, const std::string& when) {
  return failure.name + ", the rest of an older backup folder, could not be removed at " + when +
         ": " + OneLine(failure.reason) + "; the next run tries again";
}

// A seed of the names removals take, from the moment and the entry: two runs, or two entries
// of one run, start from names of their own.
std::uint64_t Seed(const LocalTime& t, std::size_t index) {
  const std::uint64_t day = (static_cast<std::uint64_t>(t.year) * 12 + t.month) * 31 + t.day;
  const std::uint64_t millisecond = ((t.hour * 60 + t.minute) * 60 + t.second) * 1000;
  return (day * 86'400'000 + millisecond + t.millisecond) ^
         (static_cast<std::uint64_t>(index) << 52);
}

// The manifests of the entry's dated folders that are gone: a run stopped between removing a
// folder and its manifest leaves the manifest, which proves nothing any more. The folder the run
// has just written (after this listing was read) keeps its own.
void RemoveLoneManifests(FileTree& files, const std::string& destination,
                         const std::vector<TreeEntry>& listing,
                         const std::vector<std::string>& names, std::size_t index,
                         const StampTexts& texts, const std::string& written) {
  std::set<std::string> there;
  for (const TreeEntry& entry : listing) {
    if (entry.IsFolder()) there.insert(NameKey(entry.name));
  }
  std::vector<TreeEntry> gone;
  for (const TreeEntry& entry : listing) {
    const std::optional<std::string> subject =
        entry.IsFolder() ? std::nullopt : ManifestSubject(entry.name);
    if (!subject || there.count(NameKey(*subject)) != 0 || SameName(*subject, written)) continue;
    TreeEntry folder;
    folder.name = *subject;
    folder.attributes = kAttrDirectory;
    gone.push_back(std::move(folder));
  }
  for (const EntryBackup& backup : ReadEntryBackups(gone, names, index, texts)) {
    if (backup.OwnDated()) {
      RemoveManifestFile(files, copy_path::Join(destination, ManifestName(backup.name)));
    }
  }
}

}  // namespace

void BackupRun::KeepFewer(const Snapshot& run, std::size_t index, const std::string& source_name,
                          const EntryResult& result, OlderBackups* older, bool* leftovers_tried) {
  if (!run.keep_fewer || removing_) return;
  // A run whose copy failed for a full disk removes too, so the next one finds room; the
  // folder it wrote stays, as the newest, and so does the one it linked to.
  const bool copied =
      result.Complete() || (result.kind == EntryResult::Kind::kCopied && result.copy.disk_full);
  if (!copied) return;
  const auto written =
      ReadBackupFolderName(result.backup_folder, run.names[index], run.stamp_texts);
  if (!written || written->copy_number != 1 || written->stamp == FolderStamp::kNone) return;

  removing_ = true;
  struct Finished {
    bool& removing;
    ~Finished() { removing = false; }
  } finished{removing_};
  ReadOlderBackups(run, index, older);
  if (older->destination.empty()) return;  // nothing to go by; the next run tries again
  const std::string& destination = older->destination;
  const std::function<void()> yield = PumpEvents(svc_.pump);
  if (!*leftovers_tried) {
    *leftovers_tried = true;
    for (const LeftoverFailure& failure :
         FinishRemovals(svc_.files, destination, older->listing, yield)) {
      svc_.history.AppendHistoryLine(LeftoverNotRemoved(failure, NowText(svc_.clock)));
    }
  }

  const LocalTime now = svc_.clock.Now();
  const std::vector<std::string> going =
      BackupsToRemove(older->backups, now, {result.backup_folder, result.linked_folder});
  int removed = 0;
  std::uint64_t tag = Seed(now, index);
  for (const std::string& folder : going) {
    tag += 16;  // past the names the one before may have tried
    const FolderRemoval removal = RemoveBackupFolder(svc_.files, destination, folder, tag, yield);
    if (removal.kind == FolderRemoval::Kind::kRemoved ||
        removal.kind == FolderRemoval::Kind::kGone) {
      // Its proof goes after it, so that no folder is ever left without its manifest.
      RemoveManifestFile(svc_.files, copy_path::Join(destination, ManifestName(folder)));
    }
    if (removal.kind == FolderRemoval::Kind::kRemoved) {
      ++removed;
    } else if (removal.kind != FolderRemoval::Kind::kGone) {
      svc_.history.AppendHistoryLine(NotRemoved(source_name, folder, removal, NowText(svc_.clock)));
    }
    yield();
  }
  RemoveLoneManifests(svc_.files, destination, older->listing, run.names, index, run.stamp_texts,
                      result.backup_folder);
  if (removed > 0) {
    svc_.history.AppendHistoryLine(Removed(source_name, removed, NowText(svc_.clock)));
  }
}

}  // namespace tess
