#include "backup/folder_owners.h"

#include <memory>
#include <set>

#include "backup/manifest_file.h"
#include "backup/path_rules.h"
#include "base/name_case.h"

namespace tess {
namespace {

// Enough for the "#" lines of any source path Windows allows.
constexpr std::size_t kManifestHead = 128u << 10;

std::string Beside(const std::string& destination, const std::string& folder) {
  return CleanPath(destination + "\\" + ManifestName(folder));
}

bool HasManifest(const EntryBackup& backup) {
  for (const std::string& file : backup.files_beside) {
    if (SameName(file, ManifestName(backup.name))) return true;
  }
  return false;
}

}  // namespace

std::optional<ManifestOwner> ReadManifestOwner(FileTree& files, const std::string& path) {
  std::unique_ptr<OpenFile> file;
  if (files.OpenForReading(path, &file).Failed()) return std::nullopt;
  std::string head(kManifestHead, '\0');
  std::size_t at = 0;
  for (;;) {
    std::size_t got = 0;
    if (file->Read(head.data() + at, head.size() - at, &got).Failed()) return std::nullopt;
    if (got == 0) break;
    at += got;
    if (at == head.size()) break;
  }
  head.resize(at);
  // Only the owner is taken from a head: its file lines are cut short there.
  ManifestReading reading = ReadManifest(head);
  if (!reading.ours || reading.owner.source.empty()) return std::nullopt;
  return reading.owner;
}

void ReadOwners(FileTree& files, const std::string& destination,
                const std::vector<TreeEntry>& listing, std::vector<ExistingBackup>* found) {
  std::set<std::string> manifests;
  for (const TreeEntry& entry : listing) {
    if (!entry.IsFolder()) manifests.insert(NameKey(entry.name));
  }
  for (ExistingBackup& backup : *found) {
    if (backup.link || manifests.count(NameKey(ManifestName(backup.folder))) == 0) continue;
    if (const auto owner = ReadManifestOwner(files, Beside(destination, backup.folder))) {
      backup.owner = OwnerOf(*owner);
    }
  }
}

void WeighOwners(FileTree& files, const std::string& destination, const FolderOwner& me,
                 std::vector<EntryBackup>* backups) {
  std::optional<LocalTime> first_proven;  // the earliest dated folder of this source's manifests
  for (EntryBackup& backup : *backups) {
    if (backup.names_another_place) continue;
    if (!HasManifest(backup)) continue;
    if (const auto owner = ReadManifestOwner(files, Beside(destination, backup.name))) {
      backup.anothers = !SameOwner(OwnerOf(*owner), me);
      backup.complete = owner->complete;
      if (!backup.anothers && backup.stamp != FolderStamp::kNone &&
          (!first_proven || StampIsLater(*first_proven, backup.time))) {
        first_proven = backup.time;
      }
    }
  }
  // A run writes its manifest last, so a dated folder of this source without one that is later
  // than a folder with one was left by a run that never ended; one earlier than every manifest
  // predates them and counts as whole, as it always did.
  for (EntryBackup& backup : *backups) {
    if (backup.anothers || backup.names_another_place || backup.stamp == FolderStamp::kNone ||
        !first_proven || !StampIsLater(backup.time, *first_proven)) {
      continue;
    }
    if (!HasManifest(backup)) backup.complete = false;
  }
}

FolderClaim ClaimBackupFolder(FileTree& files, const std::string& path, const ManifestOwner& owner,
                              std::uint64_t tag) {
  for (int look = 0; look < 2; ++look) {
    TreeEntry entry;
    const FileError there = files.Describe(path, &entry);
    if (there.kind != FileErrorKind::kNotFound) {
      // Only a head that names a source makes the folder someone's; one that names none
      // belongs to nobody yet, and the copy's own manifest takes it.
      if (there.Failed() || entry.IsFolder()) return FolderClaim::kLeft;
      const std::optional<ManifestOwner> its = ReadManifestOwner(files, path);
      if (!its) return FolderClaim::kLeft;
      return SameOwner(OwnerOf(*its), OwnerOf(owner)) ? FolderClaim::kOurs : FolderClaim::kAnothers;
    }
    ManifestOwner claim = owner;
    claim.complete = false;
    const FileError e = WriteManifestFile(files, path, claim, {}, false, tag);
    if (!e.Failed()) return FolderClaim::kOurs;
    // Anything but a manifest that appeared meanwhile (whose it is then decides) leaves the
    // claim to the copy's own manifest.
    if (e.kind != FileErrorKind::kAlreadyExists) return FolderClaim::kLeft;
  }
  return FolderClaim::kLeft;
}

}  // namespace tess
