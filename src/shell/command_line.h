// The program's command line: what a start was asked to do, its usage text, and the exit code
// a backup from the command line ends with.
#pragma once

#include <string>
#include <vector>

namespace tess {

struct RunOutcome;

enum class StartRequest {
  kWindow,           // no arguments: the window, one copy per session
  kBackup,           // /backup: one backup with the stored settings, no window
  kVerify,           // /verify: every backup with a manifest read back against it
  kUsage,            // /?: the usage text
  kUnknownArgument,  // anything else: refused with the usage text
};

struct CommandLine {
  StartRequest request = StartRequest::kWindow;
  std::string unknown_argument;  // for kUnknownArgument
};

// The arguments after the program's own name. Options are matched whatever their case, with
// "/" or "-" before them; a request for the usage wins over everything else.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();
// "Unknown option: <argument>", then the usage.
std::string UnknownArgumentText(const std::string& argument);

// Exit codes, for Task Scheduler and scripts.
inline constexpr int kExitAllSaved = 0;      // every listed entry was saved
inline constexpr int kExitSomeNotSaved = 1;  // an entry was missing or not saved, or a step failed
inline constexpr int kExitNothingRan = 2;  // no entries, no destination, nothing found, bad option

// The outcome of a run over entries_listed entries, while failures_reported errors were shown
// besides what the run counted (a history line that could not be written, say).
int BackupExitCode(const RunOutcome& outcome, int entries_listed, int failures_reported);

}  // namespace tess
