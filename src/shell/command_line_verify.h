// Verifying from the command line: every backup folder of the listed entries that has a
// manifest is read back against it, and what is found goes to the console and the history log.
#pragma once

namespace tess {

class SettingsStore;
class FileSystem;
class Shell;
class Environment;
class Clock;
class EventPump;
class Console;
class ContentHash;

struct VerifyServices {
  SettingsStore& settings;  // read, and the read-back's state written
  FileSystem& files;
  Shell& shell;
  Environment& environment;
  Clock& clock;
  EventPump& pump;
  Console& console;
  ContentHash& hash;
  int workers = 2;  // threads reading files; beyond two, Wine's server gains nothing
};

// Answers kExitAllSaved when every file is whole, kExitSomeNotSaved when anything is damaged,
// missing or unreadable (a manifest line included), kExitNothingRan when nothing could be
// verified (no list, no destination, no backup folder with a manifest).
int VerifyFromCommandLine(VerifyServices services);

}  // namespace tess
