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
  bool Complete() const { return files_failed == 0 && folders_failed == 0; }
  std::uint64_t FilesSeen() const {
    return files_copied + files_skipped + files_linked + files_failed;
  }
};

// Counts a copy's files as they are done, on any thread. Of the failures it keeps the one that
// comes first in the walk (each file and failing folder takes a place in walk order), whichever
// thread met it first, so a report names the same file however the writers were scheduled.
class CopyTally {
 public:
  void Copied() { copied_.fetch_add(1); }
  void Skipped() { skipped_.fetch_add(1); }
  void Linked() { linked_.fetch_add(1); }
  // Links made so far: a volume that has made one does make them.
  std::uint64_t LinksMade() const { return linked_.load(); }
  void FileFailed(std::uint64_t order, const std::string& path, const std::string& reason);
  void FolderFailed(std::uint64_t order, const std::string& path, const std::string& reason);
  void DiskWasFull() { disk_full_.store(true); }
  // The counts so far; read once every writer has ended for the copy's own outcome.
  CopyOutcome Outcome();

 private:
  // Under lock_.
  void Record(std::uint64_t order, const std::string& path, const std::string& reason);

  std::atomic<std::uint64_t> copied_{0};
  std::atomic<std::uint64_t> skipped_{0};
  std::atomic<std::uint64_t> linked_{0};
  std::atomic<bool> disk_full_{false};
  std::mutex lock_;       // guards what follows
  CopyOutcome failures_;  // the failure counts and the first failure
  std::uint64_t first_failure_order_ = std::numeric_limits<std::uint64_t>::max();
};

}  // namespace tess
