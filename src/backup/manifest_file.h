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

// Writes the manifest at path, hidden, replacing what is there only when `replace` (the caller
// has read it as ours). tag seeds the temporary names drawn.
FileError WriteManifestFile(FileTree& files, const std::string& path, const ManifestOwner& owner,
                            const ManifestLines& lines, bool replace, std::uint64_t tag);

// Removes the manifest at path when it is this program's; anything else stays.
void RemoveManifestFile(FileTree& files, const std::string& path);

}  // namespace tess
