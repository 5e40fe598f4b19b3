// The backup run: every listed folder copied into the destination, one history line each.
#pragma once

#include <functional>
#include <string>

#include "backup/folder_naming.h"

namespace tess {

class CaptionModel;
class ListViewModel;
class FileSystem;
class EventPump;
class Clock;
class Dialogs;
class HistoryLog;

// What the last backup run did, for callers that keep an error in view.
struct RunOutcome {
  enum class Kind { kEmptyList, kDestinationMissing, kClean, kWithErrors };
  Kind kind = Kind::kClean;
  int folders_processed = 0;
  int folders_failed = 0;
  std::string final_status;  // the status line the run left
  bool Clean() const { return kind == Kind::kClean || kind == Kind::kEmptyList; }
};

class BackupRun {
 public:
  // What a run reads and where it writes. The entries and the destination text are taken once,
  // when the run starts: window events run in the middle of a run, and an edit made then (a
  // half-typed destination) applies from the next run. The stamp is read for each entry.
  struct Inputs {
    const ListViewModel& entries;
    std::function<std::string()> destination;
    std::function<FolderStamp()> stamp;
    CaptionModel& status_line;  // written as the run goes; its last text is the outcome's
    // Whether a stamped folder's unchanged files become links to the entry's previous backup
    // folder; read once per run. Null: they do.
    std::function<bool()> snapshot_links = nullptr;
  };
  struct Services {
    FileSystem& files;
    EventPump& pump;
    Clock& clock;
    Dialogs& dialogs;
    HistoryLog& history;
  };
  BackupRun(Inputs inputs, Services services) : in_(std::move(inputs)), svc_(services) {}

  // Copies every entry into a backup folder of its own, logs one line for each (an entry whose
  // source is gone gets a NOT saved line and counts as failed) and returns what it did,
  // so a caller can keep an unclean outcome in view. Lets window events run between entries
  // and during each copy, so other handlers (even another run) may run inside it.
  RunOutcome SaveAll();

 private:
  Inputs in_;
  Services svc_;
};

}  // namespace tess
