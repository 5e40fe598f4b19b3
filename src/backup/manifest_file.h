// A manifest on disk beside its backup folder: read back, written whole through a temporary file
// and a rename (a crash leaves the earlier manifest or none, never half of one), and removed;
// a file this program did not write is never replaced nor removed.
#pragma once

#include <cstdint>
#include <string>

#include "backup/manifest.h"
#include "ports/file_tree.h"

namespace tess {

// Larger than any manifest of this program's (over a million files' lines): no manifest.
inline constexpr std::uint64_t kLargestManifest = 256u << 20;

struct ManifestFile {
  enum class State {
    kNone,        // nothing has the name
    kOurs,        // a manifest this program wrote (its lines may still be damaged)
    kForeign,     // a file of someone else's, or a folder, has the name
    kUnreadable,  // it is there but cannot be read; nothing of it is trusted
  };
  State state = State::kNone;
  ManifestReading reading;  // kOurs
  std::string reason;       // kUnreadable: the system's words
};

ManifestFile ReadManifestFile(FileTree& files, const std::string& path);

// Reads a whole small file (at most `largest` bytes).
FileError ReadSmallFile(FileTree& files, const std::string& path, std::uint64_t largest,
                        std::string* text);

// Writes text as the manifest at path, hidden, replacing what is there only when `replace`
// (the caller has read it as ours). tag seeds the temporary names drawn.
FileError WriteManifestFile(FileTree& files, const std::string& path, const std::string& text,
                            bool replace, std::uint64_t tag);

// What claiming a backup folder came to: the manifest beside it names the claiming source (it
// was there, or the claim put it there), or names another source; or the claim was left, since
// a file there is no manifest of this program's or none could be written (the copy goes ahead,
// and its own manifest write tells why).
enum class FolderClaim { kOurs, kAnothers, kLeft };

// Before the first write into a backup folder without a manifest of its own: writes a claim at
// path, the manifest of owner (not complete) without file lines, through a rename that never
// replaces, so of two computers claiming one folder at the same moment exactly one gets it.
FolderClaim ClaimBackupFolder(FileTree& files, const std::string& path, const ManifestOwner& owner,
                              std::uint64_t tag);

// Removes the manifest at path when it is this program's; anything else stays.
void RemoveManifestFile(FileTree& files, const std::string& path);

}  // namespace tess
