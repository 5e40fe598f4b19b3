#include "appearance/pointer.h"

#include "base/path_text.h"
#include "platform/file_queries.h"

namespace tess {

namespace {
constexpr char kCursorFile[] = "HAND-M.CUR";
}  // namespace

std::string CustomCursorIn(FileSystem& files, const std::string& program_folder) {
  const std::string cursor = WithTrailingBackslash(program_folder) + kCursorFile;
  return PathExists(files, cursor) ? cursor : "";
}

}  // namespace tess
