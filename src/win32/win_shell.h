// The desktop shell: special folders, the folder-browse dialog and starting other programs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ports/shell.h"

namespace tess::win32 {

class WinShell : public Shell {
 public:
  explicit WinShell(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  std::string SpecialFolderPath(int folder_id) override;
  std::string BrowseForFolder(const std::string& title, const std::string& start) override;
  std::string WindowsFolder() override;
  std::string SystemFolder() override;
  void StartProcess(const std::string& program, const std::string& argument,
                    bool show_minimized) override;
  void Open(const std::string& path) override;

 private:
  std::function<HWND()> owner_;
};

// The command line that passes argument to program as exactly one argument: the program's
// path quoted (it may hold blanks), then the argument quoted, with the backslashes before the
// closing quote doubled, and any double quote (never part of a Windows path) dropped so the
// text can never end the argument early.
std::wstring QuotedCommandLine(const std::wstring& program, const std::wstring& argument);

}  // namespace tess::win32
