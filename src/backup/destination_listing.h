// The one reading of a destination's listing: which of the folders directly inside it are an
// entry's backup folders (and what each one is), which are the rest of an older one being
// removed, and which a copy leaves out. Linking to an earlier backup and keeping fewer both go
// by this one reading, so they never disagree about whose folder a name is.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "backup/backup_folder_names.h"
#include "backup/backup_names.h"
#include "ports/file_tree.h"

namespace tess {

// One folder directly inside the destination that reads as a backup folder of the entry asked
// about, under the entry's own backup name ("Photos", or "Photos (2)" for a second source of
// that name).
struct EntryBackup {
  std::string name;
  FolderStamp stamp = FolderStamp::kNone;  // kNone: the entry's unstamped folder
  LocalTime time;                          // what the stamp names; midnight for a date alone
  // The name reads as another entry's backup folder as well (an entry named like this one and
  // a stamp, say): nobody may take it for their own.
  bool another_entry_may_claim = false;
  // Only a name for another place (a junction, a symbolic link), not a folder of its own.
  bool names_another_place = false;
  // The files beside it named as the folder and an extension ("<name>.sha256"), as listed.
  std::vector<std::string> files_beside;
  // Its manifest names another source (another computer's, or a source no longer listed as
  // it was): never linked to, removed or counted as this entry's (WeighOwners).
  bool anothers = false;
  // Its manifest says the run that wrote it went through whole; a folder whose run was killed
  // has none and is weighed as complete as long as it predates manifests (WeighOwners).
  bool complete = true;

  // An older dated backup of this entry alone: one it may link to and may thin out.
  bool OwnDated() const {
    return stamp != FolderStamp::kNone && !another_entry_may_claim && !names_another_place &&
           !anothers;
  }
};

// Each backup folder of entry `index` in the listing of a destination, in listing order. names
// are the run's backup names, one per entry (BackupFolderNames).
std::vector<EntryBackup> ReadEntryBackups(const std::vector<TreeEntry>& listing,
                                          const std::vector<std::string>& names, std::size_t index,
                                          const StampTexts& texts);

// Every folder directly inside the destination that reads as a backup folder of one of the
// base names (BackupBaseName of each entry), under any copy number, and every manifest of such
// a name whose folder is not there (a claim made before its folder), for the naming to weigh
// whose each one is (BackupFolderNames); owners are left for the caller to read.
std::vector<ExistingBackup> ReadExistingBackups(const std::vector<TreeEntry>& listing,
                                                const std::vector<std::string>& base_names,
                                                const StampTexts& texts);

// A folder left directly in a destination by a removal that did not finish.
bool IsRemovalLeftover(const TreeEntry& entry);

// What a copy leaves out of the destination when the destination lies inside its source: a
// folder that reads as a backup folder of any of the entries whose backups are named
// base_names (BackupBaseName; stamped or not, "(k)" or not), the manifest beside such a folder,
// and the rest of an older backup being removed, which is no more to be backed up than the
// backups are.
std::function<bool(const TreeEntry&)> LeftOutOfCopies(std::vector<std::string> base_names,
                                                      StampTexts texts);

}  // namespace tess
