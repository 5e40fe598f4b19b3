// Questions, a folder's creation and a forgiving delete over the file-system service, for
// handlers: the questions and the delete answer or give up quietly, for callers that treat
// "cannot tell" as "no"; a failure a handler reports comes as a PlatformError.
#pragma once

#include <optional>
#include <string>

namespace tess {

class FileSystem;
class EventPump;
struct FileError;

// A failed primitive as a handler's error trap reports it: the system's words, numbered as
// the runtime numbers such failures; not_found is the number for a missing path (53 for a
// file, 76 for a folder or its parent).
[[noreturn]] void ThrowFileError(const FileError& error, long not_found);

// True when the path's last-write time can be read; never throws.
bool PathExists(FileSystem& files, const std::string& path);
// True / false by the directory bit; empty when the attributes cannot be read.
std::optional<bool> IsFolderResult(FileSystem& files, const std::string& path);
// IsFolder with the empty result counted as false.
bool IsFolder(FileSystem& files, const std::string& path);
// Makes exactly one folder; throws PlatformError when something has the name already, its
// parent is missing or it may not be made.
void CreateFolder(FileSystem& files, const std::string& path);
// Lets pending events run, then a plain delete, then a forced one that clears a read-only bit
// first (and puts it back should the delete still fail); every failure is absorbed.
void DeleteFileWithFallback(FileSystem& files, EventPump& pump, const std::string& path);

}  // namespace tess
