#include "backup/entry_plan.h"

#include "backup/backup_names.h"
#include "backup/manifest.h"
#include "backup/path_rules.h"
#include "base/name_case.h"

namespace tess {
EntryPlan PlanEntry(const EntryPlanInputs& in) {
  EntryPlan plan;
  if (in.stamp == FolderStamp::kNone) {
    // The folder's path never ends in a backslash, so the copy merges the source's contents
    // into it whether or not the entry ends in one. A file lands in the destination as itself;
    // only a file whose name an earlier entry has goes into a folder of its own.
    plan.landing = CleanPath(in.destination + "\\" + in.name);
    if (in.name == BackupBaseName(in.entry) && !in.source_is_folder) plan.landing.clear();
  } else {
    plan.folder_name = in.name + in.suffix;
  }
  plan.must_exist = CleanPath(in.destination + "\\" + plan.folder_name);
  if (plan.landing.empty()) plan.landing = plan.must_exist;
  plan.manifest =
      (plan.landing == plan.must_exist && !in.source_is_folder && in.stamp == FolderStamp::kNone
           ? CleanPath(in.destination + "\\" + in.name)
           : plan.landing) +
      kManifestEnding;
  plan.links = in.snapshot_links &&
               (in.stamp == FolderStamp::kDateAndTime || in.stamp == FolderStamp::kDate);
  return plan;
}

std::string NewestEarlierBackup(const std::vector<EntryBackup>& reading,
                                const std::string& except) {
  const EntryBackup* newest = nullptr;
  for (const EntryBackup& backup : reading) {
    if (!backup.OwnDated() || SameName(backup.name, except)) continue;
    if (newest == nullptr || StampIsLater(backup.time, newest->time)) newest = &backup;
  }
  return newest == nullptr ? "" : newest->name;
}

}  // namespace tess
