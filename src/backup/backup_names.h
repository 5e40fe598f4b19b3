// The names of the folders a run writes under the destination: each entry's own name, and a
// number for an entry whose name an earlier entry of the list already carries, so no two
// sources ever share a backup folder.
#pragma once

#include <string>
#include <vector>

namespace tess {

// The name an entry's backups carry: the last part of its path once the trailing backslash is
// gone, so "C:\Data\Docs\" gives "Docs" like "C:\Data\Docs" does; a drive root gives its letter
// ("E:\", "E:" and "\\?\E:\" all give "E"), since a colon has no place in a folder name.
std::string BackupBaseName(const std::string& entry);

// One folder name per entry, in list order. An entry keeps its base name unless an earlier entry
// already carries it (names compared as Windows compares file names, without regard to case); it
// then gets "name (2)", "name (3)" ..., the first that no earlier entry carries and that is no
// entry's own base name. Every entry takes part, found or not, so
// the same list gives each source the same folder on every run.
std::vector<std::string> BackupFolderNames(const std::vector<std::string>& entries);

}  // namespace tess
