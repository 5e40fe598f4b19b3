// Path-text rules the backup engine shares: cleaning joined paths, the last part of a path, drive
// roots and wildcards, and the existence query.
#pragma once

#include <string>

namespace tess {

class FileSystem;

// Collapses doubled backslashes in one left-to-right pass; a path that starts with a backslash
// keeps exactly two leading backslashes (network form).
std::string CleanPath(const std::string& path);
// The text after the last backslash; empty when the text ends with one; the whole text without.
std::string LastPathPart(const std::string& path);
// True for a drive's root, written "E:\" or as the drive alone, "E:".
bool IsDriveRoot(const std::string& path);
// The folder an entry names. A drive written alone, "E:", is that drive's root "E:\": Windows
// would read it as the program's current folder on the drive, which no user means.
std::string EntryFolder(const std::string& entry);
// The path a copy reads: one trailing backslash removed, except from a drive root, which needs
// it for the same reason.
std::string CopySource(const std::string& folder);
// The name a history line gives a copy source: its last part, and "E:" for a drive root.
std::string SourceName(const std::string& source);
// True when the path holds "*" or "?". The "\\?\" that opens the long form is no wildcard.
bool HasWildcard(const std::string& path);
// True when the path names an existing file or folder. A listing of the path answers (a folder
// written with a trailing backslash by its contents, which always hold "."), and a drive root,
// empty or not, is found when the drive is there. A path with a wildcard is never found:
// a pattern that matches some name is no place to copy from or into. Throws PlatformError for
// an unusable name or drive.
bool PathFound(FileSystem& files, const std::string& path);

}  // namespace tess
