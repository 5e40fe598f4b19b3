#include "base/path_text.h"

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

}  // namespace tess
