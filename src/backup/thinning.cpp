#include "backup/thinning.h"

#include <memory>

#include "backup/destination_listing.h"
#include "base/temporary_name.h"
#include "copy/copy_paths.h"
#include "copy/file_decision.h"
#include "ports/event_pump.h"

namespace tess {
namespace {

using copy_path::Join;

constexpr int kNameAttempts = 8;

// splitmix64: a tag gives a spread of names, so a second try does not meet the first one's.
std::uint64_t Mixed(std::uint64_t value) {
  value += 0x9E3779B97F4A7C15ull;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return value ^ (value >> 31);
}

// Deletes a folder and everything below it, depth first. Asked to keep the folder whole, it
// stops at the first failure while nothing has gone yet, so the folder may take its name back;
// once something has gone there is nothing left to keep whole, and it goes on to free what it
// can.
class TreeRemoval {
 public:
  TreeRemoval(FileTree& files, const std::function<void()>& yield, bool keep_whole)
      : files_(files),
        breaks_(yield, EventBreaks::First::kAfterAnInterval),
        keep_whole_(keep_whole) {}

  // True when the folder is gone; otherwise Failure() tells the first thing that stopped it.
  bool Remove(const std::string& folder, std::uint32_t attributes) {
    return RemoveFolder(folder, attributes);
  }
  bool RemovedAny() const { return removed_any_; }
  const FileError& Failure() const { return failure_; }

 private:
  bool Stopped() const { return keep_whole_ && failure_.Failed() && !removed_any_; }

  void Fail(const FileError& e) {
    if (!failure_.Failed()) failure_ = e;
  }

  // A name already gone was removed by someone else, which is as good.
  void Done(const FileError& e) {
    if (e.kind == FileErrorKind::kNotFound) return;
    if (e.Failed()) return Fail(e);
    removed_any_ = true;
  }

  // True when the folder is gone.
  bool RemoveFolder(const std::string& folder, std::uint32_t attributes) {
    // A read-only folder cannot be removed on Windows, and under Wine not even emptied.
    if ((attributes & kAttrReadOnly) != 0) {
      const FileError e =
          files_.SetAttributes(folder, attributes & ~kAttrReadOnly & ~kAttrDirectory);
      if (e.kind == FileErrorKind::kNotFound) return true;
      if (e.Failed()) {
        Fail(e);
        return false;
      }
    }
    std::vector<TreeEntry> entries;
    const FileError listing = files_.List(folder, &entries);
    if (listing.kind == FileErrorKind::kNotFound) return true;
    if (listing.Failed()) {
      Fail(listing);
      return false;
    }
    for (const TreeEntry& entry : entries) {
      const std::string path = Join(folder, entry.name);
      if (entry.IsFolder() && !entry.names_another_place) {
        RemoveFolder(path, entry.attributes);
      } else if (entry.IsFolder()) {
        Done(files_.RemoveFolder(path));  // the link, never what it names
      } else {
        RemoveFile(path, entry.attributes);
      }
      if (Stopped()) return false;
      breaks_.TakeIfDue();
    }
    const FileError e = files_.RemoveFolder(folder);
    Done(e);
    return !e.Failed() || e.kind == FileErrorKind::kNotFound;
  }

  // A read-only file is made writable for the delete through a handle that outlives its name,
  // and the bit goes back on through it: the file's other names, in other backup folders, keep
  // it. Should that fail, there is nothing else to put it back through, and the delete stands.
  void RemoveFile(const std::string& path, std::uint32_t attributes) {
    if ((attributes & kAttrReadOnly) == 0) return Done(files_.Delete(path));
    std::unique_ptr<OpenFile> file;
    if (const FileError e = files_.OpenForAttributes(path, &file); e.Failed()) return Done(e);
    const std::uint32_t writable = attributes & kFileAttributesKept & ~kAttrReadOnly;
    if (const FileError e = file->SetTimes({}, writable != 0 ? writable : kAttrNormal);
        e.Failed()) {
      return Fail(e);
    }
    const FileError deleted = files_.Delete(path);
    file->SetTimes({}, attributes & kFileAttributesKept);
    Done(deleted);
  }

  FileTree& files_;
  EventBreaks breaks_;
  const bool keep_whole_;
  bool removed_any_ = false;
  FileError failure_;
};

}  // namespace

FolderRemoval RemoveBackupFolder(FileTree& files, const std::string& destination,
                                 const std::string& name, std::uint64_t tag,
                                 const std::function<void()>& yield) {
  FolderRemoval result;
  const std::string folder = Join(destination, name);
  TreeEntry described;
  if (const FileError e = files.Describe(folder, &described); e.Failed()) {
    result.kind = e.kind == FileErrorKind::kNotFound ? FolderRemoval::Kind::kGone
                                                     : FolderRemoval::Kind::kKept;
    result.reason = e.text;
    return result;
  }
  // From the rename on, the folder no longer reads as a backup: a crash can leave it half gone,
  // but never as a backup someone might restore from or the next run might link to.
  FileError renamed;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    result.leftover = TemporaryName(Mixed(tag + attempt));
    renamed = files.Rename(folder, Join(destination, result.leftover));
    if (renamed.kind != FileErrorKind::kAlreadyExists) break;
  }
  if (renamed.Failed()) {
    result.kind = renamed.kind == FileErrorKind::kNotFound ? FolderRemoval::Kind::kGone
                                                           : FolderRemoval::Kind::kKept;
    result.reason = renamed.text;
    result.leftover.clear();
    return result;
  }

  TreeRemoval removal(files, yield, true);
  if (removal.Remove(Join(destination, result.leftover), described.attributes)) {
    result.leftover.clear();
    return result;
  }
  result.reason = removal.Failure().text;
  if (!removal.RemovedAny() && !files.Rename(Join(destination, result.leftover), folder).Failed()) {
    result.kind = FolderRemoval::Kind::kKept;
    result.leftover.clear();
    return result;
  }
  result.kind = FolderRemoval::Kind::kLeftUnfinished;
  return result;
}

std::vector<LeftoverFailure> FinishRemovals(FileTree& files, const std::string& destination,
                                            const std::vector<TreeEntry>& listing,
                                            const std::function<void()>& yield) {
  std::vector<LeftoverFailure> failures;
  for (const TreeEntry& entry : listing) {
    if (!IsRemovalLeftover(entry)) continue;
    TreeRemoval removal(files, yield, false);
    if (!removal.Remove(Join(destination, entry.name), entry.attributes)) {
      failures.push_back({entry.name, removal.Failure().text});
    }
  }
  return failures;
}

}  // namespace tess
