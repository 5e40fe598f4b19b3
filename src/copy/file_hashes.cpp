#include "copy/file_hashes.h"

#include <utility>

#include "base/text.h"

namespace tess {

std::string FileHashes::Known(const std::string& path, bool linked) const {
  const Lines& lines = linked ? earlier_ : own_;
  const auto it = lines.find(path);
  return it == lines.end() ? std::string() : it->second;
}

void FileHashes::Record(const std::string& path, const Sha256Digest& digest) {
  Record(path, LowerHex(digest.data(), digest.size()));
}

void FileHashes::Record(const std::string& path, std::string hex) {
  std::lock_guard lock(lock_);
  made_[path] = std::move(hex);
}

FileHashes::Lines FileHashes::Made() {
  std::lock_guard lock(lock_);
  return std::exchange(made_, {});
}

}  // namespace tess
