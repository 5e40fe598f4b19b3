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

// A folder path as a run takes a typed or pasted one: without the blanks around it, without the
// double quotes the file manager's "Copy as path" puts around it, and without the blanks and dots
// Windows drops from the end of a name (a last part of dots alone, "." or "..", is kept).
std::string TakenFolderPath(const std::string& typed);
// True when the text could name a folder: not empty, no character Windows forbids in a name
// (< > " | ? * and the control characters), and ":" only after a drive letter. A leading "\\?\"
// is the long form's, not a wildcard.
bool CanNameFolder(const std::string& path);

}  // namespace tess
