#include "backup/destination_listing.h"

#include <optional>
#include <utility>

#include "backup/manifest.h"
#include "base/temporary_name.h"

namespace tess {

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
