#include "backup/copy_tree.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <random>
#include <utility>
#include <vector>

#include "backup/copy_paths.h"
#include "base/name_case.h"
#include "base/unchanged_file.h"

namespace tess {
namespace {

using copy_path::FolderName;
using copy_path::IsRoot;
using copy_path::Join;
using copy_path::ParentPath;

// Attribute bits a copied file carries over; the others belong to the volume (compression,
// sparse, encryption) or to the way the file is stored.
constexpr std::uint32_t kFileAttributesKept =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | kAttrNotContentIndexed;
// Bits put right on a file that is otherwise identical. The archive bit is left alone: Wine
// reports it on every file whatever was set, so comparing it would rewrite every skipped file.
constexpr std::uint32_t kFileAttributesChecked = kAttrReadOnly | kAttrHidden | kAttrSystem;
// Folder bits carried over. A folder's read-only bit only marks a customised view on Windows,
// and Wine turns it into a folder nobody may write into, so it stays behind.
constexpr std::uint32_t kFolderAttributesKept = kAttrHidden | kAttrSystem;

// Small enough to stay in the processor cache between the read and the write.
constexpr std::size_t kBufferBytes = 64u << 10;
constexpr std::size_t kSmallestBufferBytes = 4u << 10;
constexpr int kTempHexDigits = 16;
// At most this many copies wait for a second try after a full disk; beyond that the disk is
// simply full, and memory stays bounded.
constexpr std::size_t kMaxDeferred = 64;
// A volume that has refused this many links and made none does not make links (FAT, exFAT,
// many shares): the rest of the copy stops asking.
constexpr int kLinkRefusalsBeforeGivingUp = 8;

std::uint32_t SettableAttributes(std::uint32_t attributes) {
  return attributes & kFileAttributesKept;
}

FileStamp StampOf(const TreeEntry& file) {
  return FileStamp{file.size, file.times.write, file.times.change};
}

bool KeyLess(const TreeEntry& a, const TreeEntry& b) { return a.key < b.key; }

// The entry of a listing sorted by KeyLess that has the key; null when there is none.
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

std::uint64_t NameSeed(const void* run) {
  std::uint64_t seed = static_cast<std::uint64_t>(
                           std::chrono::steady_clock::now().time_since_epoch().count()) ^
                       reinterpret_cast<std::uintptr_t>(run) ^ 0x9E3779B97F4A7C15ull;
  try {
    std::random_device device;
    seed ^= (static_cast<std::uint64_t>(device()) << 32) | device();
  } catch (...) {
    // The clock and the address still keep runs apart.
  }
  return seed;
}

// One copy: the walk runs on the caller's thread, which decides for each file whether it needs
// writing; the writing runs on the work pool while the caller waits for it with its messages
// moving. Per-file costs (opening, creating, renaming, closing) rather than bytes dominate small
// files, and those overlap well across threads.
class CopyRun {
 public:
  CopyRun(FileTree& files, const CopySettings& settings)
      : files_(files), settings_(settings), name_seed_(NameSeed(this)) {}

  CopyOutcome Run(const std::string& source, const std::string& destination) {
    try {
      pool_ = files_.MakeWorkPool(settings_.workers, [this] { LetEventsRun(); });
      Start(source, destination);
      pool_->Drain();
      RetryDeferred();
    } catch (const std::exception& e) {
      FailRun(source, e.what());
    } catch (...) {
      FailRun(source, "Unexpected failure");
    }
    // Whatever ended the walk, nothing may still write when the outcome is read.
    if (pool_) pool_->Drain();
    std::lock_guard lock(out_lock_);
    out_.files_copied = copied_.load();
    out_.files_skipped = skipped_.load();
    out_.files_linked = linked_.load();
    return out_;
  }

 private:
  // The copy a new one replaces, if there is one.
  struct EarlierCopy {
    bool exists = false;
    std::uint32_t attributes = 0;
  };

