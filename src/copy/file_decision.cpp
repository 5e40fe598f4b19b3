#include "copy/file_decision.h"

#include "base/unchanged_file.h"

namespace tess {
namespace {

FileStamp StampOf(const TreeEntry& file) {
  return FileStamp{file.size, file.times.write, file.times.change};
}

}  // namespace

bool IsCurrent(const TreeEntry& file, const TreeEntry& copy, const FileRules& rules) {
  return rules.coarse_times ? CopyIsCurrentOnCoarseVolume(StampOf(file), StampOf(copy))
                            : CopyIsCurrent(StampOf(file), StampOf(copy));
}

FileAction DecideFile(const TreeEntry& file, const TreeEntry* copy, const TreeEntry* earlier,
                      const FileRules& rules, bool distrusted) {
  if (copy != nullptr) {
    if (copy->IsFolder()) return FileAction::kFolderInTheWay;
    if (!distrusted && IsCurrent(file, *copy, rules)) return FileAction::kSkip;
    return rules.overwrite ? FileAction::kWrite : FileAction::kMayNotReplace;
  }
  if (!distrusted && earlier != nullptr && !earlier->IsFolder() &&
      IsCurrent(file, *earlier, rules) && !CheckedAttributesDiffer(*earlier, file)) {
    return FileAction::kLink;
  }
  return FileAction::kWrite;
}

}  // namespace tess
