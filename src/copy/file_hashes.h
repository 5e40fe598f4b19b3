// The hash of each file a copy leaves whole in its destination, made on the writers from the
// bytes as they are copied (no second read), and the lines an earlier manifest lends to files the
// copy links or finds current, so those are not read at all.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "ports/content_hash.h"

namespace tess {

class FileHashes {
 public:
  using Lines = std::map<std::string, Sha256Digest>;  // by "a/b.txt"

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
  // Any thread, once a file is found current (or linked): its line carried over from the
  // folder's own lines (or the linked folder's), moved rather than copied, since a large tree's
  // lines are many megabytes. False when there is none, and the file must be read for one.
  bool Carry(const std::string& path, bool linked);
  bool MayLink(const std::string& path);
  bool Distrusted(const std::string& path) const { return distrusted_.count(path) != 0; }
  // Any thread: the file at path is whole with this hash.
  void Record(const std::string& path, const Sha256Digest& digest);
  // Any thread, just before a copy the folder's own manifest has a line for is replaced: the
  // first time, runs mark (set by the owner), which leaves that manifest vouching for no file
  // until the new one is written. A run killed after replacing a copy would otherwise leave
  // the old line beside the new copy, and the next run, finding the copy current, would carry
  // the wrong line over.
  void Replacing(const std::string& path);
  void OnFirstReplacement(std::function<void()> mark) { mark_ = std::move(mark); }
  // Once the copy has ended: the hash of every file it left whole, handed over (a second call
  // answers none). distrusted: the files the copy was told to write afresh.
  Lines Made();
  // Then: the folder's own lines for files the copy did not meet or did not leave whole,
  // handed over.
  Lines Unmet();
  // Whether the lines differ from the folder's own: a file was hashed, or a linked file's line
  // came from the linked folder.
  bool Changed();
  const std::set<std::string>& DistrustedFiles() const { return distrusted_; }

 private:
  ContentHash& hash_;
  std::mutex lock_;
  Lines own_;      // under lock_
  Lines earlier_;  // under lock_
  const bool earlier_vouches_;
  const std::set<std::string> distrusted_;
  Lines made_;            // under lock_
  bool changed_ = false;  // under lock_
  std::function<void()> mark_;
  std::once_flag marked_;
};

}  // namespace tess
