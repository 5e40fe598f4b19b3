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
  // The Windows folder and the system folder (C:\Windows, C:\Windows\System32); "" when the
  // system cannot tell.
  virtual std::string WindowsFolder() = 0;
  virtual std::string SystemFolder() = 0;
  // Starts the program at a full path with one argument, passed quoted, never through a command
  // shell and never looked up by name. show_minimized selects a minimised window with focus
  // instead of a normal one. Throws PlatformError when the program cannot be started, also when
  // its path is not a full one.
  virtual void StartProcess(const std::string& program, const std::string& argument,
                            bool show_minimized) = 0;
  // The shell's default action on a path, shown normally: a folder opens in the file manager.
  // Throws PlatformError when the shell cannot act on it.
  virtual void Open(const std::string& path) = 0;
};

// The helper programs, by full path in the system's own folders: looked up by bare name, the
// system would try the program's folder and the current folder first, where anyone who can
// save a file (a browser's download, an unpacked archive) could put a program of that name.
// Both throw PlatformError (file not found) when the system names no such folder.
std::string TextEditorPath(Shell& shell);   // the system folder's notepad.exe
std::string FileManagerPath(Shell& shell);  // the Windows folder's explorer.exe

}  // namespace tess
