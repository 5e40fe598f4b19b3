// One backup run from the command line: the stored list, destination and naming options, no
// window. What a window would show in boxes goes to the console instead, and the run's outcome
// becomes the exit code.
#pragma once

#include <functional>

#include "backup/backup_run.h"

namespace tess {

class SettingsStore;
class FileSystem;
class Shell;
class Environment;
class Clock;
class EventPump;
class Console;
class ContentHash;
class ProgramSettings;

struct CommandLineServices {
  // Read, and written only with the latest run's outcome, which the window's tray shows.
  SettingsStore& settings;
  FileSystem& files;
  Shell& shell;
  Environment& environment;
  Clock& clock;
  EventPump& pump;
  Console& console;
  FolderCopy copy = nullptr;  // null: the copy core over files
  // Called once the outcome is stored, so that a window copy's tray can show it at once.
  std::function<void()> outcome_stored = nullptr;
  ContentHash* hash = nullptr;  // what hashes the manifests' files; null: no manifests
};

// "Path", or the desktop as a first start would take it; "" when neither is known.
std::string StoredDestination(ProgramSettings& settings, Shell& shell);

// Runs the backup and answers the exit code (kExitAllSaved, kExitSomeNotSaved,
// kExitNothingRan). The history lines are those of a run from the window.
int RunBackupFromCommandLine(CommandLineServices services);

}  // namespace tess
