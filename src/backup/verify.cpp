#include "backup/verify.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>

#include "backup/destination_listing.h"
#include "backup/manifest_file.h"
#include "base/name_case.h"
#include "base/text.h"

namespace tess {
namespace {

// Large enough that a big file costs few calls, small enough for two threads' worth in memory.
constexpr std::size_t kReadBytes = 1u << 20;
std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

}  // namespace

std::string FindingText(const VerifyFinding& finding) {
  switch (finding.kind) {
    case VerifyFinding::Kind::kDamaged:
      return "damaged: " + finding.path;
    case VerifyFinding::Kind::kMissing:
      return "missing: " + finding.path;
    case VerifyFinding::Kind::kUnreadable:
      return "unreadable: " + finding.path + ": " + OneLine(finding.reason);
    case VerifyFinding::Kind::kManifestLine:
      if (finding.line == 0) return "manifest cut short or edited: " + finding.path;
      return "manifest line " + std::to_string(finding.line) + " cannot be read: " + finding.path;
    case VerifyFinding::Kind::kManifestUnreadable:
      return "manifest cannot be read: " + finding.path + ": " + OneLine(finding.reason);
  }
  return "";
}

std::string VerifySummary(const VerifyTotals& t,
                          const std::function<std::string(double, int)>& number) {
  const auto count = [&](std::uint64_t n) { return number(static_cast<double>(n), 0); };
  return "Verified " + count(t.files) + (t.files == 1 ? " file in " : " files in ") +
         count(t.folders) + (t.folders == 1 ? " backup folder: " : " backup folders: ") +
         count(t.damaged) + " damaged, " + count(t.missing) + " missing, " + count(t.unreadable) +
         " unreadable, " + count(t.manifest_faults) + " manifest lines unreadable; " +
         count(t.bytes) + " bytes read";
}

std::vector<ManifestPlace> ManifestsOfEntry(const std::vector<TreeEntry>& listing,
                                            const std::vector<std::string>& names,
                                            std::size_t index, const StampTexts& texts) {
  std::vector<ManifestPlace> places;
  for (const EntryBackup& backup : ReadEntryBackups(listing, names, index, texts)) {
    if (backup.names_another_place) continue;
    const std::string manifest = ManifestName(backup.name);
    for (const std::string& file : backup.files_beside) {
      if (SameName(file, manifest)) places.push_back({file, backup.name});
    }
  }
  // A file entry without the stamp lands beside the folders as itself, its manifest beside it.
  if (index < names.size()) {
    const std::string manifest = ManifestName(names[index]);
    bool file = false;
    for (const TreeEntry& entry : listing) {
      file = file || (!entry.IsFolder() && SameName(entry.name, names[index]));
    }
    for (const TreeEntry& entry : listing) {
      if (file && !entry.IsFolder() && SameName(entry.name, manifest)) {
        places.push_back({entry.name, ""});
      }
    }
  }
  return places;
}

BackupVerifier::BackupVerifier(FileTree& files, ContentHash& hash, int workers)
    : files_(files), hash_(hash), workers_(workers), buffers_(kReadBytes) {}

void BackupVerifier::Check(const std::string& manifest, const std::string& folder,
                           std::vector<VerifyFinding>* findings) {
  std::string text;
  if (const FileError e = ReadSmallFile(files_, manifest, kLargestManifest, &text); e.Failed()) {
    ++totals_.manifest_faults;
    findings->push_back({VerifyFinding::Kind::kManifestUnreadable, manifest, 0, e.text});
    return;
  }
  ++totals_.folders;
  const ManifestReading reading = ReadManifest(text);
  for (const int line : reading.unreadable) {
    ++totals_.manifest_faults;
    findings->push_back({VerifyFinding::Kind::kManifestLine, manifest, line, ""});
  }
  std::map<std::string, std::string> ids;
  ListIds(folder, "", &ids);
  lines_.clear();
  for (const auto& [path, hash] : reading.lines) {
    const std::string relative = WindowsRelativePath(path);
    const auto id = ids.find(NameKey(relative));
    lines_.push_back(
        {Join(folder, relative), hash, id == ids.end() ? "" : id->second, {}, "", false, path});
  }
  {
    const std::unique_ptr<WorkPool> pool = files_.MakeWorkPool(workers_, [] {});
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      // A file read for an earlier folder settles its line here, without a job.
      bool read_before = false;
      if (!lines_[i].id.empty()) {
        std::lock_guard lock(lock_);
        const auto known = reads_.find(lines_[i].id);
        read_before = known != reads_.end() && known->second.done;
        if (read_before) Settle(i, known->second);
      }
      if (!read_before) pool->Submit([this, i] { CheckLine(i); });
    }
    pool->Drain();
  }
  for (const Line& line : lines_) {
    ++totals_.files;
    if (line.error.kind == FileErrorKind::kNotFound) {
      ++totals_.missing;
      findings->push_back({VerifyFinding::Kind::kMissing, files_.Shown(line.path), 0, ""});
    } else if (line.error.Failed() || !line.settled) {
      ++totals_.unreadable;
      findings->push_back({VerifyFinding::Kind::kUnreadable, files_.Shown(line.path), 0,
                           line.error.text, line.named});
    } else if (line.found != line.expected) {
      ++totals_.damaged;
      findings->push_back(
          {VerifyFinding::Kind::kDamaged, files_.Shown(line.path), 0, "", line.named});
    }
  }
}

