// Files and folders, in the program's own terms. Paths are UTF-8 text in Windows form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ports/file_tree.h"

namespace tess {

// One subfolder as its folder's listing shows it.
struct SubFolder {
  std::string name;
  std::uint32_t attributes = 0;  // kAttr* bits
  // A folder that only names another place (a junction, a symbolic link, a mount point): going
  // into it can lead back up the tree, and what it names lives, and is listed, elsewhere.
  bool names_another_place = false;
};

// The file-tree primitives, and the queries and changes the rest of the program makes.
class FileSystem : public FileTree {
 public:
  // Last-write time as an opaque count; throws PlatformError when the path cannot be read.
  virtual std::int64_t LastWriteTime(const std::string& path) = 0;
  // Attribute bits (kAttr*); throws PlatformError when the path does not exist.
  virtual std::uint32_t Attributes(const std::string& path) = 0;
  // True when a directory listing of the pattern (folders included, wildcards honoured)
  // yields at least one name. Throws PlatformError for an unusable name or drive.
  virtual bool ListingFindsAny(const std::string& pattern) = 0;
  // True when an ordinary file (not a folder) matches the pattern.
  virtual bool OrdinaryFileExists(const std::string& pattern) = 0;
  // The immediate subfolders of a folder ("." and ".." left out), hidden and system ones
  // included, in the order the file system lists them. Throws PlatformError when the folder
  // cannot be listed: kErrPermissionDenied when listing is refused, kErrPathNotFound when there
  // is no such folder.
  virtual std::vector<SubFolder> SubFolders(const std::string& folder) = 0;
  // True when the folder is the root of a drive or of a network share, however it is written.
  // Throws PlatformError for an unusable path.
  virtual bool IsRootFolder(const std::string& folder) = 0;
  // The code of each character of the text in the system's ANSI code page, as programs that
  // use that code page see a name: 0 to 255 for a one-byte character, lead byte * 256 + trail
  // byte for a two-byte one, and 63 ("?") for a character the code page cannot hold.
  virtual std::vector<int> AnsiCodes(const std::string& text) = 0;

  // Creates exactly one folder; throws when it exists already or its parent is missing.
  virtual void CreateFolder(const std::string& path) = 0;
  // Plain delete; throws on failure (read-only, locked, missing).
  virtual void DeleteFile(const std::string& path) = 0;
  // Delete that also removes read-only files; throws on failure.
  virtual void ForceDeleteFile(const std::string& path) = 0;

  // Appends text and CR LF, converted to the ANSI code page; opens and closes the file.
  // Throws PlatformError when the file cannot be opened or written.
  virtual void AppendLine(const std::string& path, const std::string& text) = 0;
  // The whole file read as ANSI text and returned as UTF-8; throws when unreadable.
  virtual std::string ReadAnsiText(const std::string& path) = 0;
};

}  // namespace tess
