#include "backup/entry_manifest.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "base/temporary_name.h"

namespace tess {
namespace {

constexpr char kNotOurs[] =
    "The manifest was not written, since a file of its name is there "
    "that this program did not write: ";
constexpr char kNotWritten[] = "The manifest was not written: ";

// Where a manifest write was cut short (the program killed between creating its temporary file
// and renaming it), the temporary file stays behind in the destination; the next one clears it.
void ClearTemporaryFiles(FileTree& files, const std::string& folder) {
  std::vector<TreeEntry> entries;
  files.List(folder, &entries);
  for (const TreeEntry& entry : entries) {
    if (!entry.IsFolder() && IsTemporaryName(entry.name)) {
      // One still open is another run's, and refuses.
      files.Delete(folder + "\\" + entry.name);
    }
  }
}

}  // namespace

EntryManifest::EntryManifest(FileTree& files, ContentHash& hash, std::string path,
                             const std::string& link_from, std::uint64_t tag,
                             std::set<std::string> distrusted)
    : files_(files), path_(std::move(path)), tag_(tag), own_(ReadManifestFile(files, path_)) {
  if (own_.state == ManifestFile::State::kForeign ||
      own_.state == ManifestFile::State::kUnreadable) {
    return;  // what cannot be read cannot be known to be ours, and is never replaced
  }
  ManifestFile earlier;
  if (!link_from.empty()) earlier = ReadManifestFile(files, link_from + kManifestEnding);
  // An earlier folder with a manifest vouches only for the files its readable lines name; one
  // whose manifest cannot be read, or is no manifest of this program's, vouches for none. A claim
  // alone (not complete, no lines: a run killed before its manifest) says no more than no
  // manifest, as such a folder had before runs claimed their folders.
  const ManifestReading& its = earlier.reading;
  const bool claim_alone = earlier.state == ManifestFile::State::kOurs && !its.owner.complete &&
                           its.lines.empty() && its.unreadable.empty();
  const bool vouches = earlier.state != ManifestFile::State::kNone && !claim_alone;
  if (earlier.state != ManifestFile::State::kOurs) earlier.reading.lines.clear();
  hashes_.emplace(hash, std::move(own_.reading.lines), std::move(earlier.reading.lines), vouches,
                  std::move(distrusted));
  if (own_.state == ManifestFile::State::kOurs) {
    hashes_->OnFirstReplacement([this] { MarkUnfinished(); });
  }
}

std::string EntryManifest::Write(ManifestOwner owner, std::uint64_t tag) {
  if (!hashes_) {
    return own_.state == ManifestFile::State::kForeign
               ? kNotOurs + files_.Shown(path_)
               : kNotWritten + files_.Shown(path_) + ": " + own_.reason;
  }
  // A file of a folder reused by later runs keeps its line while the folder keeps the file,
  // though a later run no longer meets it in its source.
  ManifestLines lines = hashes_->Made();
  for (const std::string& file : hashes_->DistrustedFiles()) {
    if (lines.count(file) != 0) rewritten_.insert(file);
  }
  // The lines this copy made win over the folder's own; nodes move, nothing is copied, since a
  // manifest of a large tree is many megabytes.
  lines.merge(hashes_->Unmet());
  // A run that changed nothing (a folder reused, every file found current) leaves the manifest
  // as it is, "written" time and all: rewriting a large tree's manifest on every run would write
  // megabytes to the backup drive four times an hour for nothing.
  if (SameAsOwn(owner)) {
    written_ = std::move(lines);
    return "";
  }
  const FileError e =
      WriteManifestFile(files_, path_, owner, lines, own_.state == ManifestFile::State::kOurs, tag);
  if (e.Failed()) return kNotWritten + files_.Shown(path_) + ": " + e.text;
  written_ = std::move(lines);
  const std::size_t slash = path_.find_last_of('\\');
  if (slash != std::string::npos) ClearTemporaryFiles(files_, path_.substr(0, slash));
  return "";
}

// The folder's manifest as a claim: whose it is, "complete: no", no file lines; a run that ends
// writes the whole manifest over it. Should this fail, the copy goes on: the manifest written at
// the end replaces the old one all the same, and only a kill in between leaves old lines.
void EntryManifest::MarkUnfinished() {
  ManifestOwner owner = own_.reading.owner;
  owner.complete = false;
  WriteManifestFile(files_, path_, owner, {}, true, tag_);
}

bool EntryManifest::SameAsOwn(const ManifestOwner& owner) {
  const ManifestReading& own = own_.reading;
  return own_.state == ManifestFile::State::kOurs && own.unreadable.empty() && own.owner.complete &&
         owner.complete && !hashes_->Changed() && own.owner.source == owner.source &&
         own.owner.computer == owner.computer && own.owner.user == owner.user;
}

}  // namespace tess