  // One file to write, as the walk found it.
  struct FileJob {
    std::uint64_t order = 0;  // its place in the walk, so failures are told in walk order
    std::string source;
    std::string folder;
    TreeEntry file;
    EarlierCopy earlier;
    bool last_try = false;  // a second try after a full disk: a failure now counts
    // The earlier backup's copy to link to first, or empty; the file is written when the
    // link is refused.
    std::string link_to;
  };

  // A subfolder met in a listing, copied once the files of its folder are done.
  struct Subfolder {
    std::string name;
    std::uint32_t attributes = 0;
    bool copy_exists = false;  // the destination already has a folder of that name
  };

  void Start(const std::string& source, const std::string& destination) {
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
      LearnWriteTimes(to);
      std::vector<TreeEntry> copies;
      if (!created) {
        if (const FileError e = ReadCopies(to, &copies); e.Failed()) {
          return FailFile(NextOrder(), Join(to, named.name), e);
        }
      }
      std::vector<TreeEntry> earlier;
      ReadEarlierCopies(link_root_, &earlier);
      return CopyOneFile(from, named, to, FindKey(copies, named.key), link_root_,
                         FindKey(earlier, named.key));
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
    LearnWriteTimes(to);
    // A backups folder that cannot be put in full form holds no folder the walk meets.
    if (!settings_.backups_folder.empty() &&
        files_.FullPath(settings_.backups_folder, &backups_root_).Failed()) {
      backups_root_.clear();
    }
    CopyContents(from, to, created, link_root_);
    if (created && !IsRoot(from)) KeepFolderAttributes(to, named.attributes);
  }

