#include "copy/copy_paths.h"

namespace tess::copy_path {
namespace {

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::string WithoutTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::size_t RootLength(const std::string& path) {
  std::size_t share_from = 0;
  if (StartsWith(path, "\\\\?\\UNC\\")) {
    share_from = 8;
  } else if (StartsWith(path, "\\\\?\\")) {
    if (path.size() >= 6 && path[5] == ':') return 7;
    const std::size_t slash = path.find('\\', 4);  // a volume name such as Volume{...}
    return slash == std::string::npos ? path.size() + 1 : slash + 1;
  } else if (path.size() >= 2 && path[1] == ':') {
    return 3;
  } else if (StartsWith(path, "\\\\")) {
    share_from = 2;
  } else {
    return 0;
  }
  std::size_t slash = path.find('\\', share_from);
  if (slash == std::string::npos) return path.size() + 1;
  slash = path.find('\\', slash + 1);
  return slash == std::string::npos ? path.size() + 1 : slash + 1;
}

bool IsRoot(const std::string& path) { return path.size() <= RootLength(path); }

std::string Join(const std::string& folder, const std::string& name) {
  std::string joined;
  joined.reserve(folder.size() + 1 + name.size());
  joined = folder;
  if (joined.empty() || joined.back() != '\\') joined.push_back('\\');
  joined += name;
  return joined;
}

std::string LeafName(const std::string& path) {
  if (IsRoot(path)) return {};
  const std::string trimmed = WithoutTrailingBackslashes(path);
  return trimmed.substr(trimmed.rfind('\\') + 1);
}

std::string ParentPath(const std::string& path) {
  if (IsRoot(path)) return path;
  const std::string trimmed = WithoutTrailingBackslashes(path);
  const std::size_t slash = trimmed.rfind('\\');
  if (slash == std::string::npos) return path;
  const std::size_t root = RootLength(path);
  return slash + 1 <= root ? trimmed.substr(0, root) : trimmed.substr(0, slash);
}

std::string FolderName(const std::string& path) {
  std::string name = LeafName(path);
  if (!name.empty()) return name;
  const std::string root = WithoutTrailingBackslashes(path);
  name = root.substr(root.rfind('\\') + 1);
  if (!name.empty() && name.back() == ':') name.pop_back();
  return name;
}

}  // namespace tess::copy_path
