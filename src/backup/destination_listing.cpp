#include "backup/destination_listing.h"

#include <map>
#include <optional>
#include <set>
#include <utility>

#include "backup/manifest.h"
#include "base/name_case.h"
#include "base/temporary_name.h"

namespace tess {
namespace {

// Whether the folder reads as the own (unnumbered) backup folder of an entry named `name`.
bool ReadsAsOwnFolderOf(const std::string& folder, const std::string& name,
                        const StampTexts& texts) {
  const auto read = ReadBackupFolderName(folder, name, texts);
  return read && read->copy_number == 1;
}

// Each file of the listing named as one of the backups and an extension goes beside it. A
// folder name may hold dots itself, so every dot of a file's name is a place it may split.
void FindFilesBeside(const std::vector<TreeEntry>& listing, std::vector<EntryBackup>* backups) {
  std::map<std::string, std::size_t> by_key;
  for (std::size_t i = 0; i < backups->size(); ++i) by_key.emplace(NameKey((*backups)[i].name), i);
  for (const TreeEntry& entry : listing) {
    if (entry.IsFolder()) continue;
    const std::string key = NameKey(entry.name);
    for (std::size_t dot = key.find('.'); dot != std::string::npos; dot = key.find('.', dot + 1)) {
      if (const auto it = by_key.find(key.substr(0, dot)); it != by_key.end()) {
        (*backups)[it->second].files_beside.push_back(entry.name);
      }
    }
  }
}

}  // namespace

std::vector<EntryBackup> ReadEntryBackups(const std::vector<TreeEntry>& listing,
                                          const std::vector<std::string>& names, std::size_t index,
                                          const StampTexts& texts) {
  std::vector<EntryBackup> backups;
  if (index >= names.size()) return backups;
  for (const TreeEntry& entry : listing) {
    if (!entry.IsFolder()) continue;
    const auto read = ReadBackupFolderName(entry.name, names[index], texts);
    if (!read || read->copy_number != 1) continue;
    EntryBackup backup;
    backup.name = entry.name;
    backup.stamp = read->stamp;
    backup.time = read->time;
    backup.names_another_place = entry.names_another_place;
    for (std::size_t other = 0; other < names.size() && !backup.another_entry_may_claim; ++other) {
      backup.another_entry_may_claim =
          other != index && ReadsAsOwnFolderOf(entry.name, names[other], texts);
    }
    backups.push_back(std::move(backup));
  }
  FindFilesBeside(listing, &backups);
  return backups;
}

std::vector<ExistingBackup> ReadExistingBackups(const std::vector<TreeEntry>& listing,
                                                const std::vector<std::string>& base_names,
                                                const StampTexts& texts) {
  std::vector<ExistingBackup> found;
  std::set<std::string> folders;
  for (const TreeEntry& entry : listing) {
    if (entry.IsFolder()) folders.insert(NameKey(entry.name));
  }
  for (const TreeEntry& entry : listing) {
    // A manifest alone is another run's claim on a folder it has not made yet.
    std::string folder = entry.name;
    if (!entry.IsFolder()) {
      const std::optional<std::string> subject = ManifestSubject(entry.name);
      if (!subject || folders.count(NameKey(*subject)) != 0) continue;
      folder = *subject;
    }
    std::set<std::string> seen;  // one reading per name, however many entries carry it
    for (const std::string& base : base_names) {
      if (!seen.insert(NameKey(base)).second) continue;
      const auto read = ReadBackupFolderName(folder, base, texts);
      if (!read) continue;
      const std::string name =
          read->copy_number == 1 ? base : base + " (" + std::to_string(read->copy_number) + ")";
      found.push_back({name, read->copy_number, folder, std::nullopt, entry.names_another_place});
    }
  }
  return found;
}

bool IsRemovalLeftover(const TreeEntry& entry) {
  return entry.IsFolder() && !entry.names_another_place && IsTemporaryName(entry.name);
}

std::function<bool(const TreeEntry&)> LeftOutOfCopies(std::vector<std::string> base_names,
                                                      StampTexts texts) {
  return [names = std::move(base_names), texts = std::move(texts)](const TreeEntry& entry) {
    if (!entry.IsFolder()) {
      const std::optional<std::string> subject = ManifestSubject(entry.name);
      return subject && IsBackupFolderOf(*subject, names, texts);
    }
    return IsBackupFolderOf(entry.name, names, texts) || IsRemovalLeftover(entry);
  };
}

}  // namespace tess
