// Files and folders, in the program's own terms. Paths are UTF-8 text in Windows form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ports/file_tree.h"

namespace tess {

// The file-tree primitives, and the queries and changes the rest of the program makes. The
// primitives answer with a FileError; the queries below throw PlatformError, which a handler's
// error trap reports as it stands.
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
  // True when the folder is the root of a drive or of a network share, however it is written.
  // Throws PlatformError for an unusable path.
  virtual bool IsRootFolder(const std::string& folder) = 0;
  // The code of each character of the text in the system's ANSI code page, as programs that
  // use that code page see a name: 0 to 255 for a one-byte character, lead byte * 256 + trail
  // byte for a two-byte one, and 63 ("?") for a character the code page cannot hold.
  virtual std::vector<int> AnsiCodes(const std::string& text) = 0;

  // Appends text and CR LF, converted to the ANSI code page; opens and closes the file.
  // Throws PlatformError when the file cannot be opened or written.
  virtual void AppendLine(const std::string& path, const std::string& text) = 0;
  // Appends the bytes as they are, as AppendLine does.
  virtual void AppendBytes(const std::string& path, const std::string& bytes) = 0;
  // The whole file read as ANSI text and returned as UTF-8; throws when unreadable.
  virtual std::string ReadAnsiText(const std::string& path) = 0;
};

}  // namespace tess