// Walks the folder once; a name that only names another place is not entered, and a file that
// is a link has no ID of its own, so both are left to be opened. The size goes with the ID: the
// names of one file always agree on it, and two files a file system numbered alike (folders of
// two Linux file systems under one Wine drive) are then still read apart.
void BackupVerifier::ListIds(const std::string& folder, const std::string& relative,
                             std::map<std::string, std::string>* ids) {
  std::vector<TreeEntry> entries;
  if (files_.List(Join(folder, relative), &entries).Failed()) return;
  for (const TreeEntry& entry : entries) {
    const std::string path = relative.empty() ? entry.name : relative + "\\" + entry.name;
    if (entry.IsFolder()) {
      if (!entry.names_another_place) ListIds(folder, path, ids);
    } else if (entry.file_id != 0 && (entry.attributes & kAttrReparsePoint) == 0) {
      (*ids)[NameKey(path)] =
          "listed " + std::to_string(entry.file_id) + " " + std::to_string(entry.size);
    }
  }
}

// On a worker: one line's file, read unless another line's file of the same ID was read or is
// being read; then that reading settles this line too. The ID comes from the folder's listing,
// or where that gave none from the open file.
void BackupVerifier::CheckLine(std::size_t index) {
  Read read;
  try {
    std::string id = lines_[index].id;
    std::unique_ptr<OpenFile> file;
    if (id.empty()) {
      read.error = files_.OpenForReading(lines_[index].path, &file);
      if (!read.error.Failed() && file->Identity(&id).Failed()) id.clear();
    }
    if (!id.empty()) {
      std::lock_guard lock(lock_);
      if (!TakeRead(id, index)) return;
    }
    if (!file && !read.error.Failed()) {
      read.error = files_.OpenForReading(lines_[index].path, &file);
    }
    if (!read.error.Failed()) read.error = HashFile(*file, &read.hash);
    read.done = true;
    std::lock_guard lock(lock_);
    if (id.empty()) return Settle(index, read);
    Read& known = reads_[id];
    read.waiting = std::move(known.waiting);
    known = read;
    known.waiting.clear();
    for (const std::size_t waiting : read.waiting) Settle(waiting, known);
  } catch (const std::exception& e) {
    std::lock_guard lock(lock_);
    lines_[index].error = {FileErrorKind::kOther, e.what()};
  }
}

bool BackupVerifier::TakeRead(const std::string& id, std::size_t index) {
  Read& known = reads_[id];
  if (known.done) {
    Settle(index, known);
    return false;
  }
  known.waiting.push_back(index);
  return known.waiting.size() == 1;
}

// Under lock_.
void BackupVerifier::Settle(std::size_t index, const Read& read) {
  Line& line = lines_[index];
  line.error = read.error;
  line.found = read.hash;
  line.settled = true;
}

FileError BackupVerifier::HashFile(OpenFile& file, Sha256Digest* hash) {
  std::unique_ptr<HashRun> run = hash_.Start();
  if (!run) return {FileErrorKind::kOther, "The system could not make a SHA-256 hash."};
  // Kept from file to file: a fresh megabyte for each file costs a mapping and its zeroed pages
  // every time, which made reading small files several times dearer.
  const BufferShelf::Lease buffer = buffers_.Take();
  if (buffer.get() == nullptr) throw std::bad_alloc();
  std::uint64_t bytes = 0;
  for (;;) {
    std::size_t got = 0;
    if (FileError e = file.Read(buffer.get(), kReadBytes, &got); e.Failed()) return e;
    if (got == 0) break;
    run->Add(buffer.get(), got);
    bytes += got;
  }
  if (!run->Finish(hash))
    return {FileErrorKind::kOther, "The system could not make a SHA-256 hash."};
  std::lock_guard lock(lock_);
  totals_.bytes += bytes;
  return {};
}

}  // namespace tess
