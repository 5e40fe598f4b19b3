// The history log: a text file in the temporary folder, one CR LF line per processed folder (in
// the ANSI code page, or UTF-8 once a name needs it), and the three commands on it (view, copy
// to the clipboard, clear).
#pragma once

#include <string>

namespace tess {

class FileSystem;
class Shell;
class Dialogs;
class EventPump;
class ErrorTrap;

inline constexpr char kNoHistoryMessage[] =
    "There isn't a history to view because actions have not been performed yet.";
inline constexpr char kClearHistoryQuestion[] =
    "Are you sure you want to delete the history log and start over?";

// TEMP, "\", the product name made file-safe, ".txt".
std::string ComputeHistoryLogPath(const std::string& temp_folder);

class HistoryLog {
 public:
  HistoryLog(FileSystem& files, Shell& shell, Dialogs& dialogs, EventPump& pump)
      : files_(files), shell_(shell), dialogs_(dialogs), pump_(pump) {}

  // Start-up: from now on the log lives in this temporary folder.
  void Locate(const std::string& temp_folder) { path_ = ComputeHistoryLogPath(temp_folder); }
  const std::string& HistoryLogPath() const { return path_; }

  // Opens, appends one line in the log's form (see log_forms.h) and closes; throws PlatformError
  // on failure.
  void AppendHistoryLine(const std::string& line);

  // The commands run as numbered steps of the caller's trap.
  // View: the text editor on the log, or a box saying there is nothing to view yet.
  void View(ErrorTrap& trap);
  // Copy: the whole log onto the clipboard; nothing when it is missing or unreadable.
  void CopyToClipboard(ErrorTrap& trap);
  // Clear: asks first and deletes the log (read-only or not) on Yes. Returns whether the user
  // said Yes.
  bool Clear(ErrorTrap& trap);

 private:
  FileSystem& files_;
  Shell& shell_;
  Dialogs& dialogs_;
  EventPump& pump_;
  std::string path_;
};

}  // namespace tess
