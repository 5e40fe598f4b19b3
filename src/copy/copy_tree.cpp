#include "copy/copy_tree.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "base/name_case.h"
#include "base/temporary_name.h"
#include "copy/copy_paths.h"
#include "copy/file_decision.h"
#include "copy/file_writer.h"
#include "copy/listings_ahead.h"
#include "copy/name_twins.h"

namespace tess {
namespace {

using copy_path::FolderName;
using copy_path::IsRoot;
using copy_path::Join;
using copy_path::ParentPath;

// Folder bits carried over. A folder's read-only bit only marks a customised view on Windows,
// and Wine turns it into a folder nobody may write into, so it stays behind.
constexpr std::uint32_t kFolderAttributesKept = kAttrHidden | kAttrSystem;

// The entry of a listing sorted by key that has the key; null when there is none.
const TreeEntry* FindKey(const std::vector<TreeEntry>& sorted, const std::string& key) {
  const auto it = std::lower_bound(
      sorted.begin(), sorted.end(), key,
      [](const TreeEntry& entry, const std::string& wanted) { return entry.key < wanted; });
  return it != sorted.end() && it->key == key ? &*it : nullptr;
}

// The folders Windows keeps at the root of every volume for itself (restore points, the
// indexer's data, each user's recycle bin), which refuse a backup program access.
bool IsVolumeBookkeeping(std::string_view name) {
  return SameName(name, "System Volume Information") || SameName(name, "$RECYCLE.BIN");
}

// A subfolder met in a listing, copied once the files of its folder are done.
struct Subfolder {
  std::string name;
  std::uint32_t attributes = 0;
  bool copy_exists = false;  // the destination already has a folder of that name
  std::string twin_of;       // the name backed up in its place (NameHolders); empty for none
};

// The walk of one copy on the caller's thread: one source folder's listing at a time (the
// destination's side read ahead, listings_ahead.h), the decision about each file, and the files
// that need writing or linking handed to the writer. Per-file costs (opening, creating, renaming,
// closing) rather than bytes dominate small files, and those overlap well across the writer's
// threads.
class Walk {
 public:
  Walk(FileTree& files, const CopySettings& settings) : files_(files), settings_(settings) {}
  CopyOutcome Run(const std::string& source, const std::string& destination);

 private:
  void Start(const std::string& source, const std::string& destination);
  // Makes a folder and any missing parents. created tells whether this call made it.
  FileError MakeFolderChain(const std::string& path, bool* created);
  void CopyContents(const std::string& source, const std::string& target, bool target_is_new,
                    const std::string& earlier);
  void CopyFiles(const std::string& source, const std::string& target, bool target_is_new,
                 const std::string& earlier, std::vector<Subfolder>* subfolders);
  bool EntersSubfolder(const std::string& parent, const TreeEntry& folder);
  // A file the caller leaves out of the copy (a backup folder's manifest), met in parent.
  bool LeavesOutFile(const std::string& parent, const TreeEntry& file);
  // A file's path in the manifest: below the destination, "/" between names.
  std::string HashPath(const std::string& folder, const std::string& name) const;
  // A current file's line: lent by the folder's earlier manifest, or made from its source.
  void HashCurrent(FileJob job);
  void LearnWriteTimes(const std::string& folder);
  // What a folder of the copy needs listed: the copies target holds unless it is new, and the
  // earlier backup's folder while links are made.
  ListingsAhead::Folder ToList(const std::string& target, bool target_is_new,
                               const std::string& earlier) const;
  // The leftovers of interrupted runs among a folder's copies, deleted and left out.
  void DropUnfinished(const std::string& folder, std::vector<TreeEntry>* copies);
  void CopyOneFile(const std::string& source, const TreeEntry& file, const std::string& folder,
                   const TreeEntry* copy, const std::string& earlier_folder,
                   const TreeEntry* earlier);
  void KeepFolderAttributes(const std::string& folder, std::uint32_t source_attributes);
  // On the caller's thread only: how far the copy has come, then the caller's yield.
  void LetEventsRun();
  // The walk's own places: each file and each failing folder takes the next one.
  std::uint64_t NextOrder() { return next_order_++; }
  void FailFolder(const std::string& path, const FileError& e);
  // A twin in folder: not copied, counted as a failed file or folder that names both.
  void FailTwin(const std::string& folder, const std::string& name, const std::string& first,
                bool is_folder);
  // The walk itself failed (no memory): the source counts as a failed folder.
  void FailRun(const std::string& source, const std::string& reason);

