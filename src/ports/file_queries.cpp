#include "ports/file_queries.h"

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

void DeleteFileWithFallback(FileSystem& files, EventPump& pump, const std::string& path) {
  try {
    pump.ProcessPendingEvents();
  } catch (...) {
  }
  try {
    files.DeleteFile(path);
    return;
  } catch (...) {
  }
  try {
    files.ForceDeleteFile(path);
  } catch (...) {
  }
}

}  // namespace tess
