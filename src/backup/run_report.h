// The texts a backup run leaves behind: one history line per processed entry, saying truthfully
// whether the copy is complete, and the final status line.
#pragma once

#include <string>
#include <vector>

#include "backup/read_back.h"
#include "copy/copy_tally.h"

namespace tess {

inline constexpr char kNoFilesStatus[] = "No files added to backup.";
inline constexpr char kDoesNotExist[] = " does not exist";
inline constexpr char kDestinationFolderMissing[] = "Destination folder does not exist.";
inline constexpr char kAutoBackupComplete[] = "Auto Backup Complete at ";

// What became of one entry of a run.
struct EntryResult {
  enum class Kind { kCopied, kNotCopied, kSourceMissing };
  Kind kind = Kind::kNotCopied;     // nothing counts as saved until a copy has run
  CopyOutcome copy;                 // for kCopied
  std::string missing_destination;  // for kNotCopied: the folder the copy needed
  std::string creation_error;       // for kNotCopied: why the folder could not be made, if tried
  std::string missing_source;       // for kSourceMissing: the entry as listed
  std::string source_error;         // for kSourceMissing: the system's words, when it gave any
  // Failures met on the way that nobody was there to see in a box, told in the entry's line.
  std::vector<std::string> failures;
  // The stamped backup folder the copy wrote and the earlier one it linked to, by name; empty
  // for none. Removing older backups keeps both.
  std::string backup_folder;
  std::string linked_folder;
  bool Complete() const { return kind == Kind::kCopied && copy.Complete() && failures.empty(); }
};

// A failure of a run's step, as a history line tells it in place of a box: "a failure at line
// 152: Access is denied."
std::string StepFailure(int line, const std::string& description);

// "Documents was backup saved at 8/31/2021 4:05:06 PM" for a complete copy; otherwise
// "Documents was NOT backup saved at ...: " and what went wrong.
std::string HistoryLine(const std::string& name, const std::string& when,
                        const EntryResult& result);
// "Backup run NOT complete at <when>: " and a failure outside every entry.
std::string RunFailureLine(const std::string& when, const std::string& failure);
// What reading an entry's copy back found, as its history line tells it: name is the entry's,
// finding.source the source as a user reads it, and folders the backup folders that hold the
// copy (shared through links), as a user reads them.
std::string ReadBackLine(const std::string& name, const std::string& when,
                         const ReadBackFinding& finding, const std::vector<std::string>& folders);

// "Auto Backup Complete at <when>", plus " with errors in F of P folders (see View History
// Log)" when any entry failed, or " with errors (see View History Log)" when only the run
// itself met failures; damaged copies found add " with N damaged backup copies" (after the
// errors: " and N damaged ...") before the pointer to the log.
std::string CompleteStatus(const std::string& when, int folders_failed, int folders_processed,
                           int run_failures = 0, int damaged_copies = 0);

}  // namespace tess
