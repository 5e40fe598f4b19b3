// The optional skin: present only when its file ships beside the program. There is no skin
// engine, so applying it means the system's button-face colours instead of white.
#pragma once

#include <string>

namespace tess {

class FileSystem;

// True when the skin's file is in the program's folder.
bool SkinPresent(FileSystem& files, const std::string& program_folder);

}  // namespace tess