  // Makes a folder and any missing parents. created tells whether this call made it.
  FileError MakeFolderChain(const std::string& path, bool* created) {
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
  void CopyContents(const std::string& source, const std::string& target, bool target_is_new,
                    const std::string& earlier) {
    std::vector<Subfolder> subfolders;
    CopyFiles(source, target, target_is_new, earlier, &subfolders);
    for (const Subfolder& subfolder : subfolders) {
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
  // are read in one listing; a new target has none.
  void CopyFiles(const std::string& source, const std::string& target, bool target_is_new,
                 const std::string& earlier, std::vector<Subfolder>* subfolders) {
    std::vector<TreeEntry> entries;
    const FileError listing = files_.List(source, &entries);
    if (listing.Failed() && entries.empty()) return FailFolder(source, listing);
    std::vector<TreeEntry> copies;
    if (!target_is_new) {
      if (const FileError e = ReadCopies(target, &copies); e.Failed()) {
        return FailFolder(target, e);
      }
    }
    std::vector<TreeEntry> earlier_copies;
    ReadEarlierCopies(earlier, &earlier_copies);
    for (const TreeEntry& entry : entries) {
      const TreeEntry* copy = FindKey(copies, entry.key);
      if (entry.IsFolder()) {
        if (!EntersSubfolder(source, entry)) continue;
        subfolders->push_back({entry.name, entry.attributes, copy != nullptr && copy->IsFolder()});
        continue;
      }
      if (IsTemporaryName(entry.name)) continue;
      LetEventsRunBetweenFiles();
      CopyOneFile(Join(source, entry.name), entry, target, copy, earlier,
                  FindKey(earlier_copies, entry.key));
    }
    if (listing.Failed()) FailFolder(source, listing);
  }

  // The one decision about which subfolders of a source the walk goes into.
  bool EntersSubfolder(const std::string& parent, const TreeEntry& folder) {
    if (folder.names_another_place) return false;
    if (IsRoot(parent) && IsVolumeBookkeeping(folder.name)) return false;
    if (!backups_root_.empty() && files_.SamePath(parent, backups_root_) &&
        IsBackupFolderOf(folder.name, settings_.backup_names, settings_.stamp_texts)) {
      return false;
    }
    return !files_.SamePath(Join(parent, folder.name), target_root_);  // the copy itself
  }

  // The one decision whether a copy needs no rewrite.
  bool IsCurrent(const TreeEntry& file, const TreeEntry& copy) const {
    return coarse_times_ ? CopyIsCurrentOnCoarseVolume(StampOf(file), StampOf(copy))
                         : CopyIsCurrent(StampOf(file), StampOf(copy));
  }

  // Asks once per copy whether the destination's volume keeps coarse write times (a USB stick
  // with FAT32 or exFAT): there a copy's write time never equals a source's to the tick, and
  // every run would rewrite every file.
  void LearnWriteTimes(const std::string& folder) {
    bool fine = true;
    coarse_times_ = !files_.KeepsFineWriteTimes(folder, &fine).Failed() && !fine;
  }

  // Reads what a destination folder holds, sorted by key, and deletes the leftovers of
  // interrupted runs on the way.
  FileError ReadCopies(const std::string& folder, std::vector<TreeEntry>* copies) {
    const FileError e = files_.List(folder, copies);
    std::erase_if(*copies, [&](const TreeEntry& entry) {
      if (entry.IsFolder() || !IsTemporaryName(entry.name)) return false;
      DeleteUnfinished(Join(folder, entry.name));
      return true;
    });
    std::sort(copies->begin(), copies->end(), KeyLess);
    return e;
  }

  // What becomes of a source file, given what the destination's listing shows under its name
  // and what the earlier backup's listing shows there.
  enum class FileAction {
    kWrite,           // a new copy, through a temporary file
    kSkip,            // its copy is current
    kFolderInTheWay,  // a folder has its name at the destination
    kMayNotReplace,   // a different copy is there and may not be replaced
    kLink,            // a second name of the earlier backup's copy, which is current
  };

  // The one decision about a file. A link is only ever made where the destination has no copy:
  // an existing name is replaced, never relinked, and the linked copy must match the source's
  // attributes too, because a file's attributes belong to every name it has.
  FileAction DecideFile(const TreeEntry& file, const TreeEntry* copy,
                        const TreeEntry* earlier) const {
    if (copy != nullptr) {
      if (copy->IsFolder()) return FileAction::kFolderInTheWay;
      if (IsCurrent(file, *copy)) return FileAction::kSkip;
      return settings_.overwrite ? FileAction::kWrite : FileAction::kMayNotReplace;
    }
    if (earlier != nullptr && !earlier->IsFolder() && IsCurrent(file, *earlier) &&
        ((earlier->attributes ^ file.attributes) & kFileAttributesChecked) == 0) {
      return FileAction::kLink;
    }
    return FileAction::kWrite;
  }

  // What an earlier backup's folder holds, sorted by key; nothing when there is no such
  // folder or links are not to be made.
  void ReadEarlierCopies(const std::string& folder, std::vector<TreeEntry>* copies) {
    if (folder.empty() || !linking_.load()) return;
    if (files_.List(folder, copies).Failed()) copies->clear();
    std::sort(copies->begin(), copies->end(), KeyLess);
  }

  // Carries out the decision about one file: a skipped copy has its bits put right, a file to
  // link or to write goes to the pool. copy is what the destination's listing
  // showed under the file's name, if anything; earlier what the earlier backup's folder
  // (earlier_folder) showed.
  void CopyOneFile(const std::string& source, const TreeEntry& file, const std::string& folder,
                   const TreeEntry* copy, const std::string& earlier_folder,
                   const TreeEntry* earlier) {
    const std::uint64_t order = NextOrder();
    const std::string target = Join(folder, file.name);
    EarlierCopy replaced;
    std::string link_to;
    switch (DecideFile(file, copy, earlier)) {
      case FileAction::kFolderInTheWay:
        return FailFile(order, target, files_.Refusal(CopyRefusal::kFolderInTheWay));
      case FileAction::kMayNotReplace:
        return FailFile(order, target, files_.Refusal(CopyRefusal::kFileExists));
      case FileAction::kSkip:
        if ((copy->attributes ^ file.attributes) & kFileAttributesChecked) {
          files_.SetAttributes(Join(folder, file.name), SettableAttributes(file.attributes));
        }
        skipped_.fetch_add(1);
        return;
      case FileAction::kLink:
        if (!linking_.load()) break;
        link_to = Join(earlier_folder, earlier->name);
        break;
      case FileAction::kWrite:
        if (copy != nullptr) replaced = EarlierCopy{true, copy->attributes};
        break;
    }
    auto job = std::make_shared<FileJob>(
        FileJob{order, source, folder, file, replaced, false, std::move(link_to)});
    pool_->Submit([this, job] { WriteGuarded(*job); });
  }

  // On a worker: gives target its name as a second name of the earlier backup's copy. A link is
  // whole the moment it exists, so it needs no temporary file. It is one call with no data, but
  // under Wine three trips to its server, so links made on the writers overlap those trips and
  // took half the time of links made one after another on the walk's thread. False when the
  // file system refused; the file is then copied as any other.
  bool Link(const std::string& existing, const std::string& target) {
    if (!linking_.load()) return false;
    const FileError e = files_.MakeHardLink(existing, target);
    if (!e.Failed()) {
      linked_.fetch_add(1);
      return true;
    }
    if (linked_.load() == 0 && link_refusals_.fetch_add(1) + 1 >= kLinkRefusalsBeforeGivingUp) {
      linking_.store(false);
    }
    return false;
  }

  // Copies that failed for a full disk while other copies were filling it too are tried once
  // more, one at a time, once the rest are done: the temporary files of the others are gone by
  // then, and a file that fits on its own is not lost to a race it had no part in.
  void RetryDeferred() {
    std::vector<FileJob> again;
    {
      std::lock_guard lock(out_lock_);
      again.swap(deferred_);
    }
    for (FileJob& job : again) {
      job.last_try = true;
      auto shared = std::make_shared<FileJob>(std::move(job));
      pool_->Submit([this, shared] { WriteGuarded(*shared); });
      pool_->Drain();
    }
  }

  // On a worker: writes one file; no failure escapes to the pool.
  void WriteGuarded(const FileJob& job) {
    try {
      if (!job.link_to.empty() && Link(job.link_to, Join(job.folder, job.file.name))) return;
      Write(job);
    } catch (const std::exception& e) {
      RecordFileFailure(job.order, files_.Shown(Join(job.folder, job.file.name)), e.what());
    } catch (...) {
      RecordFileFailure(job.order, files_.Shown(Join(job.folder, job.file.name)),
                        "Unexpected failure");
    }
  }

  // On a worker: copies one file. A file that replaces a copy is written under a temporary
  // name and renamed over it, so the copy it replaces is good until the new one is whole. A file
  // with no copy yet is written under its own name: there is nothing to lose, and the creation
  // and rename of a second name are the costliest steps of a small file. Its times go on last,
  // so one cut short by a crash keeps the time of its last write, which no source has, and the
  // next run replaces it. Without leave to replace, a file cut short could never be put right,
  // so such a copy always goes through a temporary file.
  void Write(const FileJob& job) {
    const TreeEntry& file = job.file;
    const std::string target = Join(job.folder, file.name);
    std::unique_ptr<OpenFile> in;
    if (const FileError e = files_.OpenForReading(job.source, &in); e.Failed()) {
      return FailFile(job.order, job.source, e);
    }
    if (const FileError e = CheckRoom(job.folder, file.size); e.Failed()) {
      return FailWrite(job, target, e);
    }
    std::string written;  // the name being written, deleted should the copy fail
    std::unique_ptr<OpenFile> out;
    bool in_place = !job.earlier.exists && settings_.overwrite;
    if (in_place) {
      written = target;
      const FileError e = files_.CreateExclusive(target, BornWith(file.attributes), &out);
      // A copy that turned up after the folder was listed (another run writing the same
      // folder) is replaced through a temporary file like any other.
      if (e.kind == FileErrorKind::kAlreadyExists) {
        in_place = false;
      } else if (e.Failed()) {
        return FailWrite(job, target, e);
      }
    }
    if (!in_place) {
      if (const FileError e = CreateTemporary(job.folder, file.attributes, &written, &out);
          e.Failed()) {
        return FailWrite(job, target, e);
      }
    }
    bool read_failed = false;
    FileError e = CopyData(*in, *out, file.size, &read_failed);
    in.reset();
    // The times, and the read-only bit when the source has it, go on before the rename, so the
    // finished copy never shows the wrong ones; 0 leaves the bits the file was born with.
    if (!e.Failed()) {
      e = out->SetTimes(file.times, (file.attributes & kAttrReadOnly)
                                        ? SettableAttributes(file.attributes)
                                        : 0);
    }
    if (!e.Failed() && !in_place) e = PutInPlace(*out, target, job.earlier);
    out.reset();
    if (e.Failed()) {
      DeleteUnfinished(written);
      if (read_failed) return FailFile(job.order, job.source, e);
      return FailWrite(job, target, e);
    }
    copied_.fetch_add(1);
  }

  // A failed write; a full disk while other copies were running is tried again at the end.
  void FailWrite(const FileJob& job, const std::string& target, const FileError& e) {
    if (e.kind == FileErrorKind::kDiskFull && !job.last_try && pool_->Running() > 1) {
      std::lock_guard lock(out_lock_);
      if (deferred_.size() < kMaxDeferred) {
        deferred_.push_back(job);
        return;
      }
    }
    FailFile(job.order, target, e);
  }

  // Renames the finished temporary file to target. Only a replacement can lose a good copy, so
  // only then are data and rename forced to disk. A copy that turns up after the folder was
  // listed (another run writing the same folder) is found by the rename and replaced in turn.
  FileError PutInPlace(OpenFile& out, const std::string& target, EarlierCopy earlier) {
    if (!earlier.exists) {
      FileError e = out.RenameOver(target, false);
      if (e.kind != FileErrorKind::kAlreadyExists) return e;
      TreeEntry there;
      if (files_.Describe(target, &there).Failed()) return e;
      if (there.IsFolder()) return files_.Refusal(CopyRefusal::kFolderInTheWay);
      if (!settings_.overwrite) return files_.Refusal(CopyRefusal::kFileExists);
      earlier = EarlierCopy{true, there.attributes};
    }
    if (FileError e = out.Flush(); e.Failed()) return e;
    // Windows refuses to replace a read-only file, and an earlier copy of a read-only source
    // is read-only.
    const bool cleared = (earlier.attributes & kAttrReadOnly) != 0;
    if (cleared) {
      files_.SetAttributes(target, SettableAttributes(earlier.attributes & ~kAttrReadOnly));
    }
    if (FileError e = out.RenameOver(target, true); e.Failed()) {
      if (cleared) files_.SetAttributes(target, SettableAttributes(earlier.attributes));
      return e;
    }
    out.Flush();  // the rename itself is made durable too
    return {};
  }

  // A new file is born with the source's attributes except read-only, which comes last, so
  // that plain files need no attribute change afterwards.
  static std::uint32_t BornWith(std::uint32_t attributes) {
    return SettableAttributes(attributes & ~kAttrReadOnly);
  }

  FileError CreateTemporary(const std::string& folder, std::uint32_t attributes,
                            std::string* path, std::unique_ptr<OpenFile>* file) {
    FileError e;
    for (int attempt = 0; attempt < 8; ++attempt) {
      *path = Join(folder, NextTemporaryName());
      e = files_.CreateExclusive(*path, BornWith(attributes), file);
      if (e.kind != FileErrorKind::kAlreadyExists) return e;
    }
    return e;
  }

  // A short read at the known end of the file ends the copy without a second read. A small
  // file gets a buffer of its own size.
  FileError CopyData(OpenFile& in, OpenFile& out, std::uint64_t expected, bool* read_failed) {
    const std::size_t buffer_bytes = static_cast<std::size_t>(
        std::clamp<std::uint64_t>(expected + 1, kSmallestBufferBytes, kBufferBytes));
    const auto buffer = std::make_unique_for_overwrite<char[]>(buffer_bytes);
    std::uint64_t done = 0;
    std::uint64_t since_progress = 0;
    for (;;) {
      std::size_t got = 0;
      if (FileError e = in.Read(buffer.get(), buffer_bytes, &got); e.Failed()) {
        *read_failed = true;
        return e;
      }
      if (got == 0) return {};
      if (FileError e = out.Write(buffer.get(), got); e.Failed()) return e;
      done += got;
      since_progress += got;
      if (since_progress >= kYieldBytes) {
        since_progress = 0;
        pool_->NoteProgress();
      }
      if (got < buffer_bytes && done >= expected) return {};
    }
  }

  // A file larger than the room on its volume fails at once with the reason a user
  // understands, before any of it is written and without filling the disk for every other
  // program first. The room is asked for again only when the last answer, less what was set
  // aside since, does not cover a file.
  FileError CheckRoom(const std::string& folder, std::uint64_t bytes) {
    if (bytes == 0 || room_unknown_.load()) return {};
    std::uint64_t room = room_.load();
    while (bytes <= room) {
      if (room_.compare_exchange_weak(room, room - bytes)) return {};
    }
    std::lock_guard lock(room_lock_);
    std::uint64_t available = 0;
    if (files_.FreeSpace(folder, &available).Failed()) {
      room_unknown_.store(true);  // the writes will tell
      return {};
    }
    if (bytes > available) {
      room_.store(available);
      return files_.Refusal(CopyRefusal::kDiskFull);
    }
    room_.store(available - bytes);
    return {};
  }

  // Deletes a file this run was writing, or a temporary file, whatever attributes it was given;
  // failures are left for the next run (the file may still be open in another run).
  void DeleteUnfinished(const std::string& path) {
    if (!files_.Delete(path).Failed()) return;
    files_.SetAttributes(path, 0);
    files_.Delete(path);
  }

  void KeepFolderAttributes(const std::string& folder, std::uint32_t source_attributes) {
    const std::uint32_t bits = source_attributes & kFolderAttributesKept;
    if (bits != 0) files_.SetAttributes(folder, bits);
  }

  std::string NextTemporaryName() {
    // splitmix64 over a per-run seed and a shared count: cheap, safe on any thread, and two
    // runs do not walk the same names.
    std::uint64_t value = name_seed_ + 0x9E3779B97F4A7C15ull * (name_count_.fetch_add(1) + 1);
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    value ^= value >> 31;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name(kTempPrefix);
    name.resize(name.size() + kTempHexDigits);
    for (int i = 0; i < kTempHexDigits; ++i) {
      name[name.size() - 1 - i] = kHex[value & 0xF];
      value >>= 4;
    }
    name += kTempSuffix;
    return name;
  }

  // Small files take well under a millisecond each, and a pass through the event pump costs
  // a noticeable share of that, so between files the pump runs at most every
  // kYieldIntervalMs: often enough for a window to feel live.
  void LetEventsRunBetweenFiles() {
    if (std::chrono::steady_clock::now() - last_yield_ >=
        std::chrono::milliseconds(kYieldIntervalMs)) {
      LetEventsRun();
    }
  }

  // The caller's thread only.
  void LetEventsRun() {
    last_yield_ = std::chrono::steady_clock::now();
    if (!settings_.yield) return;
    try {
      settings_.yield();
    } catch (...) {
      // The event pump's failures belong to its handlers; the copy goes on.
    }
  }

  // The walk's own places: each file and each failing folder takes the next one.
  std::uint64_t NextOrder() { return next_order_++; }

  // Keeps the failure that comes first in the walk, whichever thread met it first.
  void Record(std::uint64_t order, const std::string& path, const std::string& reason) {
    if (order >= first_failure_order_) return;
    first_failure_order_ = order;
    out_.first_failure_path = path;
    out_.first_failure_reason = reason;
  }
  void RecordFileFailure(std::uint64_t order, const std::string& path, const std::string& reason) {
    std::lock_guard lock(out_lock_);
    ++out_.files_failed;
    Record(order, path, reason);
  }
  void FailFile(std::uint64_t order, const std::string& path, const FileError& e) {
    RecordFileFailure(order, files_.Shown(path), e.text);
  }
  void FailFolder(const std::string& path, const FileError& e) {
    const std::uint64_t order = NextOrder();
    const std::string shown = files_.Shown(path);
    std::lock_guard lock(out_lock_);
    ++out_.folders_failed;
    Record(order, shown, e.text);
  }
  // The walk itself failed (no memory): the source counts as a failed folder.
  void FailRun(const std::string& source, const std::string& reason) {
    const std::uint64_t order = NextOrder();
    std::lock_guard lock(out_lock_);
    ++out_.folders_failed;
    Record(order, source, reason);
  }

  FileTree& files_;
  const CopySettings& settings_;
  std::string target_root_;
  std::string link_root_;  // the earlier backup in full form; empty: no links
  std::string backups_root_;  // settings_.backups_folder in full form; empty for none
  bool coarse_times_ = false;  // the destination's volume keeps write times in coarse steps
  std::uint64_t next_order_ = 0;  // the caller's thread only
  std::chrono::steady_clock::time_point last_yield_{};  // the caller's thread only
  const std::uint64_t name_seed_;
  std::atomic<std::uint64_t> name_count_{0};
  std::atomic<std::uint64_t> copied_{0};
  std::atomic<std::uint64_t> skipped_{0};
  std::atomic<std::uint64_t> linked_{0};
  std::atomic<int> link_refusals_{0};
  std::atomic<bool> linking_{true};

  std::mutex out_lock_;  // guards out_, first_failure_order_ and deferred_
  CopyOutcome out_;
  std::uint64_t first_failure_order_ = std::numeric_limits<std::uint64_t>::max();
  std::vector<FileJob> deferred_;

  std::mutex room_lock_;  // one question about the room at a time
  std::atomic<std::uint64_t> room_{0};  // free bytes on the destination's volume, as last known
  std::atomic<bool> room_unknown_{false};

  // Last, so that it goes first: its threads use everything above.
  std::unique_ptr<WorkPool> pool_;
};

}  // namespace

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kTempPrefix.size() + kTempHexDigits + kTempSuffix.size()) return false;
  if (!SameName(name.substr(0, kTempPrefix.size()), kTempPrefix)) return false;
  if (!SameName(name.substr(name.size() - kTempSuffix.size()), kTempSuffix)) return false;
  const std::string_view digits = name.substr(kTempPrefix.size(), kTempHexDigits);
  return std::all_of(digits.begin(), digits.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

CopyOutcome CopyTree(FileTree& files, const std::string& source, const std::string& destination,
                     const CopySettings& settings) {
  try {
    return CopyRun(files, settings).Run(source, destination);
  } catch (const std::exception& e) {
    CopyOutcome outcome;
    outcome.folders_failed = 1;
    outcome.first_failure_path = source;
    outcome.first_failure_reason = e.what();
    return outcome;
  }
}

// The port's copy is this core over the port's own primitives.
CopyOutcome FileSystem::CopyFolder(const std::string& source, const std::string& destination,
                                   bool overwrite, const std::function<void()>& yield) {
  CopySettings settings;
  settings.overwrite = overwrite;
  settings.yield = yield;
  return CopyFolderWith(source, destination, settings);
}

CopyOutcome FileSystem::CopyFolderWith(const std::string& source, const std::string& destination,
                                       const CopySettings& settings) {
  return CopyTree(*this, source, destination, settings);
}

}  // namespace tess
