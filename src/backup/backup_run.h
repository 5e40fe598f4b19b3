// The backup run: every listed folder copied into the destination, one history line each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_folder_names.h"
#include "backup/destination_listing.h"
#include "backup/folder_naming.h"
#include "backup/read_back.h"
#include "backup/run_choices.h"
#include "backup/run_progress.h"
#include "backup/run_report.h"
#include "copy/copy_tree.h"

namespace tess {

class EntryManifest;
struct EntryPlan;
struct EntryPlanInputs;
struct ManifestOwner;
class FileSystem;
class EventPump;
class Clock;
class Dialogs;
class ErrorTrap;
class HistoryLog;
class ProgramSettings;
class ContentHash;
class Environment;

// A folder copy as a service of its own: the backup run's is the copy core over its file
// system unless a caller gives another (a test that watches what the run copies).
using FolderCopy = std::function<CopyOutcome(
    const std::string& source, const std::string& destination, const CopySettings& settings)>;

// Whether a person started the run and is there to answer its boxes (Backup Now), or nobody
// is (a timed run, a run from the command line): then what would be a box goes to the history
// log, and the run never waits.
enum class Attendance { kAttended, kUnattended };

// What the last backup run did, for callers that keep an error in view.
struct RunOutcome {
  enum class Kind { kEmptyList, kDestinationMissing, kClean, kWithErrors };
  Kind kind = Kind::kClean;
  int folders_processed = 0;
  int folders_failed = 0;
  int run_failures = 0;  // failures outside every entry, in a run nobody watched
  // Copies (or sources) the reading back found damaged, mended or not: news the user needs
  // about a failing disk, so the run does not count as clean.
  int damaged_copies = 0;
  std::string final_status;  // the status line the run left
  bool Clean() const { return kind == Kind::kClean || kind == Kind::kEmptyList; }
};

class BackupRun {
 public:
  // What a run reads and where it writes, filled by name. The entries and the destination text
  // are taken once, when the run starts: window events run in the middle of a run, and an edit
  // made then (a half-typed destination) applies from the next run.
  struct Inputs {
    std::function<std::vector<std::string>()> entries;  // as listed
    std::function<std::string()> destination;
    // What the options ask: the stamp is read for each entry, links and keeping fewer once per
    // run. A stamp that cannot be read counts as a stamp; links that cannot be read are on, and
    // keeping fewer off.
    std::function<RunChoices()> choices;
    // The status line, written as the run goes; its last text is the outcome's.
    std::function<void(const std::string&)> status;
    // Where a run nobody watches also tells each failure it writes to the history log (the
    // console of a run from the command line, which a failing log must not silence). Null: none.
    std::function<void(const std::string&)> tell = nullptr;
    // Where the run shows how far the entry it copies has come (the progress bar and the tray's
    // tip, or a console line), at most ten times a second. Null: nowhere.
    std::function<void(const std::string& text, int value)> progress = nullptr;
  };
  struct Services {
    FileSystem& files;
    EventPump& pump;
    Clock& clock;
    Dialogs& dialogs;
    HistoryLog& history;
    FolderCopy copy = nullptr;  // null: the copy core over files
    // Where each entry's totals are kept, so the next run can tell how far it has come against
    // them. Null: not kept.
    ProgramSettings* settings = nullptr;
    // What hashes the files each backup folder's manifest lists; null: no manifests are written.
    ContentHash* hash = nullptr;
    // Where a manifest finds the computer's and the user's names; null: left blank.
    Environment* environment = nullptr;
  };
  BackupRun(Inputs inputs, Services services) : in_(std::move(inputs)), svc_(std::move(services)) {}

  // Copies every entry into a backup folder of its own, logs one line for each (an entry whose
  // source is gone gets a NOT saved line and counts as failed) and returns what it did,
  // so a caller can keep an unclean outcome in view. Lets window events run between entries
  // and during each copy, so other handlers (even another run) may run inside it.
  RunOutcome SaveAll(Attendance attendance = Attendance::kAttended);

