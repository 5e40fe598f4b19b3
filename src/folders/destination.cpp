#include "folders/destination.h"

#include "base/path_text.h"
#include "base/platform_error.h"
#include "controls/controls.h"
#include "ports/program_settings.h"
#include "ports/shell.h"

namespace tess {

namespace {
constexpr char kBrowseTitle[] = "Please select folder:";
}  // namespace

std::string GetDesktopFolder(Shell& shell) {
  const std::string path = shell.SpecialFolderPath(0);
  if (path.empty()) throw PlatformError(kErrInvalidArgument, "Invalid procedure call or argument");
  return path + "\\";
}

const std::string& Destination::Text() const { return box_.Text(); }

void Destination::Restore() {
  box_.SetText(settings_.GetSetting(kKeyPath, GetDesktopFolder(shell_)));
}

void Destination::Store() { settings_.SaveSetting(kKeyPath, box_.Text()); }

void Destination::SelectAll() { box_.SetSelection(0, static_cast<int>(box_.Text().size())); }

std::string Destination::Browse() {
  const std::string last_folder = settings_.GetSetting(kKeyLastFolder, "");
  return shell_.BrowseForFolder(kBrowseTitle, last_folder);
}

void Destination::Set(const std::string& folder) { box_.SetText(folder); }

void Destination::Open() {
  shell_.StartProcess(FileManagerPath(shell_), TakenFolderPath(box_.Text()), false);
}

}  // namespace tess
