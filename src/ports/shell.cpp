#include "ports/shell.h"

#include "base/platform_error.h"

namespace tess {

namespace {
std::string ProgramIn(const std::string& folder, const char* file_name) {
  if (folder.empty()) throw PlatformError(kErrFileNotFound, "File not found");
  return folder.back() == '\\' ? folder + file_name : folder + "\\" + file_name;
}
}  // namespace

std::string TextEditorPath(Shell& shell) { return ProgramIn(shell.SystemFolder(), "notepad.exe"); }

std::string FileManagerPath(Shell& shell) {
  return ProgramIn(shell.WindowsFolder(), "explorer.exe");
}

}  // namespace tess
