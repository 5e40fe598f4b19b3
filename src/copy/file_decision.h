// The decision about one source file, from plain values: what the source's listing shows of it,
// what the destination's listing shows under its name, and what the entry's earlier backup
// holds there. Which bits a copy carries over belongs here too, since the decision compares them.
#pragma once

#include <cstdint>

#include "ports/file_tree.h"

namespace tess {

// Attribute bits a copied file carries over; the others belong to the volume (compression,
// sparse, encryption) or to the way the file is stored.
inline constexpr std::uint32_t kFileAttributesKept =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | kAttrNotContentIndexed;
// Bits put right on a file that is otherwise identical. The archive bit is left alone: Wine
// reports it on every file whatever was set, so comparing it would rewrite every skipped file.
inline constexpr std::uint32_t kFileAttributesChecked = kAttrReadOnly | kAttrHidden | kAttrSystem;

inline std::uint32_t SettableAttributes(std::uint32_t attributes) {
  return attributes & kFileAttributesKept;
}
// True when the bits a user sees differ between a file and its copy.
inline bool CheckedAttributesDiffer(const TreeEntry& a, const TreeEntry& b) {
  return ((a.attributes ^ b.attributes) & kFileAttributesChecked) != 0;
}

struct FileRules {
  bool overwrite = true;  // a different copy may be replaced
  // The destination's volume keeps write times in coarse steps (FAT, exFAT), so write times
  // within a step of each other are one time there.
  bool coarse_times = false;
};

enum class FileAction {
  kWrite,           // a new copy (a replacement goes through a temporary file)
  kSkip,            // its copy is current; only its bits may need putting right
  kFolderInTheWay,  // a folder has its name at the destination
  kMayNotReplace,   // a different copy is there and may not be replaced
  kLink,            // a second name of the earlier backup's copy, which is current
};

// True when copy needs no rewrite to stand for file.
bool IsCurrent(const TreeEntry& file, const TreeEntry& copy, const FileRules& rules);

// The one decision about a file. copy is what the destination lists under its name, earlier
// what the earlier backup lists there; null for nothing. A link is only ever made where the
// destination has no copy: an existing name is replaced, never relinked, and the linked copy must
// match the source's bits too, because a file's attributes belong to every name it has. A copy
// found damaged (distrusted) is written afresh, however current it looks.
FileAction DecideFile(const TreeEntry& file, const TreeEntry* copy, const TreeEntry* earlier,
                      const FileRules& rules, bool distrusted = false);

}  // namespace tess
