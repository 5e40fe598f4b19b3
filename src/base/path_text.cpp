#include "base/path_text.h"

#include <cstring>
#include <string_view>

namespace tess {

std::string FolderOf(const std::string& file_path) {
  const auto slash = file_path.rfind('\\');
  if (slash == std::string::npos) return "";
  std::string folder = file_path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

std::string WithTrailingBackslash(const std::string& folder) {
  if (!folder.empty() && folder.back() == '\\') return folder;
  return folder + '\\';
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string TakenFolderPath(const std::string& typed) {
  std::string path = TrimBlanks(typed);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = TrimBlanks(path.substr(1, path.size() - 2));
  }
  const auto last_part = path.rfind('\\') + 1;  // 0 without a backslash
  if (path.find_first_not_of('.', last_part) == std::string::npos) return path;
  const auto kept = path.find_last_not_of(" .");
  path.erase(kept == std::string::npos ? 0 : kept + 1);
  return path;
}

bool CanNameFolder(const std::string& path) {
  constexpr std::string_view kLongForm = "\\\\?\\";
  const std::string_view rest =
      std::string_view(path).substr(path.rfind(kLongForm, 0) == 0 ? kLongForm.size() : 0);
  if (rest.empty()) return false;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const auto c = static_cast<unsigned char>(rest[i]);
    if (c < 0x20 || std::strchr("<>\"|?*", c) != nullptr) return false;
    const bool drive =
        i == 1 && ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
    if (c == ':' && !drive) return false;
  }
  return true;
}

}  // namespace tess
