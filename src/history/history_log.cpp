#include "history/history_log.h"

#include "base/product.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace tess {

std::string ComputeHistoryLogPath(const std::string& temp_folder) {
  return temp_folder + "\\" + RemoveFileNameChars(StripTrailingWord(kProductName, "Software")) +
         ".txt";
}

void AppendHistoryLine(FileSystem& files, const std::string& log_path, const std::string& line) {
  files.AppendLine(log_path, line);
}

}  // namespace tess
