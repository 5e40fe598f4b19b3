#include "ports/file_queries.h"

#include "base/platform_error.h"
#include "ports/event_pump.h"
#include "ports/file_system.h"

namespace tess {

bool PathExists(FileSystem& files, const std::string& path) {
  try {
    files.LastWriteTime(path);
    return true;
  } catch (...) {
    return false;
  }
}

std::optional<bool> IsFolderResult(FileSystem& files, const std::string& path) {
  try {
    return (files.Attributes(path) & kAttrDirectory) != 0;
  } catch (...) {
    return std::nullopt;
  }
}

bool IsFolder(FileSystem& files, const std::string& path) {
  return IsFolderResult(files, path).value_or(false);
}

void ThrowFileError(const FileError& error, long not_found) {
  long number = kErrBadFileName;
  switch (error.kind) {
    case FileErrorKind::kNotFound:
      number = not_found;
      break;
    case FileErrorKind::kAlreadyExists:
      number = kErrFileExists;
      break;
    case FileErrorKind::kDiskFull:
      number = kErrDiskFull;
      break;
    case FileErrorKind::kAccessDenied:
      number = kErrPermissionDenied;
      break;
    case FileErrorKind::kNone:
    case FileErrorKind::kOther:
      break;
  }
  throw PlatformError(number, error.text);
}

void CreateFolder(FileSystem& files, const std::string& path) {
  if (const FileError e = files.MakeFolder(path); e.Failed()) ThrowFileError(e, kErrPathNotFound);
}

void DeleteFileWithFallback(FileSystem& files, EventPump& pump, const std::string& path) {
  PumpEvents(pump)();
  try {
    if (!files.Delete(path).Failed()) return;
    // The forced delete: a read-only file is deleted too, and only files.
    constexpr std::uint32_t kSettable =
        kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | kAttrNotContentIndexed;
    const std::uint32_t attributes = files.Attributes(path);
    if ((attributes & kAttrDirectory) != 0 || (attributes & kAttrReadOnly) == 0) return;
    if (files.SetAttributes(path, attributes & kSettable & ~kAttrReadOnly).Failed()) return;
    if (files.Delete(path).Failed()) files.SetAttributes(path, attributes & kSettable);
  } catch (...) {
  }
}

}  // namespace tess
