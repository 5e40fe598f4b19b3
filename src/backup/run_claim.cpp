// An entry's backup folder claimed before its copy writes into it. Two computers that start into
// one free name at the same moment both found it free; the one whose claim lands first keeps it,
// and the other takes the next free name, as its naming would have given had that claim been
// there when its run began.
#include <cstdint>
#include <string>
#include <vector>

#include "backup/backup_names.h"
#include "backup/backup_run.h"
#include "backup/entry_plan.h"
#include "backup/folder_owners.h"
#include "backup/manifest.h"
#include "base/name_case.h"
#include "ports/file_system.h"

namespace tess {
namespace {

// Each try follows another computer's claim landing between this one's look and its write;
// more than a few in a row is a destination this run cannot share safely just now.
constexpr int kClaimTries = 4;
constexpr char kEveryNameClaimed[] =
    "another source claimed the backup folder of each name this run tried";

}  // namespace

bool BackupRun::ClaimFolder(const Snapshot& run, std::size_t index, EntryPlanInputs* wanted,
                            EntryPlan* plan, EntryResult* result) {
  if (svc_.hash == nullptr) return true;  // without manifests no folder has an owner
  std::uint64_t seed = 0;
  const ManifestOwner owner = ManifestHead(run.entries[index], index, &seed);
  for (int tried = 0; tried < kClaimTries; ++tried) {
    if (ClaimBackupFolder(svc_.files, plan->manifest, owner, seed) != FolderClaim::kAnothers) {
      return true;
    }
    std::vector<std::string> base_names;
    for (const std::string& entry : run.entries) base_names.push_back(BackupBaseName(entry));
    const std::vector<std::string> names =
        NamesByOwner(run.destination, run.entries, base_names, run.stamp_texts, wanted->suffix);
    if (index >= names.size() || SameName(names[index], wanted->name)) break;
    wanted->name = names[index];
    // A file numbered away from its own name lands in a folder of that name.
    if (wanted->name != BackupBaseName(wanted->entry)) wanted->source_is_folder = true;
    *plan = PlanEntry(*wanted);
  }
  result->kind = EntryResult::Kind::kNotCopied;
  result->missing_destination = plan->must_exist;
  result->creation_error = kEveryNameClaimed;
  return false;
}

}  // namespace tess
