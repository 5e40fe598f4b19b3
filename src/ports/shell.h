// The desktop shell: special folders, the folder-browse dialog, starting other programs.
#pragma once

#include <string>

namespace tess {

class Shell {
 public:
  virtual ~Shell() = default;
  // The path of a special folder (0 = desktop); empty text when the shell has none.
  virtual std::string SpecialFolderPath(int folder_id) = 0;
  // Shows the folder-browse dialog modal to the main window. Returns the chosen
  // file-system path, or "" on cancel or for an item without one.
  virtual std::string BrowseForFolder(const std::string& title, const std::string& start) = 0;
  // Starts program with one argument, passed quoted, never through a command shell.
  // show_minimized selects a minimised window with focus instead of a normal one.
  // Throws PlatformError when the program cannot be started.
  virtual void StartProcess(const std::string& program, const std::string& argument,
                            bool show_minimized) = 0;
  // The shell's default action on a path, shown normally: a folder opens in the file manager.
  // Throws PlatformError when the shell cannot act on it.
  virtual void Open(const std::string& path) = 0;
};

}  // namespace tess
