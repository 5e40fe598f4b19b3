// The history log: a text file in the temporary folder, one CR LF line per processed folder.
#pragma once

#include <string>

namespace tess {

class FileSystem;

// TEMP, "\", the product name made file-safe, ".txt".
std::string ComputeHistoryLogPath(const std::string& temp_folder);
// Opens, appends one line (ANSI code page) and closes; throws PlatformError on failure.
void AppendHistoryLine(FileSystem& files, const std::string& log_path, const std::string& line);

inline constexpr char kNoHistoryMessage[] =
    "There isn't a history to view because actions have not been performed yet.";
inline constexpr char kClearHistoryQuestion[] =
    "Are you sure you want to delete the history log and start over?";

}  // namespace tess
