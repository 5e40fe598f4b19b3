#include "backup/destination_listing.h"

#include <utility>

#include "base/temporary_name.h"

namespace tess {

bool IsRemovalLeftover(const TreeEntry& entry) {
  return entry.IsFolder() && !entry.names_another_place && IsTemporaryName(entry.name);
}

std::function<bool(const TreeEntry&)> LeftOutOfCopies(std::vector<std::string> base_names,
                                                      StampTexts texts) {
  return [names = std::move(base_names), texts = std::move(texts)](const TreeEntry& folder) {
    return IsBackupFolderOf(folder.name, names, texts) || IsRemovalLeftover(folder);
  };
}

}  // namespace tess
