#include "shell/helpers.h"

#include <cmath>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/shell.h"

namespace tess {

std::string GetDesktopFolder(Shell& shell) {
  const std::string path = shell.SpecialFolderPath(0);
  if (path.empty()) throw PlatformError(kErrInvalidArgument, "Invalid procedure call or argument");
  return path + "\\";
}

bool PathExists(FileSystem& files, const std::string& path) {
  try {
    files.LastWriteTime(path);
    return true;
  } catch (...) {
    return false;
  }
}

std::optional<bool> IsFolderResult(FileSystem& files, const std::string& path) {
  try {
    return (files.Attributes(path) & kAttrDirectory) != 0;
  } catch (...) {
    return std::nullopt;
  }
}

bool IsFolder(FileSystem& files, const std::string& path) {
  return IsFolderResult(files, path).value_or(false);
}

void DeleteFileWithFallback(FileSystem& files, EventPump& pump, const std::string& path) {
  try {
    pump.ProcessPendingEvents();
  } catch (...) {
  }
  try {
    files.DeleteFile(path);
    return;
  } catch (...) {
  }
  try {
    files.ForceDeleteFile(path);
  } catch (...) {
  }
}

std::string ApplicationTitleFor(const std::string& product_name) {
  std::string title = product_name;
  do {
    const auto blank = title.rfind(' ');
    if (blank == std::string::npos) break;  // one word: nothing to cut, keep it whole
    title = title.substr(0, blank);
  } while (title.size() > 40);
  return title;
}

void SetApplicationTitle(Dialogs& dialogs) {
  dialogs.SetApplicationTitle(ApplicationTitleFor(kProductName));
}

bool VisitWebSiteAtRandom(Clock& clock, Shell& shell) {
  const int draw = static_cast<int>(std::floor(clock.RandomFraction() * 100)) + 1;
  if (draw != 7) return false;
  shell.StartProcess("explorer", kWebSiteAddress, true);
  return true;
}

namespace {
std::string TrimSpaces(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}
}  // namespace

std::string StripTrailingWord(const std::string& text, const std::string& word) {
  const auto blank = text.rfind(' ');
  if (blank == std::string::npos) return text;
  if (word.empty() || TrimSpaces(text.substr(blank)) == word) {
    return TrimSpaces(text.substr(0, blank + 1));
  }
  return text;
}

std::string RemoveFileNameChars(const std::string& text) {
  static constexpr char kRemoved[] = "$/\\*:?<>|#' .,\"()-+=%;}{\t";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (std::string_view(kRemoved).find(c) == std::string_view::npos) out += c;
  }
  return out;
}

}  // namespace tess
