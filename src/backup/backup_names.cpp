#include "backup/backup_names.h"

#include <algorithm>

#include "backup/path_rules.h"
#include "base/name_case.h"

namespace tess {

namespace {

bool IsDriveName(const std::string& part) {
  return part.size() == 2 && part[1] == ':' &&
         ((part[0] >= 'A' && part[0] <= 'Z') || (part[0] >= 'a' && part[0] <= 'z'));
}

}  // namespace

std::string BackupBaseName(const std::string& entry) {
  std::string path = entry;
  // Every trailing backslash, not only one: "C:\Data\Docs\\" is still the folder Docs.
  while (!path.empty() && path.back() == '\\') path.pop_back();
  const std::string last = LastPathPart(path);
  return IsDriveName(last) ? last.substr(0, 1) : last;
}

std::vector<std::string> BackupFolderNames(const std::vector<std::string>& entries) {
  std::vector<std::string> own;
  own.reserve(entries.size());
  for (const auto& entry : entries) own.push_back(NameKey(BackupBaseName(entry)));

  std::vector<std::string> names;
  std::vector<std::string> taken;  // name keys
  names.reserve(entries.size());
  const auto is_taken = [&](const std::string& key) {
    return std::find(taken.begin(), taken.end(), key) != taken.end();
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string name = BackupBaseName(entries[i]);
    // An entry without a name (an empty text) has nothing to number.
    if (!name.empty() && is_taken(own[i])) {
      for (int n = 2;; ++n) {
        const std::string numbered = name + " (" + std::to_string(n) + ")";
        const std::string key = NameKey(numbered);
        if (!is_taken(key) && std::find(own.begin(), own.end(), key) == own.end()) {
          name = numbered;
          break;
        }
      }
    }
    taken.push_back(NameKey(name));
    names.push_back(name);
  }
  return names;
}

}  // namespace tess
