// The writer side of a folder copy: each file the walk hands over is linked or written on the
// file tree's work pool, a replacement through a temporary file renamed over the old copy, with
// the room on the volume checked first and a write that met a full disk tried once more, alone,
// at the end. Failures go to the copy's tally in the walk's order.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "copy/copy_tally.h"
#include "copy/file_hashes.h"
#include "ports/file_tree.h"

namespace tess {

// Runs on the walk's thread every this many bytes of a long file, so a window stays live.
inline constexpr std::uint64_t kYieldBytes = 4u << 20;

// One file to link or write, as the walk found it.
struct FileJob {
  std::uint64_t order = 0;  // its place in the walk, so failures are told in walk order
  std::string source;
  std::string folder;  // where the copy goes, under the file's own name
  TreeEntry file;
  bool replaces = false;  // a copy is there already and this one replaces it
  std::uint32_t replaced_attributes = 0;
  // The earlier backup's copy to link to first, or empty; the file is written when the link
  // is refused.
  std::string link_to;
  bool last_try = false;           // a second try after a full disk: a failure now counts
  std::uint64_t ended_before = 0;  // how many jobs had ended when this one began
  // Its path in the folder's manifest ("a/b.txt"); empty when the copy makes no hashes.
  std::string hash_path;
  // Current already: only its source is read, once, for its hash.
  bool hash_only = false;
  std::uint64_t bytes_counted = 0;  // of its bytes, those the tally has counted already
};

class FileWriter {
 public:
  // events runs on the walk's thread whenever the pool lets events in. may_replace: a
  // different copy may be replaced (otherwise a copy that turns up is a failure). hashes: where
  // each file left whole has its hash told; null for none.
  FileWriter(FileTree& files, CopyTally& tally, bool may_replace, int workers,
             std::function<void()> events, FileHashes* hashes = nullptr);
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Walk's thread: hands a file to the pool; may wait, with events running, while it is full.
  void Submit(FileJob job);
  // Walk's thread: waits for every write, then gives the writes a full disk put off their
  // last try, one at a time.
  void Finish();
  // Walk's thread: waits for every write.
  void Drain();
  // False once the volume has shown that it makes no links: the walk stops offering them.
  bool Linking() const { return linking_.load(); }

 private:
  void WriteGuarded(FileJob& job);
  bool Link(const std::string& existing, const std::string& target, std::uint64_t bytes);
  void Write(FileJob& job);
  void FailWrite(const FileJob& job, const std::string& target, const FileError& e);
  // The file failed; what the tally has not counted of its bytes counts now.
  void FailFile(const FileJob& job, const std::string& path, const FileError& e);
  FileError PutInPlace(OpenFile& out, const std::string& target, bool replaces,
                       std::uint32_t replaced_attributes);
  FileError CreateTemporary(const std::string& folder, std::uint32_t attributes, std::string* path,
                            std::unique_ptr<OpenFile>* file);
  FileError CopyData(OpenFile& in, OpenFile& out, FileJob& job, bool* read_failed, HashRun* hash);
  // A linked file's line: lent by the earlier manifest, or made from its source.
  void HashLinked(const FileJob& job);
  // Reads the job's source once for its hash; a file that cannot be read goes without a line.
  void HashSource(const FileJob& job);
  FileError CheckRoom(const std::string& folder, std::uint64_t bytes);
  std::string NextTemporaryName();

  FileTree& files_;
  CopyTally& tally_;
  FileHashes* const hashes_;
  const bool may_replace_;
  const std::uint64_t name_seed_;
  std::atomic<std::uint64_t> name_count_{0};
  std::atomic<int> link_refusals_{0};
  std::atomic<bool> linking_{true};

  std::mutex deferred_lock_;
  std::vector<FileJob> deferred_;  // writes a full disk put off, under deferred_lock_
  std::atomic<std::uint64_t> jobs_ended_{0};

  std::mutex room_lock_;                // one question about the room at a time
  std::atomic<std::uint64_t> room_{0};  // free bytes on the destination's volume, as last known
  std::atomic<bool> room_unknown_{false};

  // Last, so that it goes first: its threads use everything above.
  std::unique_ptr<WorkPool> pool_;
};

// Deletes a file a copy was writing, or a temporary file, whatever attributes it was given;
// failures are left for the next run (the file may still be open in another run).
void DeleteUnfinished(FileTree& files, const std::string& path);

}  // namespace tess
