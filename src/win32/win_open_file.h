// The open files of WinFileSystem: one over any handle, and one that reads past the system's
// file cache in whole aligned chunks.
#pragma once

#include <memory>

#include "ports/file_tree.h"
#include "win32/handles.h"

namespace tess::win32 {

std::unique_ptr<OpenFile> OpenFileOf(FileHandle handle);
// A handle opened with FILE_FLAG_NO_BUFFERING; null when no aligned buffer can be had (the
// handle is closed then).
std::unique_ptr<OpenFile> PastCacheFileOf(FileHandle handle);

}  // namespace tess::win32
