// The names of the folders a run writes under the destination: each entry's own name, and a
// number for an entry whose name an earlier entry of the list already carries, so no two
// sources ever share a backup folder.
#pragma once

#include <optional>
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

// Who a backup folder belongs to for life: the computer that made it and the source as that
// computer lists it. Two owners are one when both names are one name (letters in either case).
struct FolderOwner {
  std::string computer;
  std::string source;
};
bool SameOwner(const FolderOwner& a, const FolderOwner& b);

// A backup folder found in the destination, as the naming weighs it.
struct ExistingBackup {
  std::string name;    // the backup name it carries before any stamp: "Docs", "Docs (2)"
  int number = 1;      // the copy number in its name: 2 for "Docs (2)"
  std::string folder;  // its whole name, stamp included
  // Its owner, from its manifest; none for a folder made before owners were recorded, which
  // belongs to whichever source writes into it first.
  std::optional<FolderOwner> owner;
  bool link = false;  // a link someone placed there: no source's to write into
};

// The names as above, where each entry (owners[i] is who it is) also passes over a name whose
// backups belong to another source: a name is the entry's own when one of its folders is, and
// free when none of its folders belongs to another source and none is a link. The folder the
// run would write (the name followed by `suffix`, the stamp's text) must itself be neither
// another's nor a link. Each entry takes the first name that is its own, else the first free
// one, so two computers backing up folders of one name into one destination, or a reordered
// list, keep every source in the folder it had.
std::vector<std::string> BackupFolderNames(const std::vector<std::string>& entries,
                                           const std::vector<FolderOwner>& owners,
                                           const std::vector<ExistingBackup>& found,
                                           const std::string& suffix);

}  // namespace tess
