// Whose backup folders a run may write into: each entry is this computer's listed source, and
// the names whose folders the destination shows to be another source's are passed over.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_names.h"
#include "backup/backup_run.h"
#include "backup/destination_listing.h"
#include "backup/folder_owners.h"
#include "backup/manifest.h"
#include "backup/path_rules.h"
#include "ports/clock.h"
#include "ports/environment.h"
#include "ports/file_system.h"
#include "schedule/due_time.h"

namespace tess {

FolderOwner BackupRun::OwnerOf(const std::string& entry) const {
  FolderOwner owner;
  owner.source = entry;
  if (svc_.environment != nullptr) owner.computer = svc_.environment->Variable("COMPUTERNAME");
  return owner;
}

ManifestOwner BackupRun::ManifestHead(const std::string& entry, std::size_t index,
                                      std::uint64_t* seed) const {
  ManifestOwner owner;
  owner.source = entry;
  owner.computer = OwnerOf(entry).computer;
  if (svc_.environment != nullptr) owner.user = svc_.environment->Variable("USERNAME");
  const double now = svc_.clock.UtcSeconds();
  owner.written = UtcText(static_cast<std::int64_t>(std::llround(now)));
  *seed = static_cast<std::uint64_t>(now * 1000) ^ (static_cast<std::uint64_t>(index) << 52);
  return owner;
}

std::vector<std::string> BackupRun::NamesByOwner(const std::string& destination_text,
                                                 const std::vector<std::string>& entries,
                                                 const std::vector<std::string>& base_names,
                                                 const StampTexts& texts,
                                                 const std::optional<std::string>& suffix_given) {
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
    if (suffix_given) {
      suffix = *suffix_given;
    } else if (in_.choices().stamp == FolderStamp::kDate) {
      suffix = DateSuffix(svc_.clock);
    }
  } catch (...) {
    // Nothing to weigh: the names follow the list alone, as before any folder had an owner.
  }
  std::vector<FolderOwner> owners;
  for (const std::string& entry : entries) owners.push_back(OwnerOf(entry));
  return BackupFolderNames(entries, owners, found, suffix);
}

}  // namespace tess
