#include "copy/file_hashes.h"

#include <utility>

namespace tess {

bool FileHashes::Carry(const std::string& path, bool linked) {
  std::lock_guard lock(lock_);
  auto line = (linked ? earlier_ : own_).extract(path);
  if (line.empty()) return false;
  changed_ = changed_ || linked;
  made_.insert(std::move(line));
  return true;
}

bool FileHashes::MayLink(const std::string& path) {
  if (!earlier_vouches_) return true;
  std::lock_guard lock(lock_);
  return earlier_.count(path) != 0;
}

void FileHashes::Record(const std::string& path, const Sha256Digest& digest) {
  std::lock_guard lock(lock_);
  made_[path] = digest;
  changed_ = true;
}

FileHashes::Lines FileHashes::Made() {
  std::lock_guard lock(lock_);
  return std::exchange(made_, {});
}

void FileHashes::Replacing(const std::string& path) {
  {
    std::lock_guard lock(lock_);
    if (own_.count(path) == 0) return;
    changed_ = true;  // the manifest on the disk is no longer the folder's own
  }
  // Every writer that replaces such a copy waits here until the mark is on the disk.
  std::call_once(marked_, [this] {
    if (mark_) mark_();
  });
}

bool FileHashes::Changed() {
  std::lock_guard lock(lock_);
  return changed_;
}

FileHashes::Lines FileHashes::Unmet() {
  std::lock_guard lock(lock_);
  return std::exchange(own_, {});
}

}  // namespace tess
