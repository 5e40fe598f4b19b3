// Load Sample/Example Folders: every folder of the sample tree installed beside the program is
// appended to the folder list, so a new user can try a backup at once, and the tree is offered
// for viewing in the file manager.
#pragma once

#include <functional>
#include <string>

namespace tess {

class FolderList;
class FileSystem;
class EventPump;
class Dialogs;
class Shell;
class Environment;
class ErrorTrap;

inline constexpr char kOpenSamplesQuestion[] =
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?";

// The sample tree of a program folder: the folder, "Samples" and a trailing backslash.
std::string SampleFolderOf(const std::string& program_folder);

class SampleFolders {
 public:
  struct Services {
    FileSystem& files;
    EventPump& pump;
    Dialogs& dialogs;
    Shell& shell;
    Environment& environment;
  };
  // show_busy(true) shows the busy pointer, show_busy(false) the normal one.
  SampleFolders(FolderList& list, Services services, std::function<void(bool busy)> show_busy)
      : list_(list), svc_(services), show_busy_(std::move(show_busy)) {}

  // The command, as steps 100 to 124 of the caller's trap: the folders below the sample tree
  // appended in the walk's order under the busy pointer and stored, then the question, and on
  // Yes the tree opened in the file manager. Existing entries stay; loading twice appends twice.
  void Load(ErrorTrap& trap);

 private:
  FolderList& list_;
  Services svc_;
  std::function<void(bool)> show_busy_;
};

}  // namespace tess
