// Reading a backup back while nobody asks: each run reads a share of an entry's newest backup
// folder against its manifest, each copy past the system's cache and, where the source still has
// the copy's size and write time, the source too; and a damaged copy whose source is unchanged
// and still hashes to the manifest's line is written over in place from it, so every backup
// folder that shares the copy through links is whole again.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "backup/manifest.h"
#include "ports/content_hash.h"
#include "ports/file_tree.h"

namespace tess {

// Runs in a week at the default interval of 15 minutes: a run reads at least this share of a
// folder, so the whole of it is read back within a week of runs.
inline constexpr std::uint64_t kReadBackRuns = 672;

// What one run reads of a folder of `files` files and `bytes` bytes: at least one file, and at
// least 1/kReadBackRuns of its files and of its bytes (rounded up). The bytes are a share kept on
// average: a run that read more (a large file) lends the rest to the runs after it, so that the
// small files between two large ones are not read many times a week to make up their bytes.
struct ReadBackShare {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};
ReadBackShare ShareOf(std::uint64_t files, std::uint64_t bytes);

// The manifest's paths in the order a read-back takes them: a fixed order that scatters the
// files of each folder, from the first one after `position` (the last path the previous run
// read; empty for none) round to the start, so the runs go on where the last one stopped,
// whichever folder is the newest by then, and large files of one folder do not come in a row.
// The paths point into lines.
std::vector<const std::string*> ReadBackOrder(const ManifestLines& lines,
                                              const std::string& position);

// What reading one copy, and perhaps its source, showed.
struct ReadBackFacts {
  bool line = true;               // the manifest has a readable line for the file
  bool copy_whole = false;        // the copy was read and hashes to its line
  bool source_unchanged = false;  // the source has the copy's size and write time
  bool source_read = false;       // the unchanged source was read through
  bool source_matches = false;    // ...and hashes to the line
};

enum class ReadBackVerdict {
  kWhole,
  // The copy is whole, but its source, unchanged by size and write time, no longer hashes to
  // the line: the source's disk may be failing. The good copy is kept, never replaced from it.
  kSourceDamaged,
  // The copy is damaged, and its unchanged source still hashes to the line: rewrite it from it.
  kRepair,
  // The copy is damaged, and its source changed since, is gone, or cannot be read: the older
  // versions cannot be mended, and the next run copies the file afresh instead of linking it.
  kDamaged,
  kNoLine,  // nothing to read it against
};
ReadBackVerdict DecideReadBack(const ReadBackFacts& facts);

// One backup folder as the read-back sees it.
struct ReadBackPlace {
  std::string folder;  // in full form: the folder the manifest's lines start from
  std::string source;  // in full form: the folder the same paths start from in the source
  ManifestLines lines;
  // Volume of the copies keeps coarse write times (FAT, exFAT): as the copy judges, times
  // within a step of each other are one.
  bool coarse_times = false;
};

// A copy found other than whole.
struct ReadBackFinding {
  ReadBackVerdict verdict = ReadBackVerdict::kWhole;
  std::string path;    // as the manifest names it
  std::string copy;    // in full form
  std::string source;  // in full form
  bool missing = false;
  bool repaired = false;  // kRepair: the copy was written over and hashes to its line now
  std::string reason;     // the system's words, when a read or the repair failed
};

struct ReadBackResult {
  std::vector<ReadBackFinding> findings;
  std::uint64_t files = 0;  // copies read
  std::uint64_t copy_bytes = 0;
  std::uint64_t source_bytes = 0;
  std::string position;           // the last path read, for the next run
  std::uint64_t bytes_ahead = 0;  // read beyond the byte share, lent to the next runs
};

// Of the backup folders named (directly inside destination, which is in full form), those that
// hold the very file found (the links of dated folders share one), as a user reads them; at
// least `folder`, where it was found.
std::vector<std::string> FoldersHolding(FileTree& files, const std::string& destination,
                                        const std::vector<std::string>& names,
                                        const std::string& folder, const ReadBackFinding& finding);

// What the read-back keeps for one listed folder across runs and restarts.
struct EntryReadBack {
  std::string position;           // the last path read
  std::uint64_t bytes_ahead = 0;  // ReadBackResult::bytes_ahead
  // Copies found damaged that could not be mended: the next run copies them afresh rather
  // than linking or skipping them, so no new backup folder shares the damage.
  std::set<std::string> distrusted;
  bool operator==(const EntryReadBack&) const = default;
};

// The kept state as a settings text, and back; what cannot be read is left out (the read-back
// then starts again from the beginning, which costs nothing but time).
std::map<std::string, EntryReadBack> ReadReadBackState(const std::string& text);
std::string ReadBackStateText(const std::map<std::string, EntryReadBack>& state);
// What one writer of the state (a run, a /verify) changed, from before (as it read the state)
// to after, put on the state as stored now: a run and a /verify that overlap each keep what the
// other found. An entry the writer dropped goes.
std::map<std::string, EntryReadBack> MergeReadBackState(
    std::map<std::string, EntryReadBack> stored, const std::map<std::string, EntryReadBack>& before,
    const std::map<std::string, EntryReadBack>& after);

class ReadBack {
 public:
  // events runs on the caller's thread between reads, as a copy's yield does.
  ReadBack(FileTree& files, ContentHash& hash, std::function<void()> events);

  // Reads the share of place that the folder's size asks (folder_bytes: the bytes it holds, as
  // far as the caller knows), starting after position, with bytes_ahead lent by earlier runs.
  ReadBackResult Run(const ReadBackPlace& place, std::uint64_t folder_bytes,
                     const std::string& position, std::uint64_t bytes_ahead = 0);
  // Reads one file of place back against its line, and repairs it when it may; counts what it
  // read into totals.
  ReadBackFinding Check(const ReadBackPlace& place, const std::string& path,
                        ReadBackResult* totals);

 private:
  FileError HashOf(OpenFile& file, Sha256Digest* digest, std::uint64_t* bytes);
  // Writes the source over the copy in place; true when the copy then hashes to line.
  bool Repair(ReadBackFinding& finding, const TreeEntry& source, const TreeEntry& copy,
              const Sha256Digest& line);

  FileTree& files_;
  ContentHash& hash_;
  std::function<void()> events_;
  // One buffer from file to file: a fresh megabyte for each costs more than a small file's read.
  const std::unique_ptr<char[]> buffer_;
};

}  // namespace tess
