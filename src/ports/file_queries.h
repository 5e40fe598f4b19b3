// Forgiving questions and a forgiving delete over the file-system service: they answer or
// give up quietly, for callers that treat "cannot tell" as "no".
#pragma once

#include <optional>
#include <string>

namespace tess {

class FileSystem;
class EventPump;

// True when the path's last-write time can be read; never throws.
bool PathExists(FileSystem& files, const std::string& path);
// True / false by the directory bit; empty when the attributes cannot be read.
std::optional<bool> IsFolderResult(FileSystem& files, const std::string& path);
// IsFolder with the empty result counted as false.
bool IsFolder(FileSystem& files, const std::string& path);
// Lets pending events run, then a plain delete, then a forced one; every failure is absorbed.
void DeleteFileWithFallback(FileSystem& files, EventPump& pump, const std::string& path);

}  // namespace tess
