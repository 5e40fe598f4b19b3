// Whose a backup folder is: the source its manifest names, read from the manifest's first lines
// only, since a run weighs every backup folder of a name and a large folder's manifest runs to
// megabytes. A folder without a manifest of this program's belongs to nobody yet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_names.h"
#include "backup/destination_listing.h"
#include "backup/manifest.h"
#include "ports/file_tree.h"

namespace tess {

// The head of the manifest at path as this program wrote it; nothing when there is no manifest
// of this program's there, or it cannot be read.
std::optional<ManifestOwner> ReadManifestOwner(FileTree& files, const std::string& path);

inline FolderOwner OwnerOf(const ManifestOwner& owner) { return {owner.computer, owner.source}; }

// Each found backup folder's owner, from the manifest beside it in the destination (a full path
// whose listing is `listing`).
void ReadOwners(FileTree& files, const std::string& destination,
                const std::vector<TreeEntry>& listing, std::vector<ExistingBackup>* found);

// Marks each of an entry's backup folders that belongs to another source than `me`, and each
// whose run did not go through whole.
void WeighOwners(FileTree& files, const std::string& destination, const FolderOwner& me,
                 std::vector<EntryBackup>* backups);

// What claiming a backup folder came to: the manifest beside it names the claiming source (it
// was there, or the claim put it there), or names another source; or the claim was left, since
// what is there names no source (nobody's: the copy's own manifest takes it) or is no manifest
// of this program's, or none could be written (the copy's own manifest write tells why).
enum class FolderClaim { kOurs, kAnothers, kLeft };

// Before the first write into a backup folder without a manifest of its own: writes a claim at
// path, the manifest of owner (not complete) without file lines, through a rename that never
// replaces, so of two computers claiming one folder at the same moment exactly one gets it.
FolderClaim ClaimBackupFolder(FileTree& files, const std::string& path, const ManifestOwner& owner,
                              std::uint64_t tag);

}  // namespace tess