  FileTree& files_;
  const CopySettings& settings_;
  FileRules rules_;
  std::string target_root_;
  std::string hash_root_;    // what manifest paths are relative to
  std::string link_root_;    // the earlier backup in full form; empty: no links
  std::string copies_root_;  // settings_.copies_folder in full form; empty for none
  std::uint64_t next_order_ = 0;
  EventBreaks breaks_{[this] {
                        if (settings_.progress) settings_.progress(tally_.Progress());
                        if (settings_.yield) settings_.yield();
                      },
                      EventBreaks::First::kAtOnce};
  CopyTally tally_;
  ListingsAhead ahead_{files_, [this] { LetEventsRun(); }};
  // Last, so that it goes first: its threads use the tally.
  std::optional<FileWriter> writer_;
};

CopyOutcome Walk::Run(const std::string& source, const std::string& destination) {
  rules_.overwrite = settings_.overwrite;
  try {
    writer_.emplace(
        files_, tally_, settings_.overwrite, settings_.workers, [this] { LetEventsRun(); },
        settings_.hashes);
    Start(source, destination);
    writer_->Finish();
  } catch (const std::exception& e) {
    FailRun(source, e.what());
  } catch (...) {
    FailRun(source, "Unexpected failure");
  }
  // Whatever ended the walk, nothing may still write when the outcome is read.
  if (writer_) writer_->Drain();
  return tally_.Outcome();
}

void Walk::Start(const std::string& source, const std::string& destination) {
  // A path that cannot even be put in full form fails the copy as a whole.
  std::string from;
  if (const FileError e = files_.FullPath(source, &from); e.Failed()) {
    return FailRun(source, e.text);
  }
  // Without its full form the earlier backup is simply not linked to.
  if (!settings_.link_from.empty() && files_.FullPath(settings_.link_from, &link_root_).Failed()) {
    link_root_.clear();
  }
  TreeEntry named;
  if (const FileError e = files_.Describe(from, &named); e.Failed()) return FailFolder(from, e);
  std::string to;
  if (const FileError e = files_.FullPath(destination, &to); e.Failed()) {
    return FailRun(source, e.text);
  }
  bool created = false;
  if (!named.IsFolder()) {
    // A single file lands in the destination folder under its own name.
    if (const FileError e = MakeFolderChain(to, &created); e.Failed()) return FailFolder(to, e);
    hash_root_ = to;
    LearnWriteTimes(to);
    ListingsAhead::Listings listings = ahead_.Take(ToList(to, created, link_root_));
    if (listings.copies_error.Failed()) {
      tally_.FileFailed(NextOrder(), files_.Shown(Join(to, named.name)),
                        listings.copies_error.text);
      return;
    }
    DropUnfinished(to, &listings.copies);
    return CopyOneFile(from, named, to, FindKey(listings.copies, named.key), link_root_,
                       FindKey(listings.earlier, named.key));
  }
  const bool into =
      !destination.empty() && (destination.back() == '\\' || destination.back() == '/');
  if (into) {
    // The destination must exist and receives the source under its own name.
    TreeEntry there;
    if (const FileError e = files_.Describe(to, &there); e.Failed()) return FailFolder(to, e);
    if (!there.IsFolder()) return FailFolder(to, files_.Refusal(CopyRefusal::kNotAFolder));
    to = Join(to, FolderName(from));
  }
  if (const FileError e = MakeFolderChain(to, &created); e.Failed()) return FailFolder(to, e);
  target_root_ = to;
  hash_root_ = to;
  LearnWriteTimes(to);
  // A folder of copies that cannot be put in full form holds no folder the walk meets.
  if (!settings_.copies_folder.empty() && settings_.leave_out &&
      files_.FullPath(settings_.copies_folder, &copies_root_).Failed()) {
    copies_root_.clear();
  }
  CopyContents(from, to, created, link_root_);
  if (created && !IsRoot(from)) KeepFolderAttributes(to, named.attributes);
}

FileError Walk::MakeFolderChain(const std::string& path, bool* created) {
  *created = false;
  if (IsRoot(path)) {
    TreeEntry root;
    FileError e = files_.Describe(path, &root);
    if (e.kind == FileErrorKind::kNotFound) return files_.Refusal(CopyRefusal::kNoSuchDrive);
    return e;
  }
  FileError e = files_.MakeFolder(path);
  if (!e.Failed()) {
    *created = true;
    return {};
  }
  if (e.kind == FileErrorKind::kNotFound) {
    bool parent_created = false;
    if (FileError parent = MakeFolderChain(ParentPath(path), &parent_created); parent.Failed()) {
      return parent;
    }
    e = files_.MakeFolder(path);
    if (!e.Failed()) {
      *created = true;
      return {};
    }
  }
  if (e.kind == FileErrorKind::kAlreadyExists) {
    TreeEntry there;
    if (!files_.Describe(path, &there).Failed() && there.IsFolder()) return {};
    return files_.Refusal(CopyRefusal::kFileExists);
  }
  return e;
}

// Copies what the source folder holds into target: first its files, then each subfolder in
// turn, so that only the names of one folder's subfolders stay in memory per level.
// earlier is the same folder in the earlier backup, or empty.
void Walk::CopyContents(const std::string& source, const std::string& target, bool target_is_new,
                        const std::string& earlier) {
  std::vector<Subfolder> subfolders;
  CopyFiles(source, target, target_is_new, earlier, &subfolders);
  std::vector<ListingsAhead::Folder> ahead;
  for (const Subfolder& subfolder : subfolders) {
    if (subfolder.twin_of.empty()) {
      ahead.push_back(ToList(Join(target, subfolder.name), !subfolder.copy_exists,
                             earlier.empty() ? std::string() : Join(earlier, subfolder.name)));
    }
  }
  ahead_.Expect(ahead);
  for (const Subfolder& subfolder : subfolders) {
    if (!subfolder.twin_of.empty()) {
      FailTwin(source, subfolder.name, subfolder.twin_of, true);
      continue;
    }
    const std::string to = Join(target, subfolder.name);
    bool created = false;
    if (!subfolder.copy_exists) {
      if (const FileError e = MakeFolderChain(to, &created); e.Failed()) {
        FailFolder(to, e);
        continue;
      }
    }
    CopyContents(Join(source, subfolder.name), to, created,
                 earlier.empty() ? std::string() : Join(earlier, subfolder.name));
    if (created) KeepFolderAttributes(to, subfolder.attributes);
  }
}

// Copies the files of one folder and collects its subfolders. The copies already in target
// are read in one listing; a new target has none. Of the names the destination would take as
// one, only the first is copied: the others fail, so none overwrites it on this run or the next.
void Walk::CopyFiles(const std::string& source, const std::string& target, bool target_is_new,
                     const std::string& earlier, std::vector<Subfolder>* subfolders) {
  std::vector<TreeEntry> entries;
  const FileError listing = files_.List(source, &entries);
  if (listing.Failed() && entries.empty()) return FailFolder(source, listing);
  // A name left out never lands in target, so it takes no name from another there.
  std::erase_if(entries, [&](const TreeEntry& entry) {
    return entry.IsFolder() ? !EntersSubfolder(source, entry)
                            : IsTemporaryName(entry.name) || LeavesOutFile(source, entry);
  });
  const std::vector<std::size_t> holders = NameHolders(entries);
  ListingsAhead::Listings listings = ahead_.Take(ToList(target, target_is_new, earlier));
  if (listings.copies_error.Failed()) return FailFolder(target, listings.copies_error);
  DropUnfinished(target, &listings.copies);
  const std::vector<TreeEntry>& copies = listings.copies;
  const std::vector<TreeEntry>& earlier_copies = listings.earlier;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TreeEntry& entry = entries[i];
    const std::string twin_of = holders[i] == i ? std::string() : entries[holders[i]].name;
    const TreeEntry* copy = FindKey(copies, entry.key);
    if (entry.IsFolder()) {
      subfolders->push_back(
          {entry.name, entry.attributes, copy != nullptr && copy->IsFolder(), twin_of});
      continue;
    }
    if (!twin_of.empty()) {
      FailTwin(source, entry.name, twin_of, false);
      continue;
    }
    breaks_.TakeIfDue();
    CopyOneFile(Join(source, entry.name), entry, target, copy, earlier,
                FindKey(earlier_copies, entry.key));
  }
  if (listing.Failed()) FailFolder(source, listing);
}

// The one decision about which subfolders of a source the walk goes into.
bool Walk::EntersSubfolder(const std::string& parent, const TreeEntry& folder) {
  if (folder.names_another_place) return false;
  if (IsRoot(parent) && IsVolumeBookkeeping(folder.name)) return false;
  if (!copies_root_.empty() && files_.SamePath(parent, copies_root_) &&
      settings_.leave_out(folder)) {
    return false;
  }
  return !files_.SamePath(Join(parent, folder.name), target_root_);  // the copy itself
}

bool Walk::LeavesOutFile(const std::string& parent, const TreeEntry& file) {
  return !copies_root_.empty() && files_.SamePath(parent, copies_root_) &&
         settings_.leave_out(file);
}

std::string Walk::HashPath(const std::string& folder, const std::string& name) const {
  std::string path;
  std::size_t root = hash_root_.size();
  while (root > 0 && hash_root_[root - 1] == '\\') --root;
  if (folder.size() > root + 1) path = folder.substr(root + 1) + "/";
  path += name;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// Asks once per copy whether the destination's volume keeps coarse write times (a USB stick
// with FAT32 or exFAT): there a copy's write time never equals a source's to the tick, and
// every run would rewrite every file.
void Walk::LearnWriteTimes(const std::string& folder) {
  bool fine = true;
  rules_.coarse_times = !files_.KeepsFineWriteTimes(folder, &fine).Failed() && !fine;
}

ListingsAhead::Folder Walk::ToList(const std::string& target, bool target_is_new,
                                   const std::string& earlier) const {
  return {target_is_new ? std::string() : target, writer_->Linking() ? earlier : std::string()};
}

void Walk::DropUnfinished(const std::string& folder, std::vector<TreeEntry>* copies) {
  std::erase_if(*copies, [&](const TreeEntry& entry) {
    if (entry.IsFolder() || !IsTemporaryName(entry.name)) return false;
    DeleteUnfinished(files_, Join(folder, entry.name));
    return true;
  });
}

// Carries out the decision about one file: a skipped copy has its bits put right, a file to
// link or to write goes to the writer. copy is what the destination's listing showed under the
// file's name, if anything; earlier what the earlier backup's folder (earlier_folder) showed.
void Walk::CopyOneFile(const std::string& source, const TreeEntry& file, const std::string& folder,
                       const TreeEntry* copy, const std::string& earlier_folder,
                       const TreeEntry* earlier) {
  FileJob job;
  job.order = NextOrder();
  job.source = source;
  job.folder = folder;
  job.file = file;
  if (settings_.hashes != nullptr) job.hash_path = HashPath(folder, file.name);
  switch (DecideFile(file, copy, earlier, rules_,
                     settings_.hashes != nullptr && settings_.hashes->Distrusted(job.hash_path))) {
    case FileAction::kFolderInTheWay:
      return tally_.FileFailed(job.order, files_.Shown(Join(folder, file.name)),
                               files_.Refusal(CopyRefusal::kFolderInTheWay).text, file.size);
    case FileAction::kMayNotReplace:
      return tally_.FileFailed(job.order, files_.Shown(Join(folder, file.name)),
                               files_.Refusal(CopyRefusal::kFileExists).text, file.size);
    case FileAction::kSkip:
      if (CheckedAttributesDiffer(*copy, file)) {
        files_.SetAttributes(Join(folder, file.name), SettableAttributes(file.attributes));
      }
      tally_.Skipped(file.size);
      return HashCurrent(std::move(job));
    case FileAction::kLink:
      // Linked, a file takes its line from the earlier manifest; one that manifest no longer
      // vouches for is copied afresh rather than trusted.
      if (writer_->Linking() &&
          (settings_.hashes == nullptr || settings_.hashes->MayLink(job.hash_path))) {
        job.link_to = Join(earlier_folder, earlier->name);
      }
      break;
    case FileAction::kWrite:
      if (copy != nullptr) {
        job.replaces = true;
        job.replaced_attributes = copy->attributes;
      }
      break;
  }
  writer_->Submit(std::move(job));
}

void Walk::HashCurrent(FileJob job) {
  if (settings_.hashes == nullptr) return;
  if (settings_.hashes->Carry(job.hash_path, false)) return;
  job.hash_only = true;
  writer_->Submit(std::move(job));
}

void Walk::KeepFolderAttributes(const std::string& folder, std::uint32_t source_attributes) {
  const std::uint32_t bits = source_attributes & kFolderAttributesKept;
  if (bits != 0) files_.SetAttributes(folder, bits);
}

void Walk::LetEventsRun() { breaks_.Take(); }

void Walk::FailFolder(const std::string& path, const FileError& e) {
  if (e.kind == FileErrorKind::kDiskFull) tally_.DiskWasFull();
  tally_.FolderFailed(NextOrder(), files_.Shown(path), e.text);
}

void Walk::FailTwin(const std::string& folder, const std::string& name, const std::string& first,
                    bool is_folder) {
  const std::string path = files_.Shown(Join(folder, name));
  const std::string reason = TwinReason(files_.Shown(Join(folder, first)));
  if (is_folder) {
    tally_.FolderFailed(NextOrder(), path, reason);
  } else {
    tally_.FileFailed(NextOrder(), path, reason);
  }
}

void Walk::FailRun(const std::string& source, const std::string& reason) {
  tally_.FolderFailed(NextOrder(), source, reason);
}

}  // namespace

CopyOutcome CopyTree(FileTree& files, const std::string& source, const std::string& destination,
                     const CopySettings& settings) {
  try {
    return Walk(files, settings).Run(source, destination);
  } catch (const std::exception& e) {
    CopyOutcome outcome;
    outcome.folders_failed = 1;
    outcome.first_failure_path = source;
    outcome.first_failure_reason = e.what();
    return outcome;
  }
}

}  // namespace tess