 private:
  // What a run takes once, as it starts, for all its entries.
  struct Snapshot {
    std::string destination;  // the destination text
    std::vector<std::string> entries;
    std::vector<std::string> names;  // each entry's backup folder name
    bool snapshot_links = true;
    bool keep_fewer = false;
    StampTexts stamp_texts;                     // read once from the clock
    CopySettings copy;                          // what every entry's copy shares
    std::map<std::string, EntryTotals> totals;  // what each entry's last whole copy went through
    std::map<std::string, EntryReadBack> read_back;  // as the run before left it
    bool attended = true;
  };
  // What an entry's copy leaves for reading it back: where it landed, its manifest's lines as
  // written, and the files found damaged before that it wrote afresh. Empty lines: no manifest
  // was written.
  struct WrittenBackup {
    std::string landing;
    ManifestLines lines;
    std::set<std::string> rewritten;
  };
  // The destination as listed once for an entry, and the reading of that listing: the link
  // source and keeping fewer both go by it.
  struct OlderBackups {
    bool tried = false;
    std::string destination;  // in full form; empty when it could not be listed
    std::vector<TreeEntry> listing;
    std::vector<EntryBackup> backups;  // the entry's own, ReadEntryBackups of the listing
  };
  // The entries, their names and what every copy shares, as step 116 of the run's trap.
  Snapshot TakeSnapshot(ErrorTrap& trap, const std::string& destination,
                        std::vector<std::string> entries);
  // One entry, as steps 118 to 154 of the run's trap; source is the path the entry was read
  // from, for its history line.
  EntryResult BackUpEntry(ErrorTrap& trap, const Snapshot& run, std::size_t index,
                          std::string* source, OlderBackups* older, WrittenBackup* written);
  // The entry's stamp as the run's trap reads it (steps 126 to 134): the stamp, and its text.
  FolderStamp ReadStamp(ErrorTrap& trap, std::string* suffix);
  // The owner a manifest of this run names for an entry: this computer and the entry as listed.
  FolderOwner OwnerOf(const std::string& entry) const;
  // Each entry's backup folder name (BackupFolderNames), passing over the names whose folders in
  // the destination belong to another source (run_owners.cpp). suffix: the stamp's text of the
  // folder to be written, where it is known; otherwise today's for the per-day stamp.
  std::vector<std::string> NamesByOwner(const std::string& destination,
                                        const std::vector<std::string>& entries,
                                        const std::vector<std::string>& base_names,
                                        const StampTexts& texts,
                                        const std::optional<std::string>& suffix = std::nullopt);
  // The "#" lines of an entry's manifest, as not complete, and the seed of its temporary names.
  ManifestOwner ManifestHead(const std::string& entry, std::size_t index,
                             std::uint64_t* seed) const;
  // As step 124 of the run's trap, before the copy: the entry's folder claimed for its source
  // (run_claim.cpp); where another computer's claim came first, the plan moves to the next free
  // name. False, with the entry's result saying why, when no name could be claimed.
  bool ClaimFolder(const Snapshot& run, std::size_t index, EntryPlanInputs* wanted, EntryPlan* plan,
                   EntryResult* result);
  // Lists the destination for entry index unless that was tried already for it.
  void ReadOlderBackups(const Snapshot& run, std::size_t index, OlderBackups* older);
  // The folder the plan's copy links to: the entry's newest earlier backup, in full; empty
  // when there is none or the destination cannot be listed.
  std::string LinkSource(const Snapshot& run, const OlderBackups& older, const std::string& except);
  // The manifest of an entry's copy, written as step 153 of the run's trap once the copy ends;
  // a failure to write it throws, and is the entry's failure.
  void WriteManifest(EntryManifest& manifest, const std::string& entry, std::size_t index,
                     const CopyOutcome& copy);
  // The copy of one entry, showing how far it has come against the totals expected of it.
  CopyOutcome Copy(const std::string& source, const std::string& landing, CopySettings settings,
                   const std::optional<EntryTotals>& expected);
  // Each entry's totals as this run found them (an entry whose copy went through its whole tree)
  // or as the run before found them, stored for the next run.
  void KeepTotals(const Snapshot& run, const std::map<std::string, EntryTotals>& found);
  // After an entry's copy, as step 159 of the run's trap: the entry's older backup folders that
  // the rule lets go are removed, with their history lines (run_thinning.cpp). The remains of
  // earlier removals are finished first, once a run.
  void KeepFewer(const Snapshot& run, std::size_t index, const EntryResult& result,
                 OlderBackups* older, bool* leftovers_tried);
  // After an entry's copy, as step 161 of the run's trap: a share of the folder it wrote read
  // back against its manifest, a damaged copy mended from its unchanged source, and each finding
  // in the history log (run_read_back.cpp). Returns the damaged copies found; state is the
  // read-back's, kept across runs.
  int ReadBackEntry(const Snapshot& run, std::size_t index, const std::string& source,
                    const EntryResult& result, WrittenBackup written,
                    std::map<std::string, EntryReadBack>* state);
  // The read-back's state for the listed entries, stored for the next run.
  void KeepReadBack(const Snapshot& run, const std::map<std::string, EntryReadBack>& state);

  Inputs in_;
  Services svc_;
  // A removal is under way: a run started from the event pump inside it leaves removing to it.
  bool removing_ = false;
};

}  // namespace tess
