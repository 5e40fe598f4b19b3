// Reading backups back against their manifests: every file a manifest lists is read and hashed
// again, a file shared by several backup folders through links once (known by the file ID its
// folder's listing gives), and each damaged, missing or unreadable file, and each manifest line
// that cannot be read, is a finding of its own.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "backup/backup_folder_names.h"
#include "backup/manifest.h"
#include "base/buffer_shelf.h"
#include "ports/content_hash.h"
#include "ports/file_tree.h"

namespace tess {

struct VerifyFinding {
  enum class Kind { kDamaged, kMissing, kUnreadable, kManifestLine, kManifestUnreadable };
  Kind kind = Kind::kDamaged;
  std::string path;    // the file, or for the last two kinds the manifest
  int line = 0;        // kManifestLine: the line's number; 0 when its file count is not met
  std::string reason;  // kUnreadable, kManifestUnreadable: the system's words
  std::string named;   // kDamaged, kUnreadable: the file as its manifest names it ("a/b.txt")
};

// "damaged: D:\Backups\DocsDate ...\a.txt" and the like, one line for the console and the log.
std::string FindingText(const VerifyFinding& finding);

struct VerifyTotals {
  std::uint64_t files = 0;    // lines checked
  std::uint64_t folders = 0;  // manifests read
  std::uint64_t damaged = 0;
  std::uint64_t missing = 0;
  std::uint64_t unreadable = 0;
  std::uint64_t manifest_faults = 0;  // lines that cannot be read, manifests that cannot be read
  std::uint64_t bytes = 0;            // read and hashed
  bool Whole() const { return damaged + missing + unreadable + manifest_faults == 0; }
};

// "Verified 2,003 files in 3 backup folders: 1 damaged, 0 missing, 0 unreadable, 0 manifest
// lines unreadable; 125,829,120 bytes read"; number writes a count as the locale does.
std::string VerifySummary(const VerifyTotals& totals,
                          const std::function<std::string(double, int)>& number);

// A manifest of an entry's backup and the folder its lines start from, both directly inside
// the destination; an empty folder for a file backed up as itself (its line names the file).
struct ManifestPlace {
  std::string manifest;
  std::string folder;
};

// The manifests in a listing of the destination that belong to the backups of entry `index`
// (the run's backup names, BackupFolderNames): beside each of its backup folders (the one reading
// of a destination, ReadEntryBackups), stamped, per day or unstamped, and beside a file entry
// backed up as itself.
std::vector<ManifestPlace> ManifestsOfEntry(const std::vector<TreeEntry>& listing,
                                            const std::vector<std::string>& names,
                                            std::size_t index, const StampTexts& texts);

class BackupVerifier {
 public:
  BackupVerifier(FileTree& files, ContentHash& hash, int workers);

  // Checks one manifest (a full path) against the folder its lines start from, and adds what it
  // finds, in the manifest's order.
  void Check(const std::string& manifest, const std::string& folder,
             std::vector<VerifyFinding>* findings);
  const VerifyTotals& Totals() const { return totals_; }

 private:
  // What reading one file gave: its hash, or why there is none.
  struct Read {
    bool done = false;
    FileError error;
    Sha256Digest hash{};
    std::vector<std::size_t> waiting;  // lines of the manifest waiting for this file
  };
  struct Line {
    std::string path;
    Sha256Digest expected{};
    std::string id;  // from the folder's listing; empty: learnt by opening the file
    FileError error;
    Sha256Digest found{};
    bool settled = false;
    std::string named;  // as the manifest names it
  };
  // The IDs the listings below folder give its files, by the files' paths relative to it as
  // NameKey writes them; a folder that cannot be listed leaves its files to be opened.
  void ListIds(const std::string& folder, const std::string& relative,
               std::map<std::string, std::string>* ids);
  void CheckLine(std::size_t index);
  // Under lock_: true when this line is the one to read the file; otherwise another line has
  // read it (this one is settled now) or is reading it (and settles this one when done).
  bool TakeRead(const std::string& id, std::size_t index);
  FileError HashFile(OpenFile& file, Sha256Digest* hash);
  void Settle(std::size_t index, const Read& read);

  FileTree& files_;
  ContentHash& hash_;
  int workers_;
  BufferShelf buffers_;
  std::mutex lock_;                    // guards what follows
  std::map<std::string, Read> reads_;  // by file ID, the listing's or the open file's
  std::vector<Line> lines_;            // the manifest being checked
  VerifyTotals totals_;
};

}  // namespace tess
