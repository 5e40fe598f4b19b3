#include "appearance/pointer.h"

#include "base/path_text.h"
#include "ports/file_queries.h"

namespace tess {

namespace {
constexpr char kCursorFile[] = "HAND-M.CUR";
constexpr char kDragCursorFile[] = "drag.ico";

std::string FileIn(FileSystem& files, const std::string& program_folder, const char* name) {
  const std::string path = WithTrailingBackslash(program_folder) + name;
  return PathExists(files, path) ? path : "";
}
}  // namespace

std::string CustomCursorIn(FileSystem& files, const std::string& program_folder) {
  return FileIn(files, program_folder, kCursorFile);
}

std::string DragCursorIn(FileSystem& files, const std::string& program_folder) {
  return FileIn(files, program_folder, kDragCursorFile);
}

Pointer PointerOverButton(Pointer current) {
  return current == Pointer::kHourglass ? current : Pointer::kCustom;
}

Pointer PointerOverBackground(Pointer current) {
  return current == Pointer::kHourglass ? current : Pointer::kDefault;
}

}  // namespace tess
