#include "backup/path_rules.h"

#include <string_view>

#include "ports/file_queries.h"
#include "ports/file_system.h"

namespace tess {

namespace {
// One pass, without overlap: three backslashes become two, four become two.
std::string CollapseDoubledBackslashes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return out;
}
}  // namespace

std::string CleanPath(const std::string& path) {
  if (path.empty() || path[0] != '\\') return CollapseDoubledBackslashes(path);
  size_t first = path.find_first_not_of('\\', 1);
  if (first == std::string::npos) first = path.size();
  return "\\\\" + CollapseDoubledBackslashes(path.substr(first));
}

std::string LastPathPart(const std::string& path) {
  const auto slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsDriveRoot(const std::string& path) {
  if (path.size() < 2 || path.size() > 3 || path[1] != ':') return false;
  const char letter = path[0];
  const bool is_letter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
  return is_letter && (path.size() == 2 || path[2] == '\\');
}

std::string EntryFolder(const std::string& entry) {
  return IsDriveRoot(entry) && entry.size() == 2 ? entry + '\\' : entry;
}

std::string CopySource(const std::string& folder) {
  if (IsDriveRoot(folder)) return EntryFolder(folder);
  if (!folder.empty() && folder.back() == '\\') return folder.substr(0, folder.size() - 1);
  return folder;
}

std::string SourceName(const std::string& source) {
  return IsDriveRoot(source) ? source.substr(0, 2) : LastPathPart(source);
}

bool HasWildcard(const std::string& path) {
  constexpr std::string_view kLongFormPrefix = "\\\\?\\";
  const size_t from = path.rfind(kLongFormPrefix, 0) == 0 ? kLongFormPrefix.size() : 0;
  return path.find_first_of("*?", from) != std::string::npos;
}

bool PathFound(FileSystem& files, const std::string& path) {
  if (HasWildcard(path)) return false;
  if (!IsDriveRoot(path)) return files.ListingFindsAny(path);
  // A root's listing holds only what is on the drive, and a freshly formatted backup drive
  // holds nothing.
  const std::string root = EntryFolder(path);
  return files.ListingFindsAny(root) || IsFolder(files, root);
}

}  // namespace tess
