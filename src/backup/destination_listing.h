// The one reading of a destination's listing: which of the folders directly inside it are
// backup folders of the run's entries, and which are the rest of an older one being removed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "backup/backup_folder_names.h"
#include "ports/file_tree.h"

namespace tess {

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
