#include "copy/copy_tally.h"

namespace tess {

void CopyTally::FileFailed(std::uint64_t order, const std::string& path, const std::string& reason,
                           std::uint64_t bytes) {
  bytes_.fetch_add(bytes, std::memory_order_relaxed);
  files_done_.fetch_add(1, std::memory_order_relaxed);
  std::lock_guard lock(lock_);
  ++failures_.files_failed;
  Record(order, path, reason);
}

void CopyTally::FolderFailed(std::uint64_t order, const std::string& path,
                             const std::string& reason) {
  std::lock_guard lock(lock_);
  ++failures_.folders_failed;
  Record(order, path, reason);
}

CopyOutcome CopyTally::Outcome() {
  std::lock_guard lock(lock_);
  CopyOutcome outcome = failures_;
  outcome.files_copied = copied_.load();
  outcome.files_skipped = skipped_.load();
  outcome.files_linked = linked_.load();
  outcome.disk_full = disk_full_.load();
  outcome.bytes_seen = bytes_.load();
  return outcome;
}

void CopyTally::Record(std::uint64_t order, const std::string& path, const std::string& reason) {
  if (order >= first_failure_order_) return;
  first_failure_order_ = order;
  failures_.first_failure_path = path;
  failures_.first_failure_reason = reason;
}

}  // namespace tess
