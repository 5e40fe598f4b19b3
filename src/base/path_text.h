// Path texts in Windows form, taken apart without touching the disk.
#pragma once

#include <string>

namespace tess {

// The folder part of a file's path, without a trailing backslash except at a drive root
// ("C:\"); "" when the path holds no backslash.
std::string FolderOf(const std::string& file_path);
// The folder with exactly one backslash appended unless it already ends with one.
std::string WithTrailingBackslash(const std::string& folder);
// The part after the last backslash or slash; the whole text when it holds neither.
std::string FileNameOf(const std::string& path);

}  // namespace tess
