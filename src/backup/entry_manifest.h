// One entry's manifest across its copy: before it, what the folder's own earlier manifest and the
// linked folder's lend the copy; after it, the new manifest written whole beside the folder, with
// the lines of files the copy did not touch carried over.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "backup/manifest.h"
#include "backup/manifest_file.h"
#include "copy/file_hashes.h"

namespace tess {

class EntryManifest {
 public:
  // path: the manifest's full path; link_from: the folder the copy links to, or empty; tag: the
  // seed of the temporary name the manifest is marked unfinished under (see FileHashes::Replacing);
  // distrusted: files whose copies were found damaged beyond mending, to be copied afresh.
  EntryManifest(FileTree& files, ContentHash& hash, std::string path, const std::string& link_from,
                std::uint64_t tag, std::set<std::string> distrusted = {});

  // What the copy hashes into; null when no manifest may be written here.
  FileHashes* Hashes() { return hashes_ ? &*hashes_ : nullptr; }
  // Once the copy has ended: writes the manifest; answers why it could not be, or "".
  std::string Write(ManifestOwner owner, std::uint64_t tag);
  // Once written: its lines, handed over, and the files the copy was told to write afresh that it
  // did write.
  ManifestLines TakeWritten() { return std::move(written_); }
  const std::set<std::string>& Rewritten() const { return rewritten_; }

 private:
  // The copy left the folder's own manifest true as it stands.
  bool SameAsOwn(const ManifestOwner& owner);
  // Before the copy replaces a file the folder's manifest vouches for.
  void MarkUnfinished();

  FileTree& files_;
  const std::string path_;
  const std::uint64_t tag_;
  ManifestFile own_;
  std::optional<FileHashes> hashes_;
  ManifestLines written_;
  std::set<std::string> rewritten_;
};

}  // namespace tess
