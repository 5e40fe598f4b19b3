// Pointer feedback: the hand pointer the window shows over its controls when its cursor file
// ships beside the program.
#pragma once

#include <string>

namespace tess {

class FileSystem;

// The cursor file's path when it is in the program's folder; "" otherwise.
std::string CustomCursorIn(FileSystem& files, const std::string& program_folder);

}  // namespace tess
