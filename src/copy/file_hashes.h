// The hash of each file a copy leaves whole in its destination, made on the writers from the
// bytes as they are copied (no second read), and the lines an earlier manifest lends to files the
// copy links or finds current, so those are not read at all.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "ports/content_hash.h"

namespace tess {

class FileHashes {
 public:
  using Lines = std::map<std::string, std::string>;  // "a/b.txt" -> 64 lowercase hex digits

  // own: the lines the destination folder's earlier manifest gives its files (for files found
  // current); earlier: those of the folder the copy links to (for linked files).
  // earlier_vouches: that folder has a manifest, so a file it gives no line is not trusted to
  // link and is copied; without a manifest (a folder made before manifests), a linked file's
  // source is read once for its line.
  // distrusted: files whose copies were found damaged and could not be mended, which the copy
  // writes afresh, neither skipping them as current nor linking them.
  FileHashes(ContentHash& hash, Lines own, Lines earlier, bool earlier_vouches,
             std::set<std::string> distrusted = {})
      : hash_(hash),
        own_(std::move(own)),
        earlier_(std::move(earlier)),
        earlier_vouches_(earlier_vouches),
        distrusted_(std::move(distrusted)) {}

  ContentHash& Hash() { return hash_; }
  // The line carried over for a file found current, or linked; empty for none.
  std::string Known(const std::string& path, bool linked) const;
  bool MayLink(const std::string& path) const {
    return !earlier_vouches_ || earlier_.count(path) != 0;
  }
  bool Distrusted(const std::string& path) const { return distrusted_.count(path) != 0; }
  // Any thread: the file at path is whole with this hash.
  void Record(const std::string& path, const Sha256Digest& digest);
  void Record(const std::string& path, std::string hex);
  // Once the copy has ended: the hash of every file it left whole, handed over (a second call
  // answers none). distrusted: the files the copy was told to write afresh.
  Lines Made();
  const std::set<std::string>& DistrustedFiles() const { return distrusted_; }

 private:
  ContentHash& hash_;
  const Lines own_;
  const Lines earlier_;
  const bool earlier_vouches_;
  const std::set<std::string> distrusted_;
  std::mutex lock_;
  Lines made_;  // under lock_
};

}  // namespace tess
