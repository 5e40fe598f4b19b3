#include "copy/file_writer.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <exception>
#include <random>
#include <utility>

#include "base/temporary_name.h"
#include "copy/copy_paths.h"
#include "copy/file_decision.h"

namespace tess {
namespace {

using copy_path::Join;

// Small enough to stay in the processor cache between the read and the write.
constexpr std::size_t kBufferBytes = 64u << 10;
constexpr std::size_t kSmallestBufferBytes = 4u << 10;
// At most this many copies wait for a second try after a full disk; beyond that the disk is
// simply full, and memory stays bounded.
constexpr std::size_t kMaxDeferred = 64;
// A volume that has refused this many links and made none does not make links (FAT, exFAT,
// many shares): the rest of the copy stops asking.
constexpr int kLinkRefusalsBeforeGivingUp = 8;

std::uint64_t NameSeed(const void* writer) {
  std::uint64_t seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      reinterpret_cast<std::uintptr_t>(writer);
  try {
    std::random_device device;
    seed ^= (static_cast<std::uint64_t>(device()) << 32) | device();
  } catch (...) {
    // The clock and the address still keep runs apart.
  }
  return seed;
}

// A new file is born with the source's attributes except read-only, which comes last, so
// that plain files need no attribute change afterwards.
std::uint32_t BornWith(std::uint32_t attributes) {
  return SettableAttributes(attributes & ~kAttrReadOnly);
}

}  // namespace

FileWriter::FileWriter(FileTree& files, CopyTally& tally, bool may_replace, int workers,
                       std::function<void()> events, FileHashes* hashes)
    : files_(files),
      tally_(tally),
      hashes_(hashes),
      may_replace_(may_replace),
      name_seed_(NameSeed(this)) {
  pool_ = files_.MakeWorkPool(workers, std::move(events));
}

void FileWriter::Submit(FileJob job) {
  auto shared = std::make_shared<FileJob>(std::move(job));
  pool_->Submit([this, shared] {
    shared->ended_before = jobs_ended_.load();
    WriteGuarded(*shared);
    jobs_ended_.fetch_add(1);
  });
}

void FileWriter::Drain() { pool_->Drain(); }

// Copies that failed for a full disk while other copies were filling it too are tried once
// more, one at a time, once the rest are done: the temporary files of the others are gone by
// then, and a file that fits on its own is not lost to a race it had no part in.
void FileWriter::Finish() {
  pool_->Drain();
  std::vector<FileJob> again;
  {
    std::lock_guard lock(deferred_lock_);
    again.swap(deferred_);
  }
  for (FileJob& job : again) {
    job.last_try = true;
    Submit(std::move(job));
    pool_->Drain();
  }
}

// On a worker: links or writes one file; no failure escapes to the pool.
void FileWriter::WriteGuarded(FileJob& job) {
  try {
    if (job.hash_only) return HashSource(job);
    if (!job.link_to.empty() && Link(job.link_to, Join(job.folder, job.file.name), job.file.size)) {
      return HashLinked(job);
    }
    Write(job);
  } catch (const std::exception& e) {
    FailFile(job, Join(job.folder, job.file.name), FileError{FileErrorKind::kOther, e.what()});
  } catch (...) {
    FailFile(job, Join(job.folder, job.file.name),
             FileError{FileErrorKind::kOther, "Unexpected failure"});
  }
}

// On a worker: gives target its name as a second name of the earlier backup's copy. A link is
// whole the moment it exists, so it needs no temporary file. It is one call with no data, but
// under Wine three trips to its server, so links made on the writers overlap those trips and
// took half the time of links made one after another on the walk's thread. False when the
// file system refused; the file is then copied as any other.
bool FileWriter::Link(const std::string& existing, const std::string& target, std::uint64_t bytes) {
  if (!linking_.load()) return false;
  const FileError e = files_.MakeHardLink(existing, target);
  if (!e.Failed()) {
    tally_.Linked(bytes);
    return true;
  }
  if (tally_.LinksMade() == 0 && link_refusals_.fetch_add(1) + 1 >= kLinkRefusalsBeforeGivingUp) {
    linking_.store(false);
  }
  return false;
}

// On a worker: copies one file. A file that replaces a copy is written under a temporary
// name and renamed over it, so the copy it replaces is good until the new one is whole. A file
// with no copy yet is written under its own name: there is nothing to lose, and the creation
// and rename of a second name are the costliest steps of a small file. Its times go on last,
// so one cut short by a crash keeps the time of its last write, which no source has, and the
// next run replaces it. Without leave to replace, a file cut short could never be put right,
// so such a copy always goes through a temporary file.
void FileWriter::Write(FileJob& job) {
  const TreeEntry& file = job.file;
  const std::string target = Join(job.folder, file.name);
  std::unique_ptr<OpenFile> in;
  if (const FileError e = files_.OpenForReading(job.source, &in); e.Failed()) {
    return FailFile(job, job.source, e);
  }
  if (const FileError e = CheckRoom(job.folder, file.size); e.Failed()) {
    return FailWrite(job, target, e);
  }
  std::string written;  // the name being written, deleted should the copy fail
  std::unique_ptr<OpenFile> out;
  bool in_place = !job.replaces && may_replace_;
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
  const std::unique_ptr<HashRun> hash =
      hashes_ != nullptr && !job.hash_path.empty() ? hashes_->Hash().Start() : nullptr;
  FileError e = CopyData(*in, *out, job, &read_failed, hash.get());
  in.reset();
  // The times, and the read-only bit when the source has it, go on before the rename, so the
  // finished copy never shows the wrong ones; 0 leaves the bits the file was born with.
  if (!e.Failed()) {
    e = out->SetTimes(file.times,
                      (file.attributes & kAttrReadOnly) ? SettableAttributes(file.attributes) : 0);
  }
  if (!e.Failed() && !in_place) {
    if (hashes_ != nullptr && !job.hash_path.empty()) hashes_->Replacing(job.hash_path);
    e = PutInPlace(*out, target, job.replaces, job.replaced_attributes);
  }
  out.reset();
  if (e.Failed()) {
    DeleteUnfinished(files_, written);
    if (read_failed) return FailFile(job, job.source, e);
    return FailWrite(job, target, e);
  }
  tally_.Copied(file.size > job.bytes_counted ? file.size - job.bytes_counted : 0);
  Sha256Digest digest{};
  if (hash && hash->Finish(&digest)) hashes_->Record(job.hash_path, digest);
}

void FileWriter::HashLinked(const FileJob& job) {
  if (hashes_ == nullptr || job.hash_path.empty()) return;
  if (!hashes_->Carry(job.hash_path, true)) HashSource(job);
}

void FileWriter::HashSource(const FileJob& job) {
  std::unique_ptr<OpenFile> in;
  const std::unique_ptr<HashRun> hash = hashes_->Hash().Start();
  if (!hash || files_.OpenForReading(job.source, &in).Failed()) return;
  const auto buffer = std::make_unique_for_overwrite<char[]>(kBufferBytes);
  for (;;) {
    std::size_t got = 0;
    if (in->Read(buffer.get(), kBufferBytes, &got).Failed()) return;
    if (got == 0) break;
    hash->Add(buffer.get(), got);
  }
  Sha256Digest digest{};
  if (hash->Finish(&digest)) hashes_->Record(job.hash_path, digest);
}

// A failed write; a full disk while other copies were running is tried again at the end. Some
// other copy ran beside this one if it runs still or has ended since this one began: the copy
// that filled the disk has often failed and ended, its temporary file gone, by the time this
// one's failure comes back.
void FileWriter::FailWrite(const FileJob& job, const std::string& target, const FileError& e) {
  const bool others_ran = pool_->Running() > 1 || jobs_ended_.load() != job.ended_before;
  if (e.kind == FileErrorKind::kDiskFull && !job.last_try && others_ran) {
    std::lock_guard lock(deferred_lock_);
    if (deferred_.size() < kMaxDeferred) {
      deferred_.push_back(job);
      return;
    }
  }
  FailFile(job, target, e);
}

void FileWriter::FailFile(const FileJob& job, const std::string& path, const FileError& e) {
  if (e.kind == FileErrorKind::kDiskFull) tally_.DiskWasFull();
  tally_.FileFailed(job.order, files_.Shown(path), e.text,
                    job.file.size > job.bytes_counted ? job.file.size - job.bytes_counted : 0);
}

// Renames the finished temporary file to target. Only a replacement can lose a good copy, so
// only then are data and rename forced to disk. A copy that turns up after the folder was
// listed (another run writing the same folder) is found by the rename and replaced in turn.
FileError FileWriter::PutInPlace(OpenFile& out, const std::string& target, bool replaces,
                                 std::uint32_t replaced_attributes) {
  if (!replaces) {
    FileError e = out.RenameOver(target, false);
    if (e.kind != FileErrorKind::kAlreadyExists) return e;
    TreeEntry there;
    if (files_.Describe(target, &there).Failed()) return e;
    if (there.IsFolder()) return files_.Refusal(CopyRefusal::kFolderInTheWay);
    if (!may_replace_) return files_.Refusal(CopyRefusal::kFileExists);
    replaced_attributes = there.attributes;
  }
  if (FileError e = out.Flush(); e.Failed()) return e;
  // Windows refuses to replace a read-only file, and an earlier copy of a read-only source
  // is read-only.
  const bool cleared = (replaced_attributes & kAttrReadOnly) != 0;
  if (cleared) {
    files_.SetAttributes(target, SettableAttributes(replaced_attributes & ~kAttrReadOnly));
  }
  if (FileError e = out.RenameOver(target, true); e.Failed()) {
    if (cleared) files_.SetAttributes(target, SettableAttributes(replaced_attributes));
    return e;
  }
  out.Flush();  // the rename itself is made durable too
  return {};
}

FileError FileWriter::CreateTemporary(const std::string& folder, std::uint32_t attributes,
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
FileError FileWriter::CopyData(OpenFile& in, OpenFile& out, FileJob& job, bool* read_failed,
                               HashRun* hash) {
  const std::uint64_t expected = job.file.size;
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
    // The bytes are hashed as they go past, while still in the cache: no second read.
    if (hash != nullptr) hash->Add(buffer.get(), got);
    done += got;
    // A second try after a full disk counts only what its first try did not.
    if (done > job.bytes_counted) {
      tally_.Wrote(done - job.bytes_counted);
      job.bytes_counted = done;
    }
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
FileError FileWriter::CheckRoom(const std::string& folder, std::uint64_t bytes) {
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

// A per-run seed and a shared count: cheap, safe on any thread, and two runs do not walk the
// same names.
std::string FileWriter::NextTemporaryName() {
  return DrawnTemporaryName(name_seed_, name_count_.fetch_add(1) + 1);
}

void DeleteUnfinished(FileTree& files, const std::string& path) {
  if (!files.Delete(path).Failed()) return;
  files.SetAttributes(path, 0);
  files.Delete(path);
}

}  // namespace tess
