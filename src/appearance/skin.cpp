#include "appearance/skin.h"

#include "base/path_text.h"
#include "ports/file_system.h"

namespace tess {

namespace {
constexpr char kSkinFile[] = "x\\o.cjs";
}  // namespace

bool SkinPresent(FileSystem& files, const std::string& program_folder) {
  return files.OrdinaryFileExists(WithTrailingBackslash(program_folder) + kSkinFile);
}

}  // namespace tess
