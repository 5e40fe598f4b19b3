// Removing an older backup folder so that nothing left at any moment passes for a whole backup
// it is not: the folder first takes a name no backup folder has (the copy's temporary-name
// shape), and only then goes, file by file; one that cannot go gets its name back while it is
// still whole. A crash in between leaves that renamed folder, which a later removal finishes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ports/file_tree.h"

namespace tess {

// What became of one folder to remove.
struct FolderRemoval {
  enum class Kind {
    kRemoved,
    kGone,            // someone else removed it first
    kKept,            // it could not go and stays under its own name, whole
    kLeftUnfinished,  // part of it went; the rest waits, as `leftover`, for a later removal
  };
  Kind kind = Kind::kRemoved;
  std::string reason;    // the system's words for what stopped it
  std::string leftover;  // kLeftUnfinished: the name the rest now has
};

// Removes the folder `name` directly inside the destination (a full path). `tag` seeds the name
// it takes while it goes; `yield` runs now and then, on this thread, between files. A file of
// the folder that is read-only goes too, and keeps its read-only bit under the other names it has
// (a file shared by links with other backup folders); what those names hold is never touched.
FolderRemoval RemoveBackupFolder(FileTree& files, const std::string& destination,
                                 const std::string& name, std::uint64_t tag,
                                 const std::function<void()>& yield);

// Removes every leftover in the listing of the destination; answers the ones that could not go
// completely, each with the reason.
struct LeftoverFailure {
  std::string name;
  std::string reason;
};
std::vector<LeftoverFailure> FinishRemovals(FileTree& files, const std::string& destination,
                                            const std::vector<TreeEntry>& listing,
                                            const std::function<void()>& yield);

}  // namespace tess
