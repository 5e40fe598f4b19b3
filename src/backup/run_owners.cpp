// Whose backup folders a run may write into: each entry is this computer's listed source, and
// the names whose folders the destination shows to be another source's are passed over.
#include <string>
#include <vector>

#include "backup/backup_names.h"
#include "backup/backup_run.h"
#include "backup/destination_listing.h"
#include "backup/folder_owners.h"
#include "backup/path_rules.h"
#include "ports/environment.h"
#include "ports/file_system.h"

namespace tess {

FolderOwner BackupRun::OwnerOf(const std::string& entry) const {
  FolderOwner owner;
  owner.source = entry;
  if (svc_.environment != nullptr) owner.computer = svc_.environment->Variable("COMPUTERNAME");
  return owner;
}

std::vector<std::string> BackupRun::NamesByOwner(const std::string& destination_text,
                                                 const std::vector<std::string>& entries,
                                                 const std::vector<std::string>& base_names,
                                                 const StampTexts& texts) {
  std::vector<ExistingBackup> found;
  std::string suffix;
  try {
    std::string destination;
    std::vector<TreeEntry> listing;
    if (!svc_.files.FullPath(CleanPath(destination_text), &destination).Failed() &&
        !svc_.files.List(destination, &listing).Failed()) {
      found = ReadExistingBackups(listing, base_names, texts);
      ReadOwners(svc_.files, destination, listing, &found);
    }
    // A day's folder is reused all day: the one today's run would write must be this source's.
    if (in_.choices().stamp == FolderStamp::kDate) suffix = DateSuffix(svc_.clock);
  } catch (...) {
    // Nothing to weigh: the names follow the list alone, as before any folder had an owner.
  }
  std::vector<FolderOwner> owners;
  for (const std::string& entry : entries) owners.push_back(OwnerOf(entry));
  return BackupFolderNames(entries, owners, found, suffix);
}

}  // namespace tess
