// What a folder copy did: the counts of its files and the first failure in walk order, kept
// while the walk and the writers finish files on several threads at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <mutex>
#include <string>

namespace tess {

// What a folder copy did. A copy is complete only when nothing failed.
struct CopyOutcome {
  std::uint64_t files_copied = 0;   // written anew
  std::uint64_t files_skipped = 0;  // already identical at the destination
  std::uint64_t files_linked = 0;   // given a second name of an earlier backup's identical copy
  std::uint64_t files_failed = 0;
  std::uint64_t folders_failed = 0;  // folders that could not be made or listed
  std::string first_failure_path;
  std::string first_failure_reason;  // the system's own words
  bool disk_full = false;            // some file or folder failed for a full disk
  std::uint64_t bytes_seen = 0;      // the bytes of every file the copy went through
  bool Complete() const { return files_failed == 0 && folders_failed == 0; }
  std::uint64_t FilesSeen() const {
    return files_copied + files_skipped + files_linked + files_failed;
  }
};

// How far a copy has come while it runs: the files done (copied, skipped, linked or failed)
// and the bytes of them, counting a file's bytes as they are written.
struct CopyProgress {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};

// Counts a copy's files as they are done, on any thread. Of the failures it keeps the one that
// comes first in the walk (each file and failing folder takes a place in walk order), whichever
// thread met it first, so a report names the same file however the writers were scheduled.
class CopyTally {
 public:
  // A file done; its bytes not counted yet by Wrote are counted now.
  void Copied(std::uint64_t bytes_left) { Done(&copied_, bytes_left); }
  void Skipped(std::uint64_t bytes) { Done(&skipped_, bytes); }
  void Linked(std::uint64_t bytes) { Done(&linked_, bytes); }
  // Bytes of a file being written, as they are written.
  void Wrote(std::uint64_t bytes) { bytes_.fetch_add(bytes, std::memory_order_relaxed); }
  // Links made so far: a volume that has made one does make them.
  std::uint64_t LinksMade() const { return linked_.load(); }
  // A failed file; bytes are what is left of its size, so the bytes done count it whole.
  void FileFailed(std::uint64_t order, const std::string& path, const std::string& reason,
                  std::uint64_t bytes = 0);
  void FolderFailed(std::uint64_t order, const std::string& path, const std::string& reason);
  void DiskWasFull() { disk_full_.store(true); }
  // The counts so far; read once every writer has ended for the copy's own outcome.
  CopyOutcome Outcome();
  // Any time, from any thread, without waiting: files and bytes done so far.
  CopyProgress Progress() const {
    return {files_done_.load(std::memory_order_relaxed), bytes_.load(std::memory_order_relaxed)};
  }

 private:
  void Done(std::atomic<std::uint64_t>* count, std::uint64_t bytes) {
    count->fetch_add(1);
    bytes_.fetch_add(bytes, std::memory_order_relaxed);
    files_done_.fetch_add(1, std::memory_order_relaxed);
  }
  // Under lock_.
  void Record(std::uint64_t order, const std::string& path, const std::string& reason);

  std::atomic<std::uint64_t> copied_{0};
  std::atomic<std::uint64_t> skipped_{0};
  std::atomic<std::uint64_t> linked_{0};
  std::atomic<std::uint64_t> files_done_{0};
  std::atomic<std::uint64_t> bytes_{0};
  std::atomic<bool> disk_full_{false};
  std::mutex lock_;       // guards what follows
  CopyOutcome failures_;  // the failure counts and the first failure
  std::uint64_t first_failure_order_ = std::numeric_limits<std::uint64_t>::max();
};

}  // namespace tess
