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

bool SameOwner(const FolderOwner& a, const FolderOwner& b) {
  return SameName(a.computer, b.computer) && SameName(a.source, b.source);
}

std::vector<std::string> BackupFolderNames(const std::vector<std::string>& entries) {
  return BackupFolderNames(entries, {}, {}, "");
}

namespace {

enum class Claim { kFree, kOwn, kAnothers };

// What the destination says of `name` to an entry of owner `me` (none: the plain numbering).
Claim ClaimOf(const std::string& name, const std::string& folder, const FolderOwner* me,
              const std::vector<ExistingBackup>& found) {
  if (me == nullptr) return Claim::kFree;
  bool own = false;
  bool anothers = false;
  for (const ExistingBackup& backup : found) {
    if (!SameName(backup.name, name)) continue;
    const bool foreign = backup.link || (backup.owner && !SameOwner(*backup.owner, *me));
    // The very folder the run would write into is never another source's.
    if (foreign && SameName(backup.folder, folder)) return Claim::kAnothers;
    if (foreign) anothers = true;
    if (!backup.link && backup.owner && SameOwner(*backup.owner, *me)) own = true;
  }
  if (own) return Claim::kOwn;
  return anothers ? Claim::kAnothers : Claim::kFree;
}

}  // namespace

std::vector<std::string> BackupFolderNames(const std::vector<std::string>& entries,
                                           const std::vector<FolderOwner>& owners,
                                           const std::vector<ExistingBackup>& found,
                                           const std::string& suffix) {
  std::vector<std::string> own;
  own.reserve(entries.size());
  for (const auto& entry : entries) own.push_back(NameKey(BackupBaseName(entry)));

  std::vector<std::string> names;
  std::vector<std::string> taken;  // name keys
  names.reserve(entries.size());
  const auto is_taken = [&](const std::string& key) {
    return std::find(taken.begin(), taken.end(), key) != taken.end();
  };
  // Beyond the highest number a found folder carries, every name is free.
  int last_found = 1;
  for (const ExistingBackup& backup : found) last_found = std::max(last_found, backup.number);
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string base = BackupBaseName(entries[i]);
    const FolderOwner* me = i < owners.size() ? &owners[i] : nullptr;
    std::string chosen;
    std::string first_free;
    // An entry without a name (an empty text) has nothing to number.
    for (int n = 1; !base.empty() && chosen.empty(); ++n) {
      const std::string name = n == 1 ? base : base + " (" + std::to_string(n) + ")";
      const std::string key = NameKey(name);
      // A number another entry has as its own name is left to that entry.
      const bool usable =
          !is_taken(key) && (n == 1 || std::find(own.begin(), own.end(), key) == own.end());
      const Claim claim = usable ? ClaimOf(name, name + suffix, me, found) : Claim::kAnothers;
      if (claim == Claim::kOwn) chosen = name;
      if (claim == Claim::kFree && first_free.empty()) first_free = name;
      if (chosen.empty() && !first_free.empty() && (me == nullptr || n >= last_found)) {
        chosen = first_free;
      }
    }
    if (base.empty()) chosen = base;
    taken.push_back(NameKey(chosen));
    names.push_back(chosen);
  }
  return names;
}

}  // namespace tess
